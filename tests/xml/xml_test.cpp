#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "host/core/exceptions.h"
#include "xml/kv_xml.h"
#include "xml/kv_xml_io.h"

namespace kv {
namespace {

const std::string kHeader = "<?xml version=\"1.0\"?>";

// Runs `action` and expects an exception of type E whose message is `message`.
template <class E>
void ExpectFailure(const std::function<void()>& action, const std::string& message) {
  try {
    action();
    ADD_FAILURE() << "no exception, expected: " << message;
  } catch (const E& e) {
    EXPECT_EQ(e.what(), message);
  }
}

// Every reading fault names its place: "Invalid file format at ROW:COL: reason"; the
// expected text is the start of the message.
void ExpectInvalidFormat(const std::string& text, const std::string& placeAndReason) {
  TkvXMLDocument doc;
  const std::string expected = "Invalid file format at " + placeAndReason;
  try {
    doc.LoadFromString(text);
    ADD_FAILURE() << "no exception, expected: " << expected;
  } catch (const Exception& e) {
    EXPECT_EQ(std::string(e.what()).substr(0, expected.size()), expected);
  }
}

std::unique_ptr<TkvXMLDocument> Load(const std::string& text) {
  auto doc = std::make_unique<TkvXMLDocument>();
  doc->LoadFromString(text);
  return doc;
}

// Same names, texts and shape (Data is not part of the file).
void ExpectSameTree(const TkvXMLItem& a, const TkvXMLItem& b, bool compareData = false) {
  std::vector<std::pair<const TkvXMLItem*, const TkvXMLItem*>> pending{{&a, &b}};
  while (!pending.empty()) {
    auto [x, y] = pending.back();
    pending.pop_back();
    ASSERT_EQ(x->Name(), y->Name());
    ASSERT_EQ(x->Text(), y->Text());
    ASSERT_EQ(x->Content(), y->Content());
    if (compareData) {
      ASSERT_EQ(x->Data(), y->Data());
    }
    ASSERT_EQ(x->Count(), y->Count()) << ToUtf8(x->Name());
    for (int i = 0; i < x->Count(); ++i) {
      ASSERT_EQ(x->Items(i)->Parent(), x);
      pending.emplace_back(x->Items(i), y->Items(i));
    }
  }
}

std::string Names(const TkvXMLItem& item) {
  std::string out;
  for (const TkvXMLItem* child : item.Children()) out += ToUtf8(child->Name());
  return out;
}

// ---- attribute coding ---------------------------------------------------------------------

TEST(XmlCoding, EncodeCodesTheCharactersThatBreakATagAndAmpersand) {
  EXPECT_EQ(EncodeAttrValue(u"a\r\nb\"<c>&d'"), u"a&#13;&#10;b&#34;&#60;c&#62;&#38;d'");
  EXPECT_EQ(EncodeAttrValue(U("Привет / x=1")), U("Привет / x=1"));
  // A lone surrogate has no UTF-8 form, so it is coded; a proper pair is kept.
  EXPECT_EQ(EncodeAttrValue(UString{u'a', char16_t(0xD800), u'b'}), u"a&#55296;b");
  EXPECT_EQ(EncodeAttrValue(u"\U0001F600"), u"\U0001F600");
}

TEST(XmlCoding, DecodeReplacesCodesAndLeavesUnterminatedOnes) {
  EXPECT_EQ(DecodeAttrValue(u"a&#60;b&#62;&#34;"), u"a<b>\"");
  EXPECT_EQ(DecodeAttrValue(u"&#1055;&#1088;"), U("Пр"));
  EXPECT_EQ(DecodeAttrValue(u"&#128512;"), u"\U0001F600");
  EXPECT_EQ(DecodeAttrValue(u"&#0065;&"), u"A&");
  EXPECT_EQ(DecodeAttrValue(u"x &#60 y"), u"x &#60 y");
  EXPECT_EQ(DecodeAttrValue(u"&#60;&#"), u"<&#");
  EXPECT_EQ(DecodeAttrValue(u"a & b; &c;"), u"a & b; &c;");
}

TEST(XmlCoding, InvalidCodesRaiseConvertError) {
  ExpectFailure<EConvertError>([] { DecodeAttrValue(u"&#abc;"); },
                               "'abc' is not a valid integer value");
  ExpectFailure<EConvertError>([] { DecodeAttrValue(u"&#;"); }, "'' is not a valid integer value");
  ExpectFailure<EConvertError>([] { DecodeAttrValue(u"&#-5;"); },
                               "'-5' is not a valid integer value");
  ExpectFailure<EConvertError>([] { DecodeAttrValue(u"&#1114112;"); },
                               "'&#1114112;' is not a valid character code");
  ExpectFailure<EConvertError>([] { DecodeAttrValue(u"&#99999999999999999999;"); },
                               "'&#99999999999999999999;' is not a valid character code");
  ExpectFailure<EConvertError>([] { DecodeAttrValue(u"&#" + UString(100, u'x') + u";"); },
                               "'" + std::string(40, 'x') + "...' is not a valid integer value");
}

TEST(XmlCoding, EveryCodeUnitSurvivesEncodeAndDecode) {
  UString all;
  for (char32_t c = 0; c <= 0xFFFF; ++c) all.push_back(static_cast<char16_t>(c));
  all += u"&#60;&#38;";  // text that looks coded stays text
  const UString coded = EncodeAttrValue(all);
  EXPECT_EQ(coded.find_first_of(u"\r\n\"<>"), UString::npos);
  EXPECT_EQ(DecodeAttrValue(coded), all);
}

// ---- the tree -----------------------------------------------------------------------------

TEST(XmlItem, StartsEmptyAndIndexesItsChildren) {
  TkvXMLItem item;
  EXPECT_EQ(item.Count(), 0);
  EXPECT_EQ(item.Data(), 0);
  EXPECT_EQ(item.Parent(), nullptr);
  EXPECT_EQ(item.Root(), &item);
  TkvXMLItem* a = item.Add();
  TkvXMLItem* b = item.Add(u"b", u"x=\"1\"");
  EXPECT_EQ(item.Count(), 2);
  EXPECT_EQ(item.Items(0), a);
  EXPECT_EQ(item.Items(1), b);
  EXPECT_EQ(b->Parent(), &item);
  EXPECT_EQ(b->Add()->Root(), &item);
  ExpectFailure<EListError>([&] { item.Items(2); }, "List index out of bounds (2)");
  ExpectFailure<EListError>([&] { item.Items(-1); }, "List index out of bounds (-1)");
}

TEST(XmlItem, AddItemMovesItemsBetweenParents) {
  TkvXMLItem a, b;
  TkvXMLItem* x = a.Add(u"x");
  a.Add(u"y");
  b.AddItem(x);
  EXPECT_EQ(Names(a), "y");
  EXPECT_EQ(Names(b), "x");
  EXPECT_EQ(x->Parent(), &b);
  // A child of the same parent moves to the end.
  b.Add(u"z");
  b.AddItem(x);
  EXPECT_EQ(Names(b), "zx");
  auto owned = std::make_unique<TkvXMLItem>(u"w");
  b.AddItem(std::move(owned));
  EXPECT_EQ(Names(b), "zxw");
}

TEST(XmlItem, InsertItemPlacesAtIndexAndChecksItFirst) {
  TkvXMLItem p, other;
  p.Add(u"a");
  p.Add(u"b");
  TkvXMLItem* c = other.Add(u"c");
  p.InsertItem(0, c);
  EXPECT_EQ(Names(p), "cab");
  p.InsertItem(3, p.Add(u"d"));  // already a child: 0..Count()-1 are valid
  ExpectFailure<EListError>([&] { p.InsertItem(4, p.Items(0)); }, "List index out of bounds (4)");
  p.InsertItem(2, p.Items(0));
  EXPECT_EQ(Names(p), "abcd");
  TkvXMLItem* e = other.Add(u"e");
  ExpectFailure<EListError>([&] { p.InsertItem(5, e); }, "List index out of bounds (5)");
  EXPECT_EQ(e->Parent(), &other);
  p.InsertItem(4, e);
  EXPECT_EQ(Names(p), "abcde");
  EXPECT_EQ(other.Count(), 0);
}

TEST(XmlItem, RefusesCyclesSecondOwnersAndNil) {
  TkvXMLDocument doc;
  TkvXMLItem* root = doc.Root();
  root->SetName(u"r");
  TkvXMLItem* child = root->Add(u"c");
  TkvXMLItem* grandchild = child->Add(u"g");
  const std::string cycle = "An XML item cannot be added under itself or its own items";
  ExpectFailure<Exception>([&] { child->AddItem(child); }, cycle);
  ExpectFailure<Exception>([&] { grandchild->AddItem(child); }, cycle);
  ExpectFailure<Exception>([&] { grandchild->Add()->InsertItem(0, child); }, cycle);
  TkvXMLItem elsewhere;
  ExpectFailure<Exception>([&] { elsewhere.AddItem(root); },
                           "The root of an XML document cannot be added to another XML item");
  ExpectFailure<Exception>([&] { elsewhere.AddItem(static_cast<TkvXMLItem*>(nullptr)); },
                           "Cannot add nil to an XML item");
  EXPECT_EQ(root->Parent(), nullptr);
  EXPECT_EQ(child->Parent(), root);
  EXPECT_EQ(grandchild->Parent(), child);
  EXPECT_EQ(elsewhere.Count(), 0);
  EXPECT_EQ(root->Count(), 1);
  EXPECT_EQ(child->Count(), 1);
}

TEST(XmlItem, DestroyingAndClearing) {
  TkvXMLItem p(u"p", u"t=\"1\"");
  p.SetData(7);
  p.Add(u"a")->Add(u"deep");
  TkvXMLItem* b = p.Add(u"b");
  delete b;  // leaves its parent's list
  EXPECT_EQ(Names(p), "a");
  p.Clear();
  EXPECT_EQ(p.Count(), 0);
  EXPECT_EQ(p.Name(), u"p");
  EXPECT_EQ(p.Text(), u"t=\"1\"");
  EXPECT_EQ(p.Data(), 7);
}

TEST(XmlItem, FindIgnoresCaseAndFindItemAdds) {
  TkvXMLItem p;
  p.Add(u"Alpha");
  p.Add(U("Бета"));
  EXPECT_EQ(p.Find(u"ALPHA"), 0);
  EXPECT_EQ(p.Find(U("бЕТА")), 1);
  EXPECT_EQ(p.Find(u"gamma"), -1);
  EXPECT_EQ(p.Count(), 2);
  EXPECT_EQ(p.FindItem(u"alpha"), p.Items(0));
  TkvXMLItem* gamma = p.FindItem(u"gamma");
  EXPECT_EQ(p.Count(), 3);
  EXPECT_EQ(gamma->Name(), u"gamma");
  EXPECT_EQ(gamma->Parent(), &p);
}

TEST(XmlItem, PropFindsTheFirstStandaloneAttribute) {
  TkvXMLItem item(u"x", u"text=\"//\" pos=\"1:6\" v=\"a&#60;b\"");
  EXPECT_EQ(item.Prop(u"text"), u"//");
  EXPECT_EQ(item.Prop(u"POS"), u"1:6");
  EXPECT_EQ(item.Prop(u"v"), u"a<b");
  EXPECT_EQ(item.Prop(u"missing"), u"");
  item.SetText(u"TEXT=\"upper\"");
  EXPECT_EQ(item.Prop(u"text"), u"upper");
  // Only the first occurrence counts, and it must stand alone.
  item.SetText(u"addtext=\"a\" text=\"b\"");
  EXPECT_EQ(item.Prop(u"text"), u"");
  EXPECT_EQ(item.Prop(u"addtext"), u"a");
  item.SetText(U("имя=\"Значение &#1105;\""));
  EXPECT_EQ(item.Prop(U("ИМЯ")), U("Значение ё"));
  item.SetText(u"v=\"&#x3C;\"");
  ExpectFailure<EConvertError>([&] { item.Prop(u"v"); }, "'x3C' is not a valid integer value");
}

// Whatever a script or the engine puts in Text must make a well-formed file.
TEST(XmlItem, TextMustBeAWellFormedAttributeList) {
  const std::vector<std::pair<UString, std::string>> refused = {
      {u"title=\"Tom & Jerry\" bare=value",
       "the value of attribute \"title\" holds an \"&\" that starts no character reference"},
      {u"t", "attribute \"t\" needs \"=\" and a quoted value"},
      {u"bare=value", "the value of attribute \"bare\" must be in quotes"},
      {u"a=\"1\"b=\"2\"", "attributes must be separated by blanks"},
      {u"a=\"1\" a=\"2\"", "attribute \"a\" is given twice"},
      {u"x=\"<\"", "the value of attribute \"x\" holds \"<\""},
      {u"x=\">\"", "the value of attribute \"x\" holds \">\""},
      {u"x=\"open", "the value of attribute \"x\" is not closed"},
      {u"x=\"1\" /", "an attribute name is expected at \"/\""},
      {u"1a=\"x\"", "an attribute name is expected at \"1a=\"x\"\""},
  };
  TkvXMLItem item(u"x", u"kept=\"1\"");
  for (const auto& [text, reason] : refused) {
    SCOPED_TRACE(ToUtf8(text));
    const std::string message = "Invalid XML attribute text \"" + ToUtf8(text) + "\": " + reason;
    try {
      item.SetText(text);
      ADD_FAILURE() << "accepted";
    } catch (const Exception& e) {
      EXPECT_EQ(std::string(e.what()).substr(0, message.size()), message);
    }
    EXPECT_THROW(TkvXMLItem(u"y", text), Exception);
    EXPECT_EQ(item.Text(), u"kept=\"1\"");  // a refused text changes nothing
  }
  // Long lists too: each name once.
  UString many;
  for (int i = 0; i < 20; ++i) many += u"a" + IntToUStr(i) + u"=\"\" ";
  item.SetText(many);
  EXPECT_THROW(item.SetText(many + u"a3=\"\""), Exception);
  for (const UString& text : {UString(), UString(u"  a='1'\tb = \"2\" "),
                              UString(u"x=\"&amp;&#60;&#x3C;\" y=\"'\""), U("имя=\"ё\"")}) {
    item.SetText(text);
    EXPECT_EQ(item.Text(), text);
  }
}

TEST(XmlItem, AssignTreeCopiesDeeplyEvenFromItsOwnSubtree) {
  TkvXMLItem src(u"s", u"k=\"v\"");
  src.SetData(3);
  TkvXMLItem* a = src.Add(u"a");
  a->SetData(4);
  a->Add(u"a1");
  src.Add(u"b", u"q=\"1\"");
  TkvXMLItem dst(u"old");
  dst.Add(u"gone");
  dst.AssignTree(&src);
  ExpectSameTree(dst, src, true);
  EXPECT_NE(dst.Items(0), a);

  // The source lies inside the target: the copy is taken before the children go.
  src.AssignTree(a);
  EXPECT_EQ(src.Name(), u"a");
  EXPECT_EQ(src.Data(), 4);
  EXPECT_EQ(Names(src), "a1");
  EXPECT_EQ(src.Items(0)->Parent(), &src);
  src.AssignTree(&src);
  EXPECT_EQ(Names(src), "a1");
  src.AssignTree(nullptr);
  EXPECT_EQ(src.Count(), 0);
  EXPECT_EQ(src.Name(), u"a");
}

// ---- reading ------------------------------------------------------------------------------

TEST(XmlRead, ElementsAttributesAndEmptyTags) {
  auto doc = Load(kHeader + "<a><b/><c x=\"1\"/><d /><e y=\"2\" /><f z=\"3\" ></f></a>");
  const TkvXMLItem* root = doc->Root();
  EXPECT_EQ(root->Name(), u"a");
  EXPECT_EQ(Names(*root), "bcdef");
  EXPECT_EQ(root->Items(0)->Text(), u"");
  EXPECT_EQ(root->Items(1)->Text(), u"x=\"1\"");
  EXPECT_EQ(root->Items(2)->Text(), u"");
  EXPECT_EQ(root->Items(3)->Text(), u"y=\"2\" ");
  EXPECT_EQ(root->Items(3)->Prop(u"y"), u"2");
  EXPECT_EQ(root->Items(4)->Text(), u"z=\"3\"");  // one trailing blank of a tag goes
}

TEST(XmlRead, SkipsCommentsLayoutAndByteOrderMark) {
  auto doc = Load("\xEF\xBB\xBF" + kHeader + "\r\n<!-- a > b --><a>\r\n <!----><b/>\t" +
                  "<!-- x - y > z -->\n</a><!-- after --><?pi?>\n");
  EXPECT_EQ(doc->Root()->Name(), u"a");
  EXPECT_EQ(Names(*doc->Root()), "b");
  EXPECT_EQ(doc->Root()->Content(), u"");
  EXPECT_EQ(Load(kHeader + "<a> \r\n\t</a>")->SaveToString(), kHeader + "<a/>");
}

TEST(XmlRead, CharacterDataIsKeptAndWrittenBack) {
  auto doc = Load(kHeader +
                  "<list><name>Bob &amp; Alice</name><v> &lt;&#38;&#x26;&gt;&quot;"
                  "&apos;<!-- c -->\n\xD1\x91 </v></list>");
  EXPECT_EQ(doc->Root()->Items(0)->Content(), u"Bob & Alice");
  EXPECT_EQ(doc->Root()->Items(1)->Content(), U(" <&&>\"'\nё "));
  EXPECT_EQ(doc->SaveToString(), kHeader +
                                     "<list><name>Bob &amp; Alice</name>"
                                     "<v> &lt;&amp;&amp;&gt;\"'\n\xD1\x91 </v></list>");
  ExpectInvalidFormat(kHeader + "<a>\n Tom & Jerry</a>", "2:2: an \"&\" in character data");
  ExpectInvalidFormat(kHeader + "<a>x&#99999999;</a>", "1:25: The character reference");
  // An element holds character data or elements, not both: text beside them has no place in
  // the tree.
  ExpectInvalidFormat(kHeader + "<a>x<b/></a>",
                      "1:26: element \"a\" holds both character data and elements");
  ExpectInvalidFormat(kHeader + "<a><b/>\n  x</a>",
                      "2:3: element \"a\" holds both character data and elements");
}

TEST(XmlRoundTrip, CharacterDataSurvivesBothForms) {
  const std::vector<UString> contents = {u"a<b>&c;",
                                         u"\r\n",
                                         u"  ",
                                         u"x\r\ny\tz ",
                                         u"&#60;",
                                         U("Привет 😀"),
                                         UString{u'x', char16_t(0xDFFF)},
                                         u"]]>",
                                         u"/"};
  for (bool indent : {false, true}) {
    TkvXMLDocument doc;
    doc.SetIndentOutput(indent);
    doc.Root()->SetName(u"r");
    for (const UString& content : contents) doc.Root()->Add(u"c")->SetContent(content);
    auto back = Load(doc.SaveToString());
    ASSERT_EQ(back->Root()->Count(), static_cast<int>(contents.size()));
    for (size_t i = 0; i < contents.size(); ++i)
      EXPECT_EQ(back->Root()->Items(static_cast<int>(i))->Content(), contents[i]) << i;
  }
  TkvXMLItem copy;
  TkvXMLDocument doc;
  doc.LoadFromString(kHeader + "<a><b>text</b></a>");
  copy.AssignTree(doc.Root());
  EXPECT_EQ(copy.Items(0)->Content(), u"text");
  doc.LoadFromString(kHeader + "<a/>");  // the root does not keep an earlier load's data
  doc.Root()->Add(u"b");
  EXPECT_EQ(doc.SaveToString(), kHeader + "<a><b/></a>");
}

// XML files hold no control characters, C1 controls, U+FFFE/U+FFFF or lone surrogates raw:
// values and character data code them, and our reader takes the codes back.
TEST(XmlRoundTrip, CharactersAFileCannotHoldRawAreCoded) {
  UString awkward;
  for (char16_t c = 0; c < 0x20; ++c) awkward.push_back(c);
  for (char16_t c = 0x7F; c <= 0x9F; ++c) awkward.push_back(c);
  awkward += UString{char16_t(0xFFFE), char16_t(0xFFFF), char16_t(0xDC80), u'.'};
  TkvXMLDocument doc;
  doc.Root()->SetName(u"r");
  doc.Root()->Add(u"v", u"x=\"" + EncodeAttrValue(awkward) + u"\"");
  doc.Root()->Add(u"c")->SetContent(awkward);
  const std::string saved = doc.SaveToString();
  for (size_t i = 0; i < saved.size(); ++i) {
    const auto byte = static_cast<unsigned char>(saved[i]);
    EXPECT_TRUE(byte >= 0x20 || byte == '\t' || byte == '\n') << i;
    EXPECT_FALSE(byte == 0xC2 && static_cast<unsigned char>(saved[i + 1]) < 0xA0) << i;
    EXPECT_FALSE(byte == 0xEF && saved.compare(i + 1, 1, "\xBF") == 0 &&
                 static_cast<unsigned char>(saved[i + 2]) >= 0xBE)
        << i;
  }
  auto back = Load(saved);
  EXPECT_EQ(back->Root()->Items(0)->Prop(u"x"), awkward);
  EXPECT_EQ(back->Root()->Items(1)->Content(), awkward);
}

TEST(XmlWrite, ControlCharactersSetRawInAValueAreCoded) {
  TkvXMLDocument doc;
  doc.Root()->SetName(u"r");
  doc.Root()->SetText(UString(u"a=\"x\x01y\" b='\x1B\"' c=\"\x7F\""));
  EXPECT_EQ(doc.SaveToString(), kHeader + "<r a=\"x&#1;y\" b='&#27;\"' c=\"&#127;\"/>");
  auto back = Load(doc.SaveToString());
  EXPECT_EQ(back->Root()->Prop(u"a"), u"x\x01y");
  EXPECT_EQ(back->Root()->Prop(u"c"), u"\x7F");
}

TEST(XmlRead, ClosingTagsIgnoreCase) {
  auto doc = Load(kHeader + "<Prog><Body><x/></BODY></prog>");
  EXPECT_EQ(doc->Root()->Items(0)->Count(), 1);
}

// A cut-off file must not load as a shorter document, however deep it was.
TEST(XmlRead, UnclosedElementsAndASecondRootRaiseWithThePlace) {
  TkvXMLDocument doc;
  ExpectFailure<Exception>(
      [&] { doc.LoadFromString(kHeader + "\n<list>\n <i/><i/><i/><i/>"); },
      "Invalid file format at 3:18: the input ends inside element \"list\" (its end tag is "
      "missing)");
  EXPECT_EQ(doc.Root()->Count(), 4);  // what was read stays, as with every fault

  std::string deep = kHeader;
  for (int i = 0; i < 100'000; ++i) deep += "<e>";
  ExpectInvalidFormat(deep, "1:300022: the input ends inside element \"e\"");

  ExpectInvalidFormat(kHeader + "<a/>\n<b/>",
                      "2:1: \"<b/>\" follows the document element \"a\"; a document has one");
  ExpectInvalidFormat(kHeader + "<я></я> text <!-- c --><b x=\"1\"/>",
                      "1:45: \"<b>\" follows the document element \"я\"");
  ExpectInvalidFormat(kHeader + "<a/></a>", "1:26: \"</a>\" follows the document element");
}

TEST(XmlRead, MalformedDocumentsRaiseInvalidFileFormat) {
  const std::string noHeader = "the document does not begin with an \"<?xml ...?>\" header";
  ExpectInvalidFormat("", "1:1: " + noHeader);
  ExpectInvalidFormat("<a/>", "1:1: " + noHeader);
  ExpectInvalidFormat("<xml?><a/>", "1:1: " + noHeader);
  ExpectInvalidFormat(kHeader, "1:22: the document has no element");
  ExpectInvalidFormat(kHeader + "</a>", "1:22: the end tag \"</a>\" closes no element");
  ExpectInvalidFormat(kHeader + "<a></b>", "1:25: the end tag \"</b>\" does not close element");
  ExpectInvalidFormat(kHeader + "<a><b></a>", "1:28: the end tag \"</a>\" does not close");
  ExpectInvalidFormat(kHeader + "<a><></a>", "1:25: an empty tag \"<>\"");
  ExpectInvalidFormat(kHeader + "<a x=\"<\"/>", "1:22: a tag holds \"<\"");
  ExpectInvalidFormat(kHeader + "<a><b x=\"1\"", "1:33: the input ends inside a tag");
  ExpectInvalidFormat("<?xml version=\"1.0\"", "1:20: the input ends inside a tag");
  ExpectInvalidFormat(kHeader + "\n<a title=\"x\" bare=value/>",
                      "2:1: Invalid XML attribute text \"title=\"x\" bare=value\"");
}

TEST(XmlRead, ItemsReadBeforeAFaultStay) {
  TkvXMLDocument doc;
  doc.Root()->Add(u"previous");
  EXPECT_THROW(doc.LoadFromString(kHeader + "<a><b/><c><d/></x>"), Exception);
  EXPECT_EQ(doc.Root()->Name(), u"a");
  EXPECT_EQ(Names(*doc.Root()), "bc");
  EXPECT_EQ(Names(*doc.Root()->Items(1)), "d");
}

TEST(XmlRead, LeavesTheStreamAfterTheDocument) {
  const std::string filler(10000, ' ');  // so the buffer reads past the document
  std::istringstream stream(kHeader + "<a>" + filler + "</a>TAIL" + filler);
  TkvXMLDocument doc;
  doc.LoadFromStream(stream);
  std::string rest;
  stream >> rest;
  EXPECT_EQ(rest, "TAIL");
}

TEST(XmlRead, NonAsciiAndSingleByteText) {
  auto doc = Load(kHeader + "<программа текст=\"Привет, мир &#128512;\"/>");
  EXPECT_EQ(doc->Root()->Name(), U("программа"));
  EXPECT_EQ(doc->Root()->Prop(U("ТЕКСТ")), U("Привет, мир 😀"));
  // A tag that is not UTF-8 is an old single-byte file: Windows-1251.
  auto old = Load(kHeader + "<a t=\"\xCF\xF0\xE8\xE2\xE5\xF2\"/>");
  EXPECT_EQ(old->Root()->Prop(u"t"), U("Привет"));
}

// A stream of `size` bytes of `fill` after a fixed prefix, made on the fly.
class GeneratedBuf : public std::streambuf {
 public:
  GeneratedBuf(std::string prefix, size_t size, char fill)
      : prefix_(std::move(prefix)), left_(size), chunk_(65536, fill) {
    setg(prefix_.data(), prefix_.data(), prefix_.data() + prefix_.size());
  }

 protected:
  int_type underflow() override {
    if (left_ == 0) return traits_type::eof();
    const size_t n = std::min(left_, chunk_.size());
    left_ -= n;
    setg(chunk_.data(), chunk_.data(), chunk_.data() + n);
    return traits_type::to_int_type(chunk_[0]);
  }

 private:
  std::string prefix_;
  size_t left_;
  std::string chunk_;
};

TEST(XmlRead, HugeTagsAreRefusedAndLargeOnesRead) {
  GeneratedBuf buf(kHeader + "<a x=\"", TkvXMLReader::kMaxTagBytes + 10, 'x');
  std::istream stream(&buf);
  TkvXMLDocument doc;
  ExpectFailure<Exception>([&] { doc.LoadFromStream(stream); },
                           "Invalid file format at 1:22: a tag is longer than 67108864 bytes");

  const std::string value(5'000'000, 'v');
  auto big = Load(kHeader + "<a x=\"" + value + "\"/>");
  EXPECT_EQ(big->Root()->Prop(u"x").size(), value.size());
}

TEST(XmlRead, DeepNestingNeedsNoStack) {
  // Reading, walking, copying, writing and destroying a million levels; none may recurse.
  constexpr int kDepth = 1'000'000;
  std::string text = kHeader;
  for (int i = 0; i < kDepth; ++i) text += "<e>";
  for (int i = 0; i < kDepth; ++i) text += "</e>";
  TkvXMLDocument doc;
  doc.LoadFromString(text);
  const TkvXMLItem* item = doc.Root();
  int depth = 1;
  while (item->Count() > 0) item = item->Items(0), ++depth;
  EXPECT_EQ(depth, kDepth);
  EXPECT_EQ(item->Root(), doc.Root());

  auto copy = std::make_unique<TkvXMLItem>();
  copy->AssignTree(doc.Root());
  doc.Root()->Clear();
  doc.Root()->AddItem(std::move(copy));
  std::string expected = kHeader + "<e>";
  for (int i = 0; i < kDepth - 1; ++i) expected += "<e>";
  expected += "<e/>";
  for (int i = 0; i < kDepth; ++i) expected += "</e>";
  EXPECT_EQ(doc.SaveToString(), expected);
}

// ---- writing ------------------------------------------------------------------------------

TEST(XmlWrite, OneLineAndIndentedForms) {
  TkvXMLDocument doc;
  TkvXMLItem* root = doc.Root();
  root->SetName(u"language");
  TkvXMLItem* parser = root->Add(u"parser");
  parser->Add(u"commentline1", u"text=\"//\"");
  parser->Add(u"x", u" lead=\"1\"");  // a text starting with a blank gets no second one
  root->Add(u"empty");
  EXPECT_EQ(doc.SaveToString(),
            kHeader +
                "<language><parser><commentline1 text=\"//\"/><x lead=\"1\"/></parser>"
                "<empty/></language>");
  doc.SetIndentOutput(true);
  EXPECT_EQ(doc.SaveToString(),
            kHeader +
                "\r\n<language>\r\n  <parser>\r\n    <commentline1 text=\"//\"/>\r\n"
                "    <x lead=\"1\"/>\r\n  </parser>\r\n  <empty/>\r\n</language>\r\n");
}

TEST(XmlWrite, RefusesTreesThatWouldNotReadBack) {
  const std::vector<std::pair<std::function<void(TkvXMLItem&)>, std::string>> cases = {
      {[](TkvXMLItem& r) { r.Add(); }, "Cannot write an XML element without a name"},
      {[](TkvXMLItem& r) { r.Add(u"a b"); }, "Cannot write the XML element name \"a b\""},
      {[](TkvXMLItem& r) { r.Add(u"/a"); }, "Cannot write the XML element name \"/a\""},
      {[](TkvXMLItem& r) { r.Add(u"a/"); }, "Cannot write the XML element name \"a/\""},
      {[](TkvXMLItem& r) { r.Add(u"!--a"); }, "Cannot write the XML element name \"!--a\""},
      {[](TkvXMLItem& r) { r.Add(u"1a"); }, "Cannot write the XML element name \"1a\""},
      {[](TkvXMLItem& r) { r.Add(u"a&b"); }, "Cannot write the XML element name \"a&b\""},
      {[](TkvXMLItem& r) {
         r.Add(u"a")->SetContent(u"x");
         r.Items(0)->Add(u"b");
       },
       "Cannot write XML element \"a\": an element with child elements cannot also hold"},
  };
  const std::string file = ::testing::TempDir() + "kv_xml_refused.xml";
  for (const auto& [build, message] : cases) {
    { std::ofstream(file) << "keep"; }
    TkvXMLDocument doc;
    doc.Root()->SetName(u"r");
    build(*doc.Root());
    try {
      doc.SaveToFile(U(file));
      ADD_FAILURE() << message;
    } catch (const Exception& e) {
      EXPECT_EQ(std::string(e.what()).substr(0, message.size()), message);
    }
    std::ifstream in(file);
    std::string kept;
    in >> kept;
    EXPECT_EQ(kept, "keep");  // the existing file was not touched
  }
  std::remove(file.c_str());
  TkvXMLDocument fresh;
  ExpectFailure<Exception>([&] { fresh.SaveToString(); },
                           "Cannot write an XML element without a name");
}

// A device that is full: it takes nothing.
class FullBuf : public std::streambuf {
 protected:
  int_type overflow(int_type) override { return traits_type::eof(); }
};

TEST(XmlWrite, StreamFailuresRaise) {
  FullBuf full;
  std::ostream broken(&full);
  TkvXMLDocument doc;
  doc.Root()->SetName(u"a");
  ExpectFailure<EWriteError>([&] { doc.SaveToStream(broken); }, "Stream write error");
}

// ---- files and round trips ----------------------------------------------------------------

TEST(XmlFile, SaveAndLoadFiles) {
  const std::string dir = ::testing::TempDir() + "kv_xml_файлы_" + std::to_string(getpid());
  std::filesystem::create_directories(dir);
  const UString file = U(dir + "/документ.xml");
  TkvXMLDocument doc;
  doc.Root()->SetName(u"program");
  doc.Root()->Add(u"var", u"name=\"" + EncodeAttrValue(U("x<\"ё\"> & &#60;")) + u"\"");
  doc.SaveToFile(file);
  TkvXMLDocument back;
  back.LoadFromFile(file);
  ExpectSameTree(*back.Root(), *doc.Root());
  EXPECT_EQ(back.Root()->Items(0)->Prop(u"name"), U("x<\"ё\"> & &#60;"));

  ExpectFailure<EFOpenError>(
      [&] { back.LoadFromFile(U(dir + "/none.xml")); },
      "Cannot open file \"" + dir + "/none.xml\". No such file or directory");
  ExpectFailure<EFOpenError>([&] { back.LoadFromFile(U(dir)); },
                             "Cannot open file \"" + dir + "\". Is a directory");
  ExpectFailure<EFCreateError>(
      [&] { doc.SaveToFile(U(dir + "/no/such.xml")); },
      "Cannot create file \"" + dir + "/no/such.xml\". No such file or directory");

  // Sparse, and refused on its size before a byte is read.
  const std::string huge = dir + "/huge.xml";
  std::ofstream(huge) << "<?xml version=\"1.0\"?>";
  std::filesystem::resize_file(huge, std::uintmax_t{1} << 28 | 1);
  ExpectFailure<EReadError>([&] { back.LoadFromFile(U(huge)); },
                            "Cannot read file \"" + huge +
                                "\". It has 268435457 bytes, more than a text can hold (at most "
                                "268435456)");
  EXPECT_EQ(back.Root()->Items(0)->Prop(u"name"), U("x<\"ё\"> & &#60;"));  // kept
  std::filesystem::remove_all(dir);
}

// A random tree with names and values drawn from awkward characters.
void GrowRandomTree(TkvXMLItem& root, int count, unsigned seed) {
  std::mt19937 random(seed);
  const std::vector<UString> names = {u"a", u"Item", U("элемент"), u"x.y", u"n-1", u"_q"};
  const std::vector<UString> values = {u"",
                                       u"plain",
                                       u"\"quoted\"",
                                       u"<tag>",
                                       u"a&b",
                                       u"&#60;",
                                       u"line\r\nbreak",
                                       U("Ёж 😀"),
                                       UString{u'x', char16_t(0xDFFF), u'/'},
                                       u" / ",
                                       UString(u"tab\tand\0nul", 11)};
  std::vector<TkvXMLItem*> items{&root};
  for (int i = 0; i < count; ++i) {
    TkvXMLItem* parent = items[random() % items.size()];
    UString text;
    for (unsigned k = random() % 3; k > 0; --k)
      text +=
          u" p" + IntToUStr(k) + u"=\"" + EncodeAttrValue(values[random() % values.size()]) + u"\"";
    if (!text.empty()) text.erase(0, 1);  // a leading blank is the writer's
    items.push_back(parent->Add(names[random() % names.size()], text));
  }
}

TEST(XmlRoundTrip, WrittenTreesReadBackUnchanged) {
  for (bool indent : {false, true}) {
    TkvXMLDocument doc;
    doc.SetIndentOutput(indent);
    doc.Root()->SetName(u"root");
    GrowRandomTree(*doc.Root(), 3000, indent ? 2u : 1u);
    const std::string written = doc.SaveToString();
    auto back = Load(written);
    SCOPED_TRACE(indent);
    ExpectSameTree(*back->Root(), *doc.Root());
    back->SetIndentOutput(indent);
    EXPECT_EQ(back->SaveToString(), written);
  }
}

TEST(XmlRoundTrip, ValuesSurviveThroughPropExactly) {
  TkvXMLDocument doc;
  doc.Root()->SetName(u"r");
  const std::vector<UString> values = {u"&#60;",      u"&amp;",    u"a\r\nb",
                                       u"\"",         U("Привет"), UString(1, char16_t(0xD83D)),
                                       u"\U0001F600", u"&#"};
  for (const UString& v : values) doc.Root()->Add(u"v", u"x=\"" + EncodeAttrValue(v) + u"\"");
  auto back = Load(doc.SaveToString());
  for (size_t i = 0; i < values.size(); ++i)
    EXPECT_EQ(back->Root()->Items(static_cast<int>(i))->Prop(u"x"), values[i]) << i;
  // A document written before "&" was coded reads as it always did.
  EXPECT_EQ(Load(kHeader + "<a x=\"&#60;&\"/>")->Root()->Prop(u"x"), u"<&");
}

TEST(XmlRoundTrip, LargeWideDocument) {
  TkvXMLDocument doc;
  doc.Root()->SetName(u"program");
  for (int i = 0; i < 200'000; ++i)
    doc.Root()->Add(u"stmt", u"pos=\"" + IntToUStr(i) + u":1\"")->Add(u"expr");
  auto back = Load(doc.SaveToString());
  ASSERT_EQ(back->Root()->Count(), 200'000);
  EXPECT_EQ(back->Root()->Items(199'999)->Prop(u"pos"), u"199999:1");
  ExpectSameTree(*back->Root(), *doc.Root());
}

}  // namespace
}  // namespace kv
