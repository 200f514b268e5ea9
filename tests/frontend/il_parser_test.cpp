#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/kv_iinterpreter.h"
#include "engine/kv_itools.h"
#include "frontend/kv_iilparser.h"
#include "frontend/kv_ipascal.h"
#include "host/core/exceptions.h"
#include "host/core/text_file_limit.h"
#include "xml/kv_xml.h"

namespace kv {
namespace {

namespace fs = std::filesystem;

// The IL document as the parser's tag lines: one tag per line, children between an opening
// and a closing line, leaves as empty-element tags.
void DumpItem(const TkvXMLItem& item, std::string& out) {
  const std::string head =
      "<" + ToUtf8(item.Name()) + (item.Text().empty() ? "" : " " + ToUtf8(item.Text()));
  if (item.Count() == 0) {
    out += head + "/>\n";
    return;
  }
  out += head + ">\n";
  for (const TkvXMLItem* child : item.Children()) DumpItem(*child, out);
  out += "</" + ToUtf8(item.Name()) + ">\n";
}

// The lines between the program's opening line and its `types` copy.
std::string Body(const TkvXMLDocument& il) {
  std::string out;
  const TkvXMLItem* root = il.Root();
  for (int i = 0; i + 1 < root->Count(); ++i) DumpItem(*root->Items(i), out);
  return out;
}

struct Parsed {
  bool ok = false;
  std::string body;
  std::string error;  // "ROW:COL MESSAGE"
  std::string unitName;
};

Parsed Parse(const std::string& source, const std::string& language = "PascalScript",
             const std::string& sourceFile = "") {
  TkvILParser parser(nullptr);
  parser.SelectGrammar(U(language));
  parser.SetSourceFileName(U(sourceFile));
  Parsed result;
  result.ok = parser.SourceToIL(U(source));
  if (result.ok) result.body = Body(parser.ILDocument());
  if (!parser.ErrorText().empty())
    result.error = ToUtf8(parser.ErrorPosition()) + " " + ToUtf8(parser.ErrorText());
  result.unitName = ToUtf8(parser.ErrorUnitName());
  return result;
}

// Parses a statement list inside begin..end. and answers the main compound statement's
// children.
std::string Statements(const std::string& statements) {
  Parsed p = Parse("begin " + statements + " end.");
  EXPECT_TRUE(p.ok) << statements << ": " << p.error;
  const std::string open = "<compoundstmt pos=\"1:1\">\n";
  const std::string close = "</compoundstmt>\n";
  if (p.body.rfind(open, 0) != 0) return p.body;
  return p.body.substr(open.size(), p.body.size() - open.size() - close.size());
}

class ILParserTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { RegisterPascalScript(); }
};

// --- Documents ---------------------------------------------------------------------------

TEST_F(ILParserTest, ReproducesTheDocumentedExampleLineForLine) {
  const char* expected =
      "<var pos=\"1:5\">\n"
      "<ident text=\"x\" pos=\"1:6\"/>\n"
      "<type text=\"Integer\" pos=\"1:15\"/>\n"
      "</var>\n"
      "<compoundstmt pos=\"2:1\">\n"
      "<assignstmt pos=\"3:3\">\n"
      "<dsgn pos=\"3:3\">\n"
      "<node text=\"x\" pos=\"3:4\"/>\n"
      "</dsgn>\n"
      "<expr pos=\"3:8\">\n"
      "<number text=\"1\" pos=\"3:9\"/>\n"
      "<op text=\"+\" pos=\"3:11\"/>\n"
      "<number text=\"2\" pos=\"3:13\"/>\n"
      "</expr>\n"
      "</assignstmt>\n"
      "</compoundstmt>\n";
  // Every kind of line end gives the same rows and columns.
  for (const char* eol : {"\r\n", "\n", "\r"}) {
    const std::string source =
        std::string("var x: Integer;") + eol + "begin" + eol + "  x := 1 + 2;" + eol + "end.";
    Parsed p = Parse(source);
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.body, expected);
  }
}

TEST_F(ILParserTest, DocumentHasProgramRootAndTypesLast) {
  TkvILParser parser(nullptr);
  parser.SelectGrammar(u"PascalScript");
  ASSERT_TRUE(parser.SourceToIL(u"begin end."));
  EXPECT_EQ(parser.ILDocument().SaveToString(),
            "<?xml version=\"1.0\"?><program><compoundstmt pos=\"1:1\"/><types/></program>");
  EXPECT_TRUE(parser.ErrorText().empty());
  EXPECT_TRUE(parser.ErrorPosition().empty());
}

TEST_F(ILParserTest, DeclarationsAndRoutines) {
  Parsed p = Parse(
      "program Demo;\n"
      "const C = $1F;\n"
      "var a, b: array[0..2, 5] of Integer = 7;\n"
      "function F(var x: Integer; const s: String; n: Integer = 3): Boolean;\n"
      "var t: Integer;\n"
      "begin\n"
      "end;\n"
      "procedure P;\n"
      "begin end;\n"
      "begin end.");
  ASSERT_TRUE(p.ok) << p.error;
  EXPECT_EQ(p.body,
            "<const pos=\"2:7\">\n"
            "<ident text=\"C\" pos=\"2:8\"/>\n"
            "<expr pos=\"2:11\">\n"
            "<number text=\"$1F\" pos=\"2:14\"/>\n"
            "</expr>\n"
            "</const>\n"
            "<var pos=\"3:5\">\n"
            "<ident text=\"a\" pos=\"3:6\"/>\n"
            "<ident text=\"b\" pos=\"3:9\"/>\n"
            "<array pos=\"3:11\">\n"
            "<dim pos=\"3:17\">\n"
            "<expr pos=\"3:17\">\n"
            "<number text=\"0\" pos=\"3:18\"/>\n"
            "</expr>\n"
            "<expr pos=\"3:20\">\n"
            "<number text=\"2\" pos=\"3:21\"/>\n"
            "</expr>\n"
            "</dim>\n"
            "<dim pos=\"3:23\">\n"
            "<expr pos=\"3:23\">\n"
            "<number text=\"5\" pos=\"3:24\"/>\n"
            "</expr>\n"
            "</dim>\n"
            "</array>\n"
            "<type text=\"Integer\" pos=\"3:36\"/>\n"
            "<init pos=\"3:37\">\n"
            "<expr pos=\"3:39\">\n"
            "<number text=\"7\" pos=\"3:40\"/>\n"
            "</expr>\n"
            "</init>\n"
            "</var>\n"
            "<function pos=\"4:1\">\n"
            "<name text=\"F\" pos=\"4:11\"/>\n"
            "<parameters pos=\"4:11\">\n"
            "<varparams pos=\"4:12\"/>\n"
            "<var pos=\"4:16\">\n"
            "<ident text=\"x\" pos=\"4:17\"/>\n"
            "<type text=\"Integer\" pos=\"4:26\"/>\n"
            "</var>\n"
            "<var pos=\"4:34\">\n"
            "<ident text=\"s\" pos=\"4:35\"/>\n"
            "<type text=\"String\" pos=\"4:43\"/>\n"
            "</var>\n"
            "<var pos=\"4:45\">\n"
            "<ident text=\"n\" pos=\"4:46\"/>\n"
            "<type text=\"Integer\" pos=\"4:55\"/>\n"
            "<init pos=\"4:56\">\n"
            "<expr pos=\"4:58\">\n"
            "<number text=\"3\" pos=\"4:59\"/>\n"
            "</expr>\n"
            "</init>\n"
            "</var>\n"
            "</parameters>\n"
            "<type text=\"Boolean\" pos=\"4:69\"/>\n"
            "<var pos=\"5:5\">\n"
            "<ident text=\"t\" pos=\"5:6\"/>\n"
            "<type text=\"Integer\" pos=\"5:15\"/>\n"
            "</var>\n"
            "<compoundstmt pos=\"6:1\"/>\n"
            "</function>\n"
            "<procedure pos=\"8:1\">\n"
            "<name text=\"P\" pos=\"8:12\"/>\n"
            "<compoundstmt pos=\"9:1\"/>\n"
            "</procedure>\n"
            "<compoundstmt pos=\"10:1\"/>\n");
}

TEST_F(ILParserTest, ExpressionsAreFlatWithOperatorsInLowerCase) {
  EXPECT_EQ(Statements("x := -a * (b DIV 2) <> NOT c Or 'it''s' >= [1, 2..3];"),
            "<assignstmt pos=\"1:7\">\n"
            "<dsgn pos=\"1:7\">\n"
            "<node text=\"x\" pos=\"1:8\"/>\n"
            "</dsgn>\n"
            "<expr pos=\"1:12\">\n"
            "<op text=\"unminus\" pos=\"1:13\"/>\n"
            "<dsgn pos=\"1:13\">\n"
            "<node text=\"a\" pos=\"1:14\"/>\n"
            "</dsgn>\n"
            "<op text=\"*\" pos=\"1:16\"/>\n"
            "<op text=\"(\" pos=\"1:18\"/>\n"
            "<expr pos=\"1:18\">\n"
            "<dsgn pos=\"1:18\">\n"
            "<node text=\"b\" pos=\"1:19\"/>\n"
            "</dsgn>\n"
            "<op text=\"div\" pos=\"1:23\"/>\n"
            "<number text=\"2\" pos=\"1:25\"/>\n"
            "</expr>\n"
            "<op text=\")\" pos=\"1:26\"/>\n"
            "<op text=\"&#60;&#62;\" pos=\"1:29\"/>\n"
            "<op text=\"not\" pos=\"1:33\"/>\n"
            "<dsgn pos=\"1:34\">\n"
            "<node text=\"c\" pos=\"1:35\"/>\n"
            "</dsgn>\n"
            "<op text=\"or\" pos=\"1:38\"/>\n"
            "<string text=\"'it's'\" pos=\"1:46\"/>\n"
            "<op text=\"&#62;=\" pos=\"1:49\"/>\n"
            "<set pos=\"1:51\">\n"
            "<expr pos=\"1:51\">\n"
            "<number text=\"1\" pos=\"1:52\"/>\n"
            "</expr>\n"
            "<expr pos=\"1:54\">\n"
            "<number text=\"2\" pos=\"1:55\"/>\n"
            "</expr>\n"
            "<range text=\".\" pos=\"1:56\"/>\n"
            "<expr pos=\"1:57\">\n"
            "<number text=\"3\" pos=\"1:58\"/>\n"
            "</expr>\n"
            "</set>\n"
            "</expr>\n"
            "</assignstmt>\n");
}

TEST_F(ILParserTest, DesignatorsAndFieldText) {
  EXPECT_EQ(Statements("@a.b[1, i](x, 'y').c;"),
            "<callstmt pos=\"1:7\">\n"
            "<dsgn pos=\"1:7\">\n"
            "<addr text=\"@\" pos=\"1:8\"/>\n"
            "<node text=\"a\" pos=\"1:9\"/>\n"
            "<node text=\"b\" pos=\"1:11\"/>\n"
            "<node text=\"[\" pos=\"1:12\"/>\n"
            "<expr pos=\"1:12\">\n"
            "<number text=\"1\" pos=\"1:13\"/>\n"
            "</expr>\n"
            "<expr pos=\"1:15\">\n"
            "<dsgn pos=\"1:15\">\n"
            "<node text=\"i\" pos=\"1:16\"/>\n"
            "</dsgn>\n"
            "</expr>\n"
            "<expr pos=\"1:18\">\n"
            "<dsgn pos=\"1:18\">\n"
            "<node text=\"x\" pos=\"1:19\"/>\n"
            "</dsgn>\n"
            "</expr>\n"
            "<expr pos=\"1:21\">\n"
            "<string text=\"'y'\" pos=\"1:24\"/>\n"
            "</expr>\n"
            "<node text=\"c\" pos=\"1:27\"/>\n"
            "</dsgn>\n"
            "</callstmt>\n");
  // The bracketed field text is a call of Get; quotes and nested brackets stay inside it.
  EXPECT_EQ(Statements("a := <T.\"F>\"<x>>"),
            "<assignstmt pos=\"1:7\">\n"
            "<dsgn pos=\"1:7\">\n"
            "<node text=\"a\" pos=\"1:8\"/>\n"
            "</dsgn>\n"
            "<expr pos=\"1:12\">\n"
            "<dsgn pos=\"1:22\">\n"
            "<node text=\"Get\" pos=\"1:22\"/>\n"
            "<expr pos=\"1:22\">\n"
            "<string text=\"'T.&#34;F&#62;&#34;&#60;x&#62;'\" pos=\"1:22\"/>\n"
            "</expr>\n"
            "</dsgn>\n"
            "</expr>\n"
            "</assignstmt>\n");
}

TEST_F(ILParserTest, Statements) {
  EXPECT_EQ(Statements("if a then else b := 1"),
            "<ifstmt pos=\"1:7\">\n"
            "<expr pos=\"1:10\">\n<dsgn pos=\"1:10\">\n<node text=\"a\" pos=\"1:11\"/>\n"
            "</dsgn>\n</expr>\n"
            "<thenstmt pos=\"1:17\"/>\n"
            "<elsestmt pos=\"1:22\">\n"
            "<assignstmt pos=\"1:22\">\n<dsgn pos=\"1:22\">\n<node text=\"b\" pos=\"1:23\"/>\n"
            "</dsgn>\n<expr pos=\"1:27\">\n<number text=\"1\" pos=\"1:28\"/>\n</expr>\n"
            "</assignstmt>\n"
            "</elsestmt>\n"
            "</ifstmt>\n");
  EXPECT_EQ(Statements("for i := 1 DownTo 0 do break"),
            "<forstmt pos=\"1:7\">\n"
            "<ident text=\"i\" pos=\"1:12\"/>\n"
            "<expr pos=\"1:16\">\n<number text=\"1\" pos=\"1:17\"/>\n</expr>\n"
            "<downto text=\"DownTo\" pos=\"1:24\"/>\n"
            "<expr pos=\"1:25\">\n<number text=\"0\" pos=\"1:26\"/>\n</expr>\n"
            "<break pos=\"1:30\"/>\n"
            "</forstmt>\n");
  EXPECT_EQ(Statements("while a do ;"),
            "<whilestmt pos=\"1:7\">\n"
            "<expr pos=\"1:13\">\n<dsgn pos=\"1:13\">\n<node text=\"a\" pos=\"1:14\"/>\n"
            "</dsgn>\n</expr>\n"
            "</whilestmt>\n");
  EXPECT_EQ(Statements("repeat continue; exit until 1"),
            "<repeatstmt pos=\"1:7\">\n"
            "<continue pos=\"1:14\"/>\n"
            "<exit pos=\"1:24\"/>\n"
            "<expr pos=\"1:35\">\n<number text=\"1\" pos=\"1:36\"/>\n</expr>\n"
            "</repeatstmt>\n");
  EXPECT_EQ(Statements("try finally f end; try except end"),
            "<trystmt pos=\"1:7\">\n"
            "<finallystmt pos=\"1:19\">\n"
            "<callstmt pos=\"1:19\">\n<dsgn pos=\"1:19\">\n<node text=\"f\" pos=\"1:20\"/>\n"
            "</dsgn>\n</callstmt>\n"
            "</finallystmt>\n"
            "</trystmt>\n"
            "<trystmt pos=\"1:26\">\n"
            "<exceptstmt pos=\"1:37\"/>\n"
            "</trystmt>\n");
  EXPECT_EQ(Statements("with a, b do begin end"),
            "<with pos=\"1:7\">\n"
            "<dsgn pos=\"1:12\">\n<node text=\"a\" pos=\"1:13\"/>\n</dsgn>\n"
            "<dsgn pos=\"1:15\">\n<node text=\"b\" pos=\"1:16\"/>\n</dsgn>\n"
            "<compoundstmt pos=\"1:20\"/>\n"
            "</with>\n");
  EXPECT_EQ(Statements("case x of 1: a; 2, 3: ; else b; end"),
            "<casestmt pos=\"1:7\">\n"
            "<expr pos=\"1:12\">\n<dsgn pos=\"1:12\">\n<node text=\"x\" pos=\"1:13\"/>\n"
            "</dsgn>\n</expr>\n"
            "<caseselector pos=\"1:17\">\n"
            "<set pos=\"1:17\">\n<expr pos=\"1:17\">\n<number text=\"1\" pos=\"1:18\"/>\n"
            "</expr>\n</set>\n"
            "<callstmt pos=\"1:20\">\n<dsgn pos=\"1:20\">\n<node text=\"a\" pos=\"1:21\"/>\n"
            "</dsgn>\n</callstmt>\n"
            "</caseselector>\n"
            "<caseselector pos=\"1:23\">\n"
            "<set pos=\"1:23\">\n"
            "<expr pos=\"1:23\">\n<number text=\"2\" pos=\"1:24\"/>\n</expr>\n"
            "<expr pos=\"1:26\">\n<number text=\"3\" pos=\"1:27\"/>\n</expr>\n"
            "</set>\n"
            "</caseselector>\n"
            "<callstmt pos=\"1:36\">\n<dsgn pos=\"1:36\">\n<node text=\"b\" pos=\"1:37\"/>\n"
            "</dsgn>\n</callstmt>\n"
            "</casestmt>\n");
}

// --- Syntax errors -------------------------------------------------------------------------

struct ErrorCase {
  const char* source;
  const char* error;  // "ROW:COL MESSAGE"
};

TEST_F(ILParserTest, EverySyntaxMessageWithItsPosition) {
  const ErrorCase cases[] = {
      {"program ;", "1:9 Identifier expected"},
      {"var begin end.", "1:5 Identifier expected"},
      {"const c 1;", "1:9 '=' expected"},
      {"const c = ;", "1:11 Expression expected"},
      {"var a Integer;", "1:7 ':' expected"},
      {"var a: Integer\nbegin end.", "2:1 ';' expected"},
      {"begin end", "1:10 '.' expected"},
      {"begin x := (1; end.", "1:14 ')' expected"},
      {"begin x := a[1; end.", "1:15 ']' expected"},
      {"begin x : = 1 end.", "1:11 '=' expected"},
      {"x := 1;", "1:1 'BEGIN' expected"},
      {"begin x := 1", "1:13 'END' expected"},
      {"var a: array[1] Integer;", "1:17 'OF' expected"},
      {"begin if a b end.", "1:12 'THEN' expected"},
      {"begin repeat x end.", "1:16 'UNTIL' expected"},
      {"begin for i := 1 up 2 do end.", "1:18 'TO' or 'DOWNTO' expected"},
      {"begin while a begin end end.", "1:15 'DO' expected"},
      {"begin try x end end.", "1:13 'FINALLY' or 'EXCEPT' expected"},
      {"var a: array 1 of Integer;", "1:14 '[' expected"},
      {"begin x := <abc end.", "1:21 '>' expected"},
      {"begin x := [1.]; end.", "1:15 '.' expected"},
      {"uses x;", "1:6 Identifier expected"},
      {"begin x := ; end.", "1:12 Expression expected"},
      {"begin f(; end.", "1:9 Expression expected"},
      {"begin case x 1: end end.", "1:14 'OF' expected"},
      {"procedure P begin end;", "1:13 ';' expected"},
      {"function F: ; begin end;", "1:13 Identifier expected"},
      {"begin with do x end.", "1:12 Expression expected"},
  };
  for (const ErrorCase& c : cases) {
    Parsed p = Parse(c.source);
    EXPECT_FALSE(p.ok) << c.source;
    EXPECT_EQ(p.error, c.error) << c.source;
    EXPECT_EQ(p.unitName, "") << c.source;
  }
}

TEST_F(ILParserTest, ErrorPositionSkipsCommentsAndCountsEveryLineEnd) {
  for (const char* eol : {"\r\n", "\n", "\r"}) {
    const std::string source =
        std::string("begin") + eol + "  x := 1 { note }" + eol + "  (* more *) y" + eol;
    EXPECT_EQ(Parse(source).error, "3:14 'END' expected") << eol;
  }
  EXPECT_EQ(Parse("begin\r\n  x := 'abc\r\nend.").error, "2:8 Expression expected");
}

TEST_F(ILParserTest, ErrorFieldsAreStoredInTheScriptAndClearedOnSuccess) {
  TkvScript script;
  script.ErrorUnitName = u"stale.pas";
  TkvILParser parser(&script);
  parser.SelectGrammar(u"PascalScript");
  EXPECT_FALSE(parser.SourceToIL(u"begin"));
  EXPECT_EQ(script.ErrorText, u"'END' expected");
  EXPECT_EQ(script.ErrorPosition, u"1:6");
  EXPECT_EQ(script.ErrorUnitName, u"");
  EXPECT_EQ(parser.ErrorText(), script.ErrorText);
  EXPECT_EQ(parser.ILDocument().Root()->Count(), 0);

  EXPECT_TRUE(parser.SourceToIL(u"begin end."));
  EXPECT_EQ(script.ErrorText, u"");
  EXPECT_EQ(script.ErrorPosition, u"");
  EXPECT_EQ(parser.ErrorText(), u"");
}

// Control characters, U+FFFF and a lone surrogate in a literal are written as references:
// the saved IL holds only printable text and reads back to the same literal.
TEST_F(ILParserTest, SavedDocumentCodesControlCharactersAndReadsBack) {
  TkvILParser parser(nullptr);
  parser.SelectGrammar(u"PascalScript");
  ASSERT_TRUE(parser.SourceToIL(u"begin s := 'a'#1#9#27#127#133#65535#55296'z' end."));
  parser.ILDocument().SetIndentOutput(true);
  const std::string saved = parser.ILDocument().SaveToString();
  for (unsigned char byte : saved) EXPECT_TRUE(byte >= 0x20 || byte == '\r' || byte == '\n');
  EXPECT_NE(saved.find("'a&#1;&#9;&#27;&#127;&#133;&#65535;&#55296;z'"), std::string::npos);

  TkvXMLDocument back;
  back.LoadFromString(saved);
  const UString literal = UString(u"'a\x01\t\x1B\x7F\x85\xFFFF") + char16_t(0xD800) + u"z'";
  EXPECT_EQ(back.Root()->Items(0)->Items(0)->Items(1)->Items(0)->Prop(u"text"), literal);
}

TEST_F(ILParserTest, CharacterCodeOutOfRangeIsASyntaxError) {
  Parsed p = Parse("begin\n  s := #99999999;\nend.");
  EXPECT_FALSE(p.ok);
  EXPECT_EQ(p.error.substr(0, 4), "2:8 ");
}

// --- Backtracking and error recovery -----------------------------------------------------

TEST_F(ILParserTest, AcceptsWhatTheGrammarAllows) {
  for (const char* source : {
           "begin a; end.",
           "begin ;;; end.",
           "var a: Integer; begin end.",
           "const a = 1; b = 'x'; var c, d: String; begin end.",
           "begin case x of 1: a; 2: b; else c end end.",
           "begin case x of 1: a; end end.",
           "begin if a then b else; end.",
           "begin a := <Table.\"Field\"> end.",
           "begin f(a, b,) end.",
           "begin a[1](2).b := c(d)[e] end.",
           "begin x := 1 end. anything after the final dot",
           "procedure A; procedure B; begin end; begin B end; begin A end.",
           "program P; begin end.",
       }) {
    Parsed p = Parse(source);
    EXPECT_TRUE(p.ok) << source << ": " << p.error;
  }
}

TEST_F(ILParserTest, FailedAlternativesLeaveNoTrace) {
  // A call statement is first tried as an assignment: the designator read for it is
  // dropped with the failed assignment, not duplicated.
  EXPECT_EQ(Statements("f(1)"),
            "<callstmt pos=\"1:7\">\n<dsgn pos=\"1:7\">\n<node text=\"f\" pos=\"1:8\"/>\n"
            "<expr pos=\"1:9\">\n<number text=\"1\" pos=\"1:10\"/>\n</expr>\n"
            "</dsgn>\n</callstmt>\n");
  // A separator after the last element stays consumed: "a, b," is a list of two.
  EXPECT_EQ(Statements("f(a,)"),
            "<callstmt pos=\"1:7\">\n<dsgn pos=\"1:7\">\n<node text=\"f\" pos=\"1:8\"/>\n"
            "<expr pos=\"1:9\">\n<dsgn pos=\"1:9\">\n<node text=\"a\" pos=\"1:10\"/>\n"
            "</dsgn>\n</expr>\n"
            "</dsgn>\n</callstmt>\n");
  // An alternative that fails after reading something drops what it emitted: a size is
  // first read as the low bound of a range.
  Parsed p = Parse("var a: array[n] of Integer; begin end.");
  ASSERT_TRUE(p.ok) << p.error;
  EXPECT_NE(p.body.find("<dim pos=\"1:14\">\n<expr pos=\"1:14\">\n<dsgn pos=\"1:14\">\n"
                        "<node text=\"n\" pos=\"1:15\"/>\n</dsgn>\n</expr>\n</dim>\n"),
            std::string::npos)
      << p.body;
  // A relational operator is tried as ">=" before the single ">"; "> =" is no operator.
  EXPECT_EQ(Parse("begin x := a > = b end.").error, "1:14 'END' expected");
}

TEST_F(ILParserTest, RangesWithNamedLowerBounds) {
  EXPECT_EQ(Statements("s := [lo..hi]"),
            "<assignstmt pos=\"1:7\">\n<dsgn pos=\"1:7\">\n<node text=\"s\" pos=\"1:8\"/>\n"
            "</dsgn>\n<expr pos=\"1:12\">\n<set pos=\"1:13\">\n"
            "<expr pos=\"1:13\">\n<dsgn pos=\"1:13\">\n<node text=\"lo\" pos=\"1:15\"/>\n"
            "</dsgn>\n</expr>\n"
            "<range text=\".\" pos=\"1:16\"/>\n"
            "<expr pos=\"1:17\">\n<dsgn pos=\"1:17\">\n<node text=\"hi\" pos=\"1:19\"/>\n"
            "</dsgn>\n</expr>\n"
            "</set>\n</expr>\n</assignstmt>\n");
  for (const char* source : {
           "begin case x of A..B: f; c.d..e.f: ; end end.",
           "var a: array[Lo..Hi] of Integer; begin end.",
           "var a: array[r.Lo .. r.Hi, 3] of Integer; begin end.",
           "begin if x in [a..b, 1..c] then end.",
       }) {
    Parsed p = Parse(source);
    EXPECT_TRUE(p.ok) << source << ": " << p.error;
  }
  // A dangling dot is still an error, reported by the element that fails after it.
  EXPECT_EQ(Parse("begin x.; end.").error, "1:8 'END' expected");
  EXPECT_EQ(Parse("begin y := x.; end.").error, "1:13 'END' expected");
}

// --- Languages ----------------------------------------------------------------------------

TEST_F(ILParserTest, LanguageDirectiveSelectsTheGrammar) {
  for (const char* eol : {"\r\n", "\n", "\r"}) {
    Parsed p = Parse(std::string("#language  PascalScript  ") + eol + "begin x end.");
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.body.substr(0, 24), "<compoundstmt pos=\"2:1\">");
  }
  EXPECT_TRUE(Parse("#LANGUAGE PascalScript").error == "1:23 'BEGIN' expected");
  // Only in the very first column; elsewhere "#" is ordinary text.
  EXPECT_FALSE(Parse(" #language PascalScript\nbegin end.").ok);
  try {
    Parse("#language Nowhere\nbegin end.");
    ADD_FAILURE() << "no exception";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), u"Language 'Nowhere' not found");
  }
}

// A grammar of its own: one statement per line, line breaks significant, lower-case words,
// "#" comments, and none of PascalScript's reserved words.
const char16_t kCalcGrammar[] =
    uR"(<?xml version="1.0"?><calc><parser>)"
    uR"(<identchars text="abcdefghijklmnopqrstuvwxyz_"/><commentline1 text="#"/>)"
    uR"(<commentblock1 text=""/><commentblock2 text=""/><skipeol text="0"/>)"
    uR"(<declarevars text="0"/><keywords><print/></keywords>)"
    uR"(<errors><e1 text="Number expected"/><e2 text="End of line expected"/></errors>)"
    uR"(</parser><types><int type="Integer"/></types>)"
    uR"(<program><optionalloop><line/></optionalloop></program>)"
    uR"(<line><optionalswitch><print/><set/></optionalswitch><eol err="e2" term="1"/></line>)"
    uR"(<print node="print"><keyword text="print"/><number add="value" err="e1"/></print>)"
    uR"(<set node="let"><ident add="name"/><char text="="/><value err="e1"/></set>)"
    uR"(<value><number add="value"/></value>)"
    uR"(</calc>)";

TEST_F(ILParserTest, AnyRegisteredGrammarDrivesTheParser) {
  RegisterLanguageGrammar(u"Calc", kCalcGrammar);
  TkvILParser parser(nullptr);
  parser.SelectGrammar(u"calc");
  EXPECT_FALSE(parser.DeclareVars());
  ASSERT_TRUE(parser.SourceToIL(u"begin = 1 # not reserved here\r\nprint 2 # two\r\n\r\n"))
      << ToUtf8(parser.ErrorText());
  EXPECT_EQ(
      parser.ILDocument().SaveToString(),
      "<?xml version=\"1.0\"?><program>"
      "<let pos=\"1:1\"><name text=\"begin\" pos=\"1:6\"/><value text=\"1\" pos=\"1:10\"/></let>"
      "<print pos=\"2:1\"><value text=\"2\" pos=\"2:8\"/></print>"
      "<types><int type=\"Integer\"/></types></program>");

  EXPECT_FALSE(parser.SourceToIL(u"print 1 print 2\r\n"));
  EXPECT_EQ(parser.ErrorText(), u"End of line expected");
  EXPECT_EQ(parser.ErrorPosition(), u"1:9");
  EXPECT_FALSE(parser.SourceToIL(u"print x\r\n"));
  EXPECT_EQ(parser.ErrorText(), u"Number expected");
  // Upper-case letters are not identifier characters in this language.
  EXPECT_FALSE(parser.SourceToIL(u"X = 1\r\n"));

  // The language directive switches between registered grammars.
  TkvILParser other(nullptr);
  other.SelectGrammar(u"PascalScript");
  EXPECT_TRUE(other.SourceToIL(u"#language Calc\r\nprint 1\r\n"));
  EXPECT_EQ(other.LanguageName(), u"Calc");
}

// The parser passes over alternatives that cannot start with the next character; what it
// answers must be what trying them would: an alternative that records an error is still
// tried, a symbol read without skipping blanks still sees the blank, and a rule that matches
// empty still makes its element.
TEST_F(ILParserTest, AlternativesPassedOverGiveWhatTryingThemWould) {
  RegisterLanguageGrammar(
      u"Picky",
      uR"(<?xml version="1.0"?><g><parser><errors><e1 text="Go expected"/></errors></parser>)"
      uR"(<program><switch><sequence><char text="+"/><number add="n"/></sequence><mark/></switch>)"
      uR"(<optional><char text="="/><char text="=" skip="0" add="eq"/></optional>)"
      uR"(<switch><number add="n"/><keyword text="go" err="e1"/></switch></program>)"
      uR"(<mark node="m"><optional><char text="!"/></optional></mark></g>)");
  Parsed p = Parse("+1==2", "Picky");
  EXPECT_EQ(p.body,
            "<n text=\"1\" pos=\"1:3\"/>\n<eq text=\"=\" pos=\"1:5\"/>\n"
            "<n text=\"2\" pos=\"1:6\"/>\n")
      << p.error;
  EXPECT_EQ(Parse("+1= =2", "Picky").error, "1:3 Go expected");
  p = Parse("7", "Picky");
  EXPECT_EQ(p.body, "<m pos=\"1:1\"/>\n<n text=\"7\" pos=\"1:2\"/>\n") << p.error;
  EXPECT_EQ(Parse("  x", "Picky").error, "1:3 Go expected");
}

TEST_F(ILParserTest, BrokenGrammarsAreInvalidLanguageDefinitions) {
  const std::pair<const char16_t*, const char16_t*> grammars[] = {
      {u"Broken1", uR"(<?xml version="1.0"?><g><program><missing/></program></g>)"},
      {u"Broken2", uR"(<?xml version="1.0"?><g><start><char text=";"/></start></g>)"},
      {u"Broken3", u"this is no grammar"},
      {u"Broken4", uR"(<?xml version="1.0"?><g><program><a/></program><a><b></a></g>)"},
      {u"Broken5", uR"(<?xml version="1.0"?><g><program><char add="a b"/></program></g>)"},
      {u"Broken6",
       uR"(<?xml version="1.0"?><g><program><optional><x/></optional></program><x><y/></x></g>)"},
  };
  for (const auto& [name, text] : grammars) {
    RegisterLanguageGrammar(name, text);
    TkvILParser parser(nullptr);
    try {
      parser.SelectGrammar(name);
      ADD_FAILURE() << ToUtf8(name) << ": no exception";
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message(), u"Invalid language definition") << ToUtf8(name);
    }
  }
  TkvILParser parser(nullptr);
  try {
    parser.SelectGrammar(u"Klingon");
    ADD_FAILURE() << "no exception";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), u"Language 'Klingon' not found");
  }
  // An unreferenced rule may refer to anything, and a grammar may define `types` freely.
  RegisterLanguageGrammar(u"Lenient",
                          uR"(<?xml version="1.0"?><g><program/><unused><nothing/></unused></g>)");
  parser.SelectGrammar(u"Lenient");
  EXPECT_TRUE(parser.SourceToIL(u"ignored"));
}

TEST_F(ILParserTest, TheRegisteredTextIsTheOneLineDocument) {
  const UStringView text = PascalScriptGrammar();
  EXPECT_EQ(text.find(u'\n'), UStringView::npos);
  const UStringView start = u"<?xml version=\"1.0\"?><language><parser><commentline1 text=\"//\"/>";
  EXPECT_EQ(text.substr(0, start.size()), start);
  EXPECT_EQ(LanguageGrammar(u"pascalscript"), text);

  TkvXMLDocument grammar;
  grammar.LoadFromString(ToUtf8(text));
  EXPECT_EQ(grammar.SaveToString(), ToUtf8(text)) << "written back unchanged";
  TkvXMLItem* parser = grammar.Root()->Items(0);
  EXPECT_EQ(parser->FindItem(u"keywords")->Count(), 40);
  EXPECT_EQ(parser->FindItem(u"errors")->Count(), 20);
  EXPECT_EQ(parser->FindItem(u"errors")->FindItem(u"err20")->Prop(u"text"), u"'>' expected");
  // Everything after the parser section is a rule; the first three are types, empty and
  // the start rule.
  EXPECT_EQ(grammar.Root()->Count(), 50);
  EXPECT_EQ(grammar.Root()->Items(1)->Name(), u"types");
  EXPECT_EQ(grammar.Root()->Items(3)->Name(), u"program");
}

TEST_F(ILParserTest, TheMarkerComponentAddsNothingToItsAncestor) {
  TClass* cls = TkvPascal::StaticClass();
  EXPECT_EQ(cls->Name(), u"TkvPascal");
  EXPECT_EQ(cls->Parent(), TComponent::StaticClass());
  EXPECT_EQ(cls->Properties().size(), TComponent::StaticClass()->Properties().size());
  TComponent owner;
  TObject* marker = cls->Construct(&owner);  // the class's virtual constructor
  EXPECT_EQ(owner.ComponentCount(), 1);
  EXPECT_EQ(owner.Components(0), marker);
}

// --- Used units --------------------------------------------------------------------------

class UnitTest : public ILParserTest {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("kv_il_units_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  void Write(const std::string& name, const std::string& bytes) {
    fs::create_directories((dir_ / name).parent_path());
    std::ofstream(dir_ / name, std::ios::binary) << bytes;
  }
  std::string Main() const { return (dir_ / "main.pas").string(); }

  fs::path dir_;
};

TEST_F(UnitTest, UnitsAreIncludedInReverseOrderBeforeTheProgram) {
  Write("a.pas", "var g: Integer;\nbegin end.");
  Write("b.pas",
        "\xEF\xBB\xBF"
        "begin b end.");  // a byte-order mark is skipped
  Parsed p = Parse("uses 'a.pas', 'b.pas';\nbegin end.", "PascalScript", Main());
  ASSERT_TRUE(p.ok) << p.error;
  EXPECT_EQ(p.body,
            "<uses unit=\"b.pas\">\n<program>\n"
            "<compoundstmt pos=\"1:1\">\n<callstmt pos=\"1:7\">\n<dsgn pos=\"1:7\">\n"
            "<node text=\"b\" pos=\"1:8\"/>\n</dsgn>\n</callstmt>\n</compoundstmt>\n"
            "<types/>\n</program>\n</uses>\n"
            "<uses unit=\"a.pas\">\n<program>\n"
            "<var pos=\"1:5\">\n<ident text=\"g\" pos=\"1:6\"/>\n"
            "<type text=\"Integer\" pos=\"1:15\"/>\n</var>\n"
            "<compoundstmt pos=\"2:1\"/>\n"
            "<types/>\n</program>\n</uses>\n"
            "<compoundstmt pos=\"2:1\"/>\n");
}

TEST_F(UnitTest, UnitsAreFoundBesideTheFileThatNamesThem) {
  Write("lib/a.pas", "uses 'b.pas'; begin end.");
  Write("lib/b.pas", "begin end.");
  // b.pas is found beside lib/a.pas, not in the current directory.
  Parsed p = Parse("uses 'lib/a.pas'; begin end.", "PascalScript", Main());
  ASSERT_TRUE(p.ok) << p.error;

  // Without a source file name, the current directory.
  const fs::path before = fs::current_path();
  fs::current_path(dir_);
  Parsed q = Parse("uses 'lib/a.pas'; begin end.");
  fs::current_path(before);
  EXPECT_TRUE(q.ok) << q.error;

  try {
    Parse("uses 'none.pas'; begin end.", "PascalScript", Main());
    ADD_FAILURE() << "no exception";
  } catch (const EFOpenError& e) {
    EXPECT_NE(e.Message().find(u"none.pas"), UString::npos);
  }
}

TEST_F(UnitTest, AUnitLargerThanATextFailsBeforeItIsRead) {
  // Sparse: no disk and, since the size is checked first, no memory.
  Write("huge.pas", "");
  fs::resize_file(dir_ / "huge.pas", static_cast<std::uintmax_t>(kMaxTextFileBytes) + 1);
  try {
    Parse("uses 'huge.pas'; begin end.", "PascalScript", Main());
    ADD_FAILURE() << "no exception";
  } catch (const EReadError& e) {
    EXPECT_EQ(e.Message(),
              u"Cannot read file \"huge.pas\". It has 268435457 bytes, more than a "
              u"text can hold (at most 268435456)");
  }
}

TEST_F(UnitTest, NonUtf8UnitsAreReadAsWindows1251) {
  Write("w.pas", "begin s := '\xCF\xF0\xE8\xE2\xE5\xF2' end.");  // "Привет" in Windows-1251
  TkvILParser parser(nullptr);
  parser.SelectGrammar(u"PascalScript");
  parser.SetSourceFileName(U(Main()));
  ASSERT_TRUE(parser.SourceToIL(u"uses 'w.pas'; begin end."));
  EXPECT_NE(parser.ILDocument().SaveToString().find("'Привет'"), std::string::npos);
}

TEST_F(UnitTest, AnErrorInAUnitReportsTheUnitsPositionAndName) {
  Write("a.pas", "uses 'b.pas';\nbegin end.");
  Write("b.pas", "var x: Integer\r\nbegin end.");
  Parsed p = Parse("uses 'a.pas';\nbegin case x of 1: a; 2: b end end.", "PascalScript", Main());
  EXPECT_FALSE(p.ok) << "a later list that ends normally must not discard the unit's error";
  EXPECT_EQ(p.error, "2:1 ';' expected");
  EXPECT_EQ(p.unitName, "b.pas");
}

TEST_F(UnitTest, CyclesAreReportedInsteadOfFollowed) {
  Write("a.pas", "uses 'b.pas'; begin end.");
  Write("b.pas", "uses 'a.pas'; begin end.");
  Parsed p = Parse("uses 'a.pas'; begin end.", "PascalScript", Main());
  EXPECT_FALSE(p.ok);
  EXPECT_EQ(p.error, "1:13 Circular unit reference: 'a.pas'");
  EXPECT_EQ(p.unitName, "b.pas");

  Write("main.pas", "uses 'main.pas'; begin end.");
  Parsed self = Parse("uses 'main.pas'; begin end.", "PascalScript", Main());
  EXPECT_EQ(self.error, "1:16 Circular unit reference: 'main.pas'");
  EXPECT_EQ(self.unitName, "");
}

int Occurrences(const std::string& text, const std::string& part) {
  int count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

// A chain in which each unit uses the next twice would be read 2^depth times; spellings
// and hard links of one file are the same unit.
TEST_F(UnitTest, AUnitReachedBySeveralPathsIsReadOnce) {
  constexpr int kDepth = 12;
  for (int i = 1; i < kDepth; ++i) {
    const std::string next = "d" + std::to_string(i + 1) + ".pas";
    Write("d" + std::to_string(i) + ".pas", "uses '" + next + "', 'sub/../" + next + "';\nvar v" +
                                                std::to_string(i) + ": Integer;\nbegin end.");
  }
  Write("d" + std::to_string(kDepth) + ".pas", "begin end.");
  fs::create_hard_link(dir_ / "d1.pas", dir_ / "link.pas");
  fs::create_directories(dir_ / "sub");

  TkvILParser parser(nullptr);
  parser.SelectGrammar(u"PascalScript");
  parser.SetSourceFileName(U(Main()));
  for (int pass = 0; pass < 2; ++pass) {  // a new parse reads its units afresh
    ASSERT_TRUE(parser.SourceToIL(u"uses 'link.pas', 'd1.pas';\nbegin end.")) << pass;
    const std::string body = Body(parser.ILDocument());
    EXPECT_EQ(Occurrences(body, "<program>"), kDepth);
    EXPECT_EQ(Occurrences(body, "<uses "), 2 * kDepth);
    // The first `uses` element in document order holds the unit; the later one is empty.
    EXPECT_EQ(body.find("<uses unit=\"d1.pas\">\n<program>"), 0u) << body.substr(0, 200);
    EXPECT_NE(body.find("<uses unit=\"link.pas\"/>"), std::string::npos);
  }
}

// --- Size and depth ----------------------------------------------------------------------

TEST_F(ILParserTest, DeepNestingIsAnErrorNotACrash) {
  const int n = 100000;
  Parsed brackets =
      Parse("begin x := " + std::string(n, '(') + "1" + std::string(n, ')') + " end.");
  EXPECT_FALSE(brackets.ok);
  EXPECT_NE(brackets.error.find("Nesting too deep"), std::string::npos) << brackets.error;

  std::string begins;
  for (int i = 0; i < n; ++i) begins += "begin ";
  Parsed blocks = Parse(begins);
  EXPECT_NE(blocks.error.find("Nesting too deep"), std::string::npos) << blocks.error;

  // Reasonable nesting is far from the limit.
  const int depth = 200;
  EXPECT_TRUE(
      Parse("begin x := " + std::string(depth, '(') + "1" + std::string(depth, ')') + " end.").ok);
  std::string nested;
  for (int i = 0; i < depth / 2; ++i) nested += "if a then begin ";
  for (int i = 0; i < depth / 2; ++i) nested += "end; ";
  EXPECT_TRUE(Parse("begin " + nested + " end.").ok);
}

TEST_F(ILParserTest, LongSourcesParse) {
  // Linear work per statement and per operand: this would take minutes if any list or
  // expression were re-read per element.
  std::string statements;
  std::string sum = "0";
  for (int i = 0; i < 5000; ++i) {
    statements += "f(x, y[1]); a.b := c + " + std::to_string(i) + ";\n";
    sum += " + a" + std::to_string(i);
  }
  Parsed p = Parse("begin\n" + statements + "x := " + sum + "\nend.");
  ASSERT_TRUE(p.ok) << p.error;
  EXPECT_NE(p.body.find("pos=\"5002:"), std::string::npos);
}

}  // namespace
}  // namespace kv
