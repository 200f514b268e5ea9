// The core classes scripts use: TList, the name=value, delimited-text and sorting parts of
// TStringList, and the streams with their files.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "host/core/file_stream.h"
#include "host/core/list.h"
#include "host/core/memory_stream.h"
#include "host/core/strings.h"
#include "tests/host_core/object_model_raises.h"

namespace kv {
namespace {

constexpr const char* kNothing = "<nothing raised>";

std::vector<int32_t> Items(const TList& list) {
  std::vector<int32_t> items;
  for (int i = 0; i < list.Count(); ++i) items.push_back(list.Items(i));
  return items;
}

std::vector<UString> Lines(const TStrings& list) {
  std::vector<UString> lines;
  for (int i = 0; i < list.Count(); ++i) lines.push_back(list.Get(i));
  return lines;
}

std::string Bytes(TMemoryStream& stream) {
  return std::string(stream.Memory(), static_cast<size_t>(stream.Size()));
}

// A file name in the test's temporary folder, removed when the test ends.
class TempFile {
 public:
  explicit TempFile(const std::string& name)
      : path_(testing::TempDir() + "kv_classes_" + std::to_string(::getpid()) + "_" + name) {
    std::remove(path_.c_str());
  }
  ~TempFile() { std::remove(path_.c_str()); }
  UString Name() const { return FromUtf8(path_); }

 private:
  std::string path_;
};

// ---------------------------------------------------------------------------------------
// TList

TEST(TListTest, AddInsertMoveExchangeAndRemoveKeepTheOrderScriptsExpect) {
  TList list;
  EXPECT_EQ(list.Add(10), 0);
  EXPECT_EQ(list.Add(20), 1);
  EXPECT_EQ(list.Add(30), 2);
  list.Insert(0, 5);
  list.Insert(4, 40);  // at Count: appends
  EXPECT_EQ(Items(list), (std::vector<int32_t>{5, 10, 20, 30, 40}));
  list.Move(0, 3);
  EXPECT_EQ(Items(list), (std::vector<int32_t>{10, 20, 30, 5, 40}));
  list.Move(4, 0);
  EXPECT_EQ(Items(list), (std::vector<int32_t>{40, 10, 20, 30, 5}));
  list.Exchange(0, 4);
  list.SetItems(1, 11);
  EXPECT_EQ(Items(list), (std::vector<int32_t>{5, 11, 20, 30, 40}));
  EXPECT_EQ(list.Remove(30), 3);
  EXPECT_EQ(list.Remove(30), -1);
  EXPECT_EQ(list.IndexOf(40), 3);
  EXPECT_EQ(list.First(), 5);
  EXPECT_EQ(list.Last(), 40);
  list.Delete(0);
  EXPECT_EQ(Items(list), (std::vector<int32_t>{11, 20, 40}));
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.Capacity(), 0);
}

TEST(TListTest, BadIndexesRaiseWithTheIndexAndChangeNothing) {
  TList list;
  list.Add(1);
  list.Add(2);
  EXPECT_EQ(RaisedBy<EListError>([&] { list.Items(2); }), "List index out of bounds (2)");
  EXPECT_EQ(RaisedBy<EListError>([&] { list.SetItems(-1, 0); }), "List index out of bounds (-1)");
  EXPECT_EQ(RaisedBy<EListError>([&] { list.Insert(3, 9); }), "List index out of bounds (3)");
  EXPECT_EQ(RaisedBy<EListError>([&] { list.Delete(2); }), "List index out of bounds (2)");
  EXPECT_EQ(RaisedBy<EListError>([&] { list.Move(0, 2); }), "List index out of bounds (2)");
  EXPECT_EQ(RaisedBy<EListError>([&] { list.Exchange(5, 0); }), "List index out of bounds (5)");
  EXPECT_EQ(Items(list), (std::vector<int32_t>{1, 2}));
  TList empty;
  EXPECT_EQ(RaisedBy<EListError>([&] { empty.First(); }), "List index out of bounds (0)");
  EXPECT_EQ(RaisedBy<EListError>([&] { empty.Last(); }), "List index out of bounds (-1)");
}

TEST(TListTest, CapacityAndCountAreCheckedAndPackDropsNils) {
  TList list;
  for (int i = 0; i < 5; ++i) list.Add(i);
  EXPECT_GE(list.Capacity(), 5);
  EXPECT_EQ(RaisedBy<EListError>([&] { list.SetCapacity(4); }), "List capacity out of bounds (4)");
  EXPECT_EQ(RaisedBy<EListError>([&] { list.SetCapacity(TList::kMaxListSize + 1); }),
            "List capacity out of bounds (134217728)");
  EXPECT_EQ(RaisedBy<EListError>([&] { list.SetCount(-1); }), "List count out of bounds (-1)");
  list.SetCount(7);
  EXPECT_EQ(Items(list), (std::vector<int32_t>{0, 1, 2, 3, 4, 0, 0}));
  list.Pack();
  EXPECT_EQ(Items(list), (std::vector<int32_t>{1, 2, 3, 4}));
}

TEST(TListTest, ItemsAreCheckedWhenTurnedBackIntoObjects) {
  TList list;
  auto strings = std::make_unique<TStringList>();
  list.Add(strings->Handle());
  list.Add(0);
  EXPECT_EQ(list.ItemAt<TStrings>(0), strings.get());
  EXPECT_EQ(list.ItemAt<TStrings>(1), nullptr);
  EXPECT_NE(RaisedBy<EInvalidCast>([&] { list.ItemAt<TList>(0); }), kNothing);
  strings.reset();
  EXPECT_NE(RaisedBy<EInvalidPointer>([&] { list.ItemAt<TStrings>(0); }), kNothing);
}

// ---------------------------------------------------------------------------------------
// TStrings: names and values, delimited text

TEST(TStringsNamesTest, ValuesReadWriteAppendAndDelete) {
  TStringList list;
  list.SetText(u"Host=local\nport=80\nplain line\n=empty name");
  EXPECT_EQ(list.Values(u"HOST"), u"local");
  EXPECT_EQ(list.Values(u"missing"), u"");
  EXPECT_EQ(list.Values(u"plain line"), u"");  // a line without "=" has no name
  EXPECT_EQ(list.Values(u""), u"empty name");
  EXPECT_EQ(list.IndexOfName(u"Port"), 1);
  EXPECT_EQ(list.Names(2), u"");
  EXPECT_EQ(list.ValueFromIndex(2), u"");

  list.SetValues(u"user", u"admin=root");  // a new name appends; the value may hold "="
  EXPECT_EQ(list.Get(4), u"user=admin=root");
  EXPECT_EQ(list.Names(4), u"user");
  EXPECT_EQ(list.Values(u"user"), u"admin=root");
  list.SetValues(u"PORT", u"8080");  // replaces the line in place
  EXPECT_EQ(list.Get(1), u"PORT=8080");
  list.SetValues(u"host", u"");  // an empty value deletes the line
  list.SetValues(u"nobody", u"");
  EXPECT_EQ(Lines(list), (std::vector<UString>{u"PORT=8080", u"plain line", u"=empty name",
                                               u"user=admin=root"}));
}

TEST(TStringsDelimitedTest, CommaTextQuotesWhatWouldNotReadBack) {
  TStringList list;
  EXPECT_EQ(list.CommaText(), u"");
  list.Add(u"");
  EXPECT_EQ(list.CommaText(), u"\"\"");  // one empty line is not the empty list
  list.SetText(u"plain\nwith space\nwith,comma\nsay \"hi\"\n\ntab\there\nПривет");
  list.Add(u"");
  EXPECT_EQ(list.CommaText(), U("plain,\"with space\",\"with,comma\",\"say \"\"hi\"\"\",,"
                                "\"tab\there\",Привет,"));
  // What CommaText gives reads back as the same lines.
  TStringList copy;
  copy.SetCommaText(list.CommaText());
  EXPECT_EQ(Lines(copy), Lines(list));
}

TEST(TStringsDelimitedTest, SettingCommaTextSplitsAtCommasAndUnquotedBlanks) {
  TStringList list;
  list.SetCommaText(u"  a b , \"c, d\" ,,e,");
  EXPECT_EQ(Lines(list), (std::vector<UString>{u"a", u"b", u"c, d", u"", u"e", u""}));
  list.SetCommaText(u"\"x\"\"y\"z,\"unclosed quote, runs");
  EXPECT_EQ(Lines(list), (std::vector<UString>{u"x\"y", u"z", u"unclosed quote, runs"}));
  list.SetCommaText(u",");
  EXPECT_EQ(Lines(list), (std::vector<UString>{u"", u""}));
  list.SetCommaText(u"\"\"");
  EXPECT_EQ(Lines(list), (std::vector<UString>{u""}));
  list.SetCommaText(UString(u"nul\0inside", 10));  // a control character separates too
  EXPECT_EQ(Lines(list), (std::vector<UString>{u"nul", u"inside"}));
  list.SetCommaText(u" \t ");
  EXPECT_EQ(list.Count(), 0);
}

TEST(TStringsDelimitedTest, DelimiterQuoteCharAndStrictDelimiter) {
  TStringList list;
  list.SetDelimiter(u';');
  list.SetQuoteChar(u'\'');
  list.SetDelimitedText(u"a b;'c;d';e,f");
  EXPECT_EQ(Lines(list), (std::vector<UString>{u"a", u"b", u"c;d", u"e,f"}));
  EXPECT_EQ(list.DelimitedText(), u"a;b;'c;d';e,f");
  EXPECT_EQ(list.CommaText(), u"a,b,c;d,\"e,f\"");  // CommaText ignores the settings

  list.SetStrictDelimiter(true);
  list.SetDelimitedText(u" a b ; c");
  EXPECT_EQ(Lines(list), (std::vector<UString>{u" a b ", u" c"}));
  EXPECT_EQ(list.DelimitedText(), u" a b ; c");
}

// ---------------------------------------------------------------------------------------
// TStringList: sorting, Find, duplicates

TEST(TStringListSortedTest, AddPlacesLinesAndPositionalChangesAreRefused) {
  TStringList list;
  list.SetText(u"pear\nApple\nfig");
  list.SetSorted(true);
  EXPECT_EQ(Lines(list), (std::vector<UString>{u"Apple", u"fig", u"pear"}));
  EXPECT_EQ(list.Add(u"banana"), 1);
  EXPECT_EQ(list.Add(u"zucchini"), 4);
  const auto before = Lines(list);
  const std::string refused = "Operation not allowed on sorted list";
  EXPECT_EQ(RaisedBy<EStringListError>([&] { list.Insert(0, u"z"); }), refused);
  EXPECT_EQ(RaisedBy<EStringListError>([&] { list.Put(0, u"z"); }), refused);
  EXPECT_EQ(RaisedBy<EStringListError>([&] { list.Exchange(0, 1); }), refused);
  EXPECT_EQ(RaisedBy<EStringListError>([&] { list.Move(0, 1); }), refused);
  EXPECT_EQ(Lines(list), before);

  list.SetSorted(false);  // positional changes are allowed again; nothing moves
  list.Insert(0, u"z");
  EXPECT_EQ(list.Get(0), u"z");
}

TEST(TStringListSortedTest, FindGivesTheIndexOrTheInsertionPoint) {
  TStringList list;
  list.SetSorted(true);
  list.SetCommaText(u"b,d,f");
  int index = -1;
  EXPECT_TRUE(list.Find(u"D", index));
  EXPECT_EQ(index, 1);
  EXPECT_FALSE(list.Find(u"e", index));
  EXPECT_EQ(index, 2);
  EXPECT_FALSE(list.Find(u"a", index));
  EXPECT_EQ(index, 0);
  EXPECT_FALSE(list.Find(u"g", index));
  EXPECT_EQ(index, 3);
  EXPECT_EQ(list.IndexOf(u"F"), 2);
  EXPECT_EQ(list.IndexOf(u"c"), -1);

  // An unsorted list is searched as if it were sorted: a line that is there may be missed.
  TStringList unsorted;
  unsorted.SetCommaText(u"c,a,b");
  EXPECT_FALSE(unsorted.Find(u"c", index));
  EXPECT_EQ(index, 3);
  EXPECT_EQ(unsorted.IndexOf(u"c"), 0);  // IndexOf of an unsorted list looks at every line
}

TEST(TStringListSortedTest, DuplicatesDecideAboutEqualLinesOfSortedListsOnly) {
  TStringList list;
  list.SetSorted(true);
  list.Add(u"a");
  list.Add(u"b");
  EXPECT_EQ(list.Add(u"B"), 1);  // dupIgnore: the existing line's index, nothing added
  EXPECT_EQ(Lines(list), (std::vector<UString>{u"a", u"b"}));
  list.SetDuplicates(dupError);
  EXPECT_EQ(RaisedBy<EStringListError>([&] { list.Add(u"A"); }),
            "String list does not allow duplicates");
  list.SetDuplicates(dupAccept);
  EXPECT_EQ(list.Add(u"A"), 0);  // before the equal line
  EXPECT_EQ(Lines(list), (std::vector<UString>{u"A", u"a", u"b"}));
  int index = -1;
  EXPECT_TRUE(list.Find(u"a", index));
  EXPECT_EQ(index, 0);  // the first of the equal lines

  TStringList unsorted;
  unsorted.SetDuplicates(dupError);
  unsorted.Add(u"x");
  unsorted.Add(u"x");
  EXPECT_EQ(unsorted.Count(), 2);
}

TEST(TStringListSortedTest, CaseSensitiveListsOrderLowerCaseFirstAndResort) {
  TStringList list;
  list.SetCommaText(u"b,B,a,A");
  list.SetCaseSensitive(true);
  list.Sort();
  EXPECT_EQ(list.CommaText(), u"a,A,b,B");
  int index = -1;
  EXPECT_FALSE(list.Find(u"c", index));
  list.SetSorted(true);
  EXPECT_TRUE(list.Find(u"B", index));
  EXPECT_EQ(index, 3);
  EXPECT_EQ(list.IndexOf(u"b"), 2);
  list.Add(u"b");  // equal only with case: ignored, not doubled
  EXPECT_EQ(list.Count(), 4);

  list.SetCaseSensitive(false);  // re-sorted; equal lines keep their order
  EXPECT_EQ(list.CommaText(), u"a,A,b,B");
  EXPECT_EQ(list.IndexOf(u"B"), 2);
}

TEST(TStringListSortedTest, SortIsStableAndNotifiesOnce) {
  TStringList list;
  list.SetCommaText(u"b=1,a=1,B=2,a=2");
  int changed = 0;
  list.OnChange.Code = [&](TEventArgs&) { ++changed; };
  // Whole lines compare, so names sort with their values; equal lines keep their order.
  list.AddObject(u"b=1", 7);
  changed = 0;
  list.Sort();
  EXPECT_EQ(changed, 1);
  EXPECT_EQ(list.CommaText(), u"a=1,a=2,b=1,b=1,B=2");
  EXPECT_EQ(list.GetObject(3), 7);
}

TEST(TStringListSortedTest, ValuesOfASortedListMoveTheLineAndUndoAFailedMove) {
  TStringList list;
  list.SetSorted(true);
  list.SetCommaText(u"b=1,m=2");
  list.SetValues(u"a", u"0");
  list.SetValues(u"b", u"9");
  list.SetValues(u"m", u"");
  EXPECT_EQ(list.CommaText(), u"a=0,b=9");
  list.SetValues(u"b", u"0");
  EXPECT_EQ(list.CommaText(), u"a=0,b=0");

  // A replacement that would double another line under dupError leaves the list unchanged.
  list.SetDuplicates(dupAccept);
  list.AddObject(u"B=0", 42);
  list.SetDuplicates(dupError);
  EXPECT_EQ(RaisedBy<EStringListError>([&] { list.SetValues(u"b", u"0"); }),
            "String list does not allow duplicates");
  EXPECT_EQ(list.CommaText(), u"a=0,B=0,b=0");
  EXPECT_EQ(list.GetObject(1), 42);
}

TEST(TStringListTest, ExchangeAndMoveCarryObjects) {
  TStringList list;
  list.AddObject(u"a", 1);
  list.AddObject(u"b", 2);
  list.AddObject(u"c", 3);
  list.Exchange(0, 2);
  list.Move(0, 1);
  EXPECT_EQ(list.CommaText(), u"b,c,a");
  EXPECT_EQ(list.GetObject(1), 3);
  EXPECT_EQ(RaisedBy<EStringListError>([&] { list.Move(0, 3); }), "List index out of bounds (3)");
  EXPECT_EQ(list.CommaText(), u"b,c,a");
}

// ---------------------------------------------------------------------------------------
// Streams

TEST(TMemoryStreamTest, ReadWriteSeekAndTheEndOfTheData) {
  TMemoryStream stream;
  EXPECT_EQ(stream.Write("hello", 5), 5);
  EXPECT_EQ(stream.Position(), 5);
  EXPECT_EQ(stream.Seek(-2, soFromEnd), 3);
  char buffer[8] = {};
  EXPECT_EQ(stream.Read(buffer, 8), 2);  // only what remains
  EXPECT_EQ(std::string(buffer, 2), "lo");
  EXPECT_EQ(stream.Read(buffer, 8), 0);
  EXPECT_EQ(stream.Read(buffer, -1), 0);
  stream.SetPosition(1);
  EXPECT_EQ(stream.Seek(2, soFromCurrent), 3);

  stream.SetPosition(7);  // beyond the end: writing fills the gap with zeros
  EXPECT_EQ(stream.Read(buffer, 1), 0);
  stream.Write("!", 1);
  EXPECT_EQ(Bytes(stream), std::string("hello\0\0!", 8));
  stream.SetSize(2);
  EXPECT_EQ(stream.Position(), 2);
  EXPECT_EQ(Bytes(stream), "he");

  EXPECT_EQ(RaisedBy<EStreamError>([&] { stream.Seek(-3, soFromCurrent); }),
            "Stream position cannot be negative (-1)");
  EXPECT_EQ(RaisedBy<EStreamError>([&] { stream.Seek(0, 3); }), "Invalid seek origin (3)");
  EXPECT_EQ(RaisedBy<EStreamError>([&] { stream.SetSize(-1); }),
            "Stream size cannot be negative (-1)");
  EXPECT_EQ(RaisedBy<EStreamError>([&] { stream.SetSize(TMemoryStream::kMaxSize + 1); }),
            "Out of memory while expanding memory stream");
  EXPECT_EQ(stream.Position(), 2);
  EXPECT_EQ(RaisedBy<EReadError>([&] { stream.ReadBuffer(buffer, 1); }), "Stream read error");
  stream.Clear();
  EXPECT_EQ(stream.Size(), 0);
}

TEST(TMemoryStreamTest, TextMovesOneByteperCharacterAndAllBytesRoundTrip) {
  TMemoryStream stream;
  UString all;
  for (int byte = 0; byte < 256; ++byte) {
    const char c = static_cast<char>(byte);
    all += FromCp1251(std::string_view(&c, 1));
  }
  EXPECT_EQ(stream.WriteString(all, 1000), 256);  // a count beyond the text is clipped
  stream.SetPosition(0);
  EXPECT_EQ(stream.ReadString(1 << 30), all);  // a huge count reads what there is
  EXPECT_EQ(stream.WriteString(U("Привет"), 3), 3);
  EXPECT_EQ(stream.WriteString(u"x", -5), 0);
  stream.SetPosition(256);
  EXPECT_EQ(stream.ReadString(10), U("При"));
  EXPECT_EQ(stream.Size(), 259);
}

TEST(TMemoryStreamTest, CopyFromAndSavingOrLoadingItself) {
  TMemoryStream source;
  source.Write("abcdef", 6);
  source.SetPosition(4);
  TMemoryStream target;
  EXPECT_EQ(target.CopyFrom(source, 0), 6);  // 0: the whole source, from its start
  EXPECT_EQ(Bytes(target), "abcdef");
  source.SetPosition(1);
  EXPECT_EQ(target.CopyFrom(source, 2), 2);
  EXPECT_EQ(target.CopyFrom(source, -4), 0);
  EXPECT_EQ(Bytes(target), "abcdefbc");
  EXPECT_EQ(RaisedBy<EReadError>([&] { target.CopyFrom(source, 10); }), "Stream read error");

  target.SetPosition(8);
  target.SaveToStream(target);  // writes a copy of its bytes after them
  EXPECT_EQ(Bytes(target), "abcdefbcabcdefbc");
  target.SetPosition(3);
  target.LoadFromStream(target);
  EXPECT_EQ(Bytes(target), "abcdefbcabcdefbc");
  EXPECT_EQ(target.Position(), 3);
  TMemoryStream shorter;
  shorter.Write("xy", 2);
  target.SetPosition(10);
  target.LoadFromStream(shorter);
  EXPECT_EQ(Bytes(target), "xy");
  EXPECT_EQ(target.Position(), 2);
}

TEST(TFileStreamTest, ModesCreateOpenWithoutTruncatingAndShowWritesAtOnce) {
  TempFile file("modes.bin");
  {
    TFileStream created(file.Name(), fmCreate);
    created.WriteBuffer("0123456789", 10);
    // Unbuffered: another stream sees the bytes before this one is closed.
    TFileStream reader(file.Name(), fmOpenRead | fmShareDenyNone);
    EXPECT_EQ(reader.ReadString(100), u"0123456789");
  }
  {
    TFileStream writer(file.Name(), fmOpenWrite | fmShareExclusive);
    EXPECT_EQ(writer.Size(), 10);  // not truncated
    writer.Seek(-2, soFromEnd);
    writer.WriteString(u"AB", 2);
    EXPECT_EQ(RaisedBy<EReadError>([&] { writer.ReadString(1); }),
              "Stream read error (Bad file descriptor)");
  }
  {
    TFileStream both(file.Name(), fmOpenReadWrite);
    EXPECT_EQ(both.ReadString(100), u"01234567AB");
    both.SetSize(4);
    EXPECT_EQ(both.Size(), 4);
    EXPECT_EQ(both.Position(), 10);  // the position stays; reading there gives nothing
    EXPECT_EQ(both.ReadString(5), u"");
  }
  TFileStream reader(file.Name(), fmOpenRead);
  EXPECT_EQ(RaisedBy<EWriteError>([&] { reader.WriteString(u"x", 1); }),
            "Stream write error (Bad file descriptor)");
  TFileStream emptied(file.Name(), fmCreate);
  EXPECT_EQ(emptied.Size(), 0);
}

TEST(TFileStreamTest, FilesThatCannotBeOpenedRaiseWithTheirNameAndReason) {
  TempFile missing("missing.txt");
  const std::string name = ToUtf8(missing.Name());
  EXPECT_EQ(RaisedBy<EFOpenError>([&] { TFileStream(missing.Name(), fmOpenRead); }),
            "Cannot open file \"" + name + "\". No such file or directory");
  EXPECT_EQ(RaisedBy<EFOpenError>([&] { TFileStream(missing.Name(), fmOpenWrite); }),
            "Cannot open file \"" + name + "\". No such file or directory");
  const UString folder = FromUtf8(testing::TempDir());
  EXPECT_EQ(RaisedBy<EFOpenError>([&] { TFileStream(folder, fmOpenRead); }),
            "Cannot open file \"" + testing::TempDir() + "\". Is a directory");
  EXPECT_EQ(
      RaisedBy<EFCreateError>([&] { TFileStream(folder + u"/no/such/dir", fmCreate); }),
      "Cannot create file \"" + testing::TempDir() + "/no/such/dir\". No such file or directory");
  { TFileStream create(missing.Name(), fmCreate); }
  EXPECT_EQ(RaisedBy<EFOpenError>([&] { TFileStream(missing.Name(), 3); }),
            "Cannot open file \"" + name + "\". Invalid file mode (3)");
  const size_t live = handles::LiveCount();
  EXPECT_NE(RaisedBy<EFOpenError>([&] { TFileStream(folder, fmOpenRead); }), kNothing);
  EXPECT_EQ(handles::LiveCount(), live);  // a failed constructor leaves no object behind
}

TEST(TFileStreamTest, MemoryStreamsLoadAndSaveFiles) {
  TempFile file("memory.bin");
  TMemoryStream out;
  out.Write("\x00\xFF\r\n", 4);
  out.SaveToFile(file.Name());
  TMemoryStream in;
  in.LoadFromFile(file.Name());
  EXPECT_EQ(Bytes(in), std::string("\x00\xFF\r\n", 4));
}

// ---------------------------------------------------------------------------------------
// String lists, streams and files

TEST(TStringsFilesTest, LoadDecodesUtf8OrWindows1251AndHonoursByteOrderMarks) {
  struct Case {
    std::string bytes;
    std::vector<UString> lines;
  };
  const std::vector<Case> cases = {
      {"one\r\ntwo\nthree\rfour", {u"one", u"two", u"three", u"four"}},
      {"\xEF\xBB\xBF\xD0\x9F\xD1\x80\xD0\xB8\n", {U("При")}},  // UTF-8 with its mark
      {"\xCF\xF0\xE8\r\n\x98", {U("При"), u"\u0098"}},         // not UTF-8: Windows-1251
      {std::string("\xFF\xFE\x1F\x04\n\x00x\x00", 8), {U("П"), u"x"}},
      {std::string("\xFE\xFF\x04\x1F\x00\n\x00x", 8), {U("П"), u"x"}},
      {"", {}},
  };
  for (const Case& c : cases) {
    TMemoryStream stream;
    stream.Write("skip", 4);
    stream.Write(c.bytes.data(), static_cast<int64_t>(c.bytes.size()));
    stream.SetPosition(4);  // from the position on
    TStringList list;
    list.Add(u"old");
    list.LoadFromStream(stream);
    EXPECT_EQ(Lines(list), c.lines) << c.bytes;
  }
}

TEST(TStringsFilesTest, SaveWritesUtf8WithLineFeedsAndLoadReadsItBack) {
  TempFile file("lines.txt");
  TStringList list;
  list.SetText(U("Привет\r\nworld"));
  list.SaveToFile(file.Name());
  TMemoryStream bytes;
  bytes.LoadFromFile(file.Name());
  EXPECT_EQ(Bytes(bytes), "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82\nworld\n");
  TStringList again;
  again.LoadFromFile(file.Name());
  EXPECT_EQ(Lines(again), Lines(list));

  // A device without end has size 0: loading it stops with an error instead of filling
  // memory, and the list keeps what it had.
  EXPECT_THROW(again.LoadFromFile(u"/dev/zero"), EReadError);
  EXPECT_EQ(Lines(again), Lines(list));

  TempFile missing("no_such_list.txt");
  EXPECT_EQ(RaisedBy<EFOpenError>([&] { again.LoadFromFile(missing.Name()); }),
            "Cannot open file \"" + ToUtf8(missing.Name()) + "\". No such file or directory");
  EXPECT_EQ(Lines(again), Lines(list));
}

}  // namespace
}  // namespace kv
