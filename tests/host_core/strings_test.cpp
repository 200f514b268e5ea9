// TStrings and TStringList: lines with their objects, whole text, copying and updates.
#include "host/core/strings.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "tests/host_core/object_model_raises.h"

namespace kv {
namespace {

std::vector<UString> Lines(const TStrings& list) {
  std::vector<UString> lines;
  for (int i = 0; i < list.Count(); ++i) lines.push_back(list.Get(i));
  return lines;
}

TEST(TStringListTest, AddInsertPutDeleteAndClear) {
  TStringList list;
  EXPECT_EQ(list.Add(u"b"), 0);
  EXPECT_EQ(list.Add(u"d"), 1);
  list.Insert(0, u"a");
  list.Insert(2, u"c");
  list.Insert(4, u"e");  // at Count: appends
  EXPECT_EQ(Lines(list), (std::vector<UString>{u"a", u"b", u"c", u"d", u"e"}));
  list.Put(1, u"B");
  list.Delete(4);
  list.Delete(0);
  EXPECT_EQ(Lines(list), (std::vector<UString>{u"B", u"c", u"d"}));
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
}

TEST(TStringListTest, IndexesOutsideTheLinesRaise) {
  TStringList list;
  list.Add(u"only");
  EXPECT_EQ(RaisedBy<EStringListError>([&] { list.Get(1); }), "List index out of bounds (1)");
  EXPECT_EQ(RaisedBy<EStringListError>([&] { list.Get(-1); }), "List index out of bounds (-1)");
  EXPECT_NE(RaisedBy<EStringListError>([&] { list.Put(1, u"x"); }), "<nothing raised>");
  EXPECT_NE(RaisedBy<EStringListError>([&] { list.Delete(1); }), "<nothing raised>");
  EXPECT_NE(RaisedBy<EStringListError>([&] { list.Insert(2, u"x"); }), "<nothing raised>");
  EXPECT_NE(RaisedBy<EStringListError>([&] { list.GetObject(5); }), "<nothing raised>");
  EXPECT_NE(RaisedBy<EStringListError>([&] { list.PutObject(-3, 1); }), "<nothing raised>");
  EXPECT_EQ(Lines(list), (std::vector<UString>{u"only"}));
}

TEST(TStringListTest, IndexOfIgnoresCase) {
  TStringList list;
  list.Add(u"Alpha");
  list.Add(u"Привет");
  EXPECT_EQ(list.IndexOf(u"ALPHA"), 0);
  EXPECT_EQ(list.IndexOf(u"пРИВЕТ"), 1);
  EXPECT_EQ(list.IndexOf(u"Alph"), -1);
}

TEST(TStringListTest, TextJoinsWithLineFeedsAndSplitsAtEveryKindOfBreak) {
  TStringList list;
  EXPECT_EQ(list.Text(), u"");
  list.SetText(u"one\r\ntwo\nthree\rfour");
  EXPECT_EQ(Lines(list), (std::vector<UString>{u"one", u"two", u"three", u"four"}));
  EXPECT_EQ(list.Text(), u"one\ntwo\nthree\nfour\n");

  list.SetText(u"a\n");  // a final break starts no line
  EXPECT_EQ(Lines(list), (std::vector<UString>{u"a"}));
  list.SetText(u"a\n\r\n\rb\r\n");  // empty lines between breaks are kept
  EXPECT_EQ(Lines(list), (std::vector<UString>{u"a", u"", u"", u"b"}));
  list.SetText(u"\n\n");
  EXPECT_EQ(Lines(list), (std::vector<UString>{u"", u""}));
  list.SetText(u"");
  EXPECT_EQ(list.Count(), 0);
}

TEST(TStringListTest, LinesCarryObjectValuesThatAreNotOwned) {
  TStringList list;
  auto owned = std::make_unique<TStringList>();
  list.AddObject(u"list", owned->Handle());
  list.AddObject(u"number", 12345);  // any value comes back as stored
  list.Add(u"none");
  EXPECT_EQ(list.GetObject(1), 12345);
  EXPECT_EQ(list.ObjectAt<TStringList>(0), owned.get());
  EXPECT_EQ(list.ObjectAt<TStrings>(2), nullptr);
  EXPECT_EQ(list.IndexOfObject(12345), 1);
  list.Put(1, u"renamed");
  EXPECT_EQ(list.GetObject(1), 12345);

  const int32_t handle = owned->Handle();
  owned.reset();
  EXPECT_EQ(list.GetObject(0), handle);
  EXPECT_NE(RaisedBy<EInvalidPointer>([&] { list.ObjectAt<TStringList>(0); }), "<nothing raised>");
}

TEST(TStringListTest, AssignAndAddStringsCopyLinesWithObjects) {
  TStringList source;
  source.AddObject(u"x", 7);
  source.Add(u"y");
  TStringList target;
  target.Add(u"old");
  target.Assign(&source);
  EXPECT_EQ(Lines(target), (std::vector<UString>{u"x", u"y"}));
  EXPECT_EQ(target.GetObject(0), 7);

  target.AddStrings(source);
  EXPECT_EQ(Lines(target), (std::vector<UString>{u"x", u"y", u"x", u"y"}));

  // Into itself: copied once, not forever, and Assign from itself keeps the lines.
  source.AddStrings(source);
  EXPECT_EQ(Lines(source), (std::vector<UString>{u"x", u"y", u"x", u"y"}));
  source.Assign(&source);
  EXPECT_EQ(source.Count(), 4);
}

TEST(TStringListTest, ChangesNotifyOnceInsideAnUpdate) {
  TStringList list;
  int changing = 0;
  int changed = 0;
  int32_t sender = 0;
  list.OnChanging.Code = [&](TEventArgs&) { ++changing; };
  list.OnChange.Code = [&](TEventArgs& args) {
    ++changed;
    sender = static_cast<int32_t>(args.at(0).VInt);
  };
  list.Add(u"a");
  EXPECT_EQ(changing, 1);
  EXPECT_EQ(changed, 1);
  EXPECT_EQ(sender, list.Handle());

  list.BeginUpdate();
  list.BeginUpdate();
  list.Add(u"b");
  list.Delete(0);
  list.EndUpdate();
  EXPECT_EQ(changed, 1);
  list.EndUpdate();
  EXPECT_EQ(changing, 2);
  EXPECT_EQ(changed, 2);
  list.EndUpdate();  // unbalanced: ignored
  EXPECT_EQ(list.UpdateCount(), 0);

  list.SetText(u"1\n2\n3");
  EXPECT_EQ(changed, 3);
}

TEST(TStringListTest, TheMetaclassMakesListsAndKnowsTStringsIsAbstract) {
  std::unique_ptr<TObject> made(TStringList::StaticClass()->Construct());
  EXPECT_TRUE(made->Is<TStrings>());
  EXPECT_EQ(made->ClassName(), u"TStringList");
  EXPECT_FALSE(TStrings::StaticClass()->CanConstruct());
  EXPECT_EQ(TStrings::StaticClass()->Parent(), TPersistent::StaticClass());
}

}  // namespace
}  // namespace kv
