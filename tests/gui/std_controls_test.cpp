#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTest>

#include "host/core/exceptions.h"
#include "host/gui/button.h"
#include "host/gui/check_box.h"
#include "host/gui/combo_box.h"
#include "host/gui/edit.h"
#include "host/gui/form.h"
#include "host/gui/group_box.h"
#include "host/gui/list_box.h"
#include "host/gui/memo.h"
#include "host/gui/radio_button.h"

namespace kv {
namespace {

// Clicks a check box or radio button on its mark (an empty caption leaves nothing else to
// hit).
void ClickMark(TControl& control) {
  QTest::mouseClick(control.Widget(), Qt::LeftButton, {}, QPoint(6, control.Height() / 2));
}

// Types a character the way a keyboard layout would, whatever key it sits on.
void Type(QWidget* widget, const QString& text) {
  QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, text);
  QApplication::sendEvent(widget, &press);
}

// Counts the firings of an event.
struct Counter {
  int count = 0;
  void Attach(TMethod& event) {
    event.Code = [this](TEventArgs&) { ++count; };
  }
};

QStringList WidgetRows(QWidget* widget) {
  QStringList rows;
  if (auto* list = qobject_cast<QListWidget*>(widget)) {
    for (int i = 0; i < list->count(); ++i) rows << list->item(i)->text();
  } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
    for (int i = 0; i < combo->count(); ++i) rows << combo->itemText(i);
  }
  return rows;
}

// The same round trips on both item lists: what goes through Items is in the widget.
void ExpectLiveItems(TControl& control, TStrings& items) {
  items.Add(u"b");
  items.Insert(0, u"a");
  items.AddObject(u"c", 77);
  EXPECT_EQ(WidgetRows(control.Widget()), (QStringList{"a", "b", "c"}));
  EXPECT_EQ(items.GetObject(2), 77);
  items.Move(2, 0);
  EXPECT_EQ(items.CommaText(), u"c,a,b");
  EXPECT_EQ(items.GetObject(0), 77);
  items.Delete(1);
  EXPECT_EQ(items.IndexOf(u"B"), 1);
  EXPECT_THROW(items.Get(2), EListError);
  EXPECT_THROW(items.Delete(-1), EListError);

  TStringList source;
  source.SetCommaText(u"\"x y\",z");
  source.PutObject(1, 5);
  items.Assign(&source);
  EXPECT_EQ(WidgetRows(control.Widget()), (QStringList{"x y", "z"}));
  EXPECT_EQ(items.GetObject(1), 5);
  items.SetText(u"q\r\nr\n");
  EXPECT_EQ(items.Count(), 2);
  // The control keeps the list: a script may not free it.
  EXPECT_THROW(CheckScriptMayFree(items), EInvalidPointer);
}

TEST(ItemListsTest, ItemsAreLiveOnListAndComboBoxes) {
  TListBox list;
  ExpectLiveItems(list, *list.Items());
  TComboBox combo;
  ExpectLiveItems(combo, *combo.Items());
}

TEST(ItemListsTest, SortedItemsStaySortedAndRefuseToLoseLines) {
  TListBox list;
  list.Items()->SetCommaText(u"pear,Apple,fig");
  list.SetItemIndex(2);
  list.SetSorted(true);
  EXPECT_EQ(list.Items()->CommaText(), u"Apple,fig,pear");
  EXPECT_EQ(list.ItemIndex(), 1);  // fig is still the current item
  EXPECT_EQ(list.Items()->Add(u"banana"), 1);
  EXPECT_THROW(list.Items()->Insert(0, u"zzz"), EStringListError);
  EXPECT_THROW(list.Items()->Move(0, 3), EStringListError);
  EXPECT_EQ(list.Items()->Count(), 4);
}

TEST(ComboBoxTest, ItemIndexBoundsAndTextKeptWhileItemsChange) {
  TComboBox combo;
  Counter changes;
  changes.Attach(combo.OnChange);
  combo.SetText(u"typed");
  combo.Items()->Add(u"one");  // Qt would make the first item current
  EXPECT_EQ(combo.ItemIndex(), -1);
  EXPECT_EQ(combo.Text(), u"typed");
  combo.Items()->Add(u"two");
  combo.SetItemIndex(1);
  EXPECT_EQ(combo.Text(), u"two");
  EXPECT_THROW(combo.SetItemIndex(2), EListError);
  EXPECT_THROW(combo.SetItemIndex(-2), EListError);
  combo.Items()->Delete(1);
  EXPECT_EQ(combo.ItemIndex(), -1);
  EXPECT_EQ(changes.count, 0);  // none of this was the user's

  combo.SetStyle(csDropDownList);
  combo.SetText(u"ONE");
  EXPECT_EQ(combo.ItemIndex(), 0);
  combo.SetText(u"none such");
  EXPECT_EQ(combo.ItemIndex(), -1);
}

TEST(ComboBoxTest, UserChoiceFiresOnClickThenOnChangeAndTypingOnChange) {
  TForm form;
  TComboBox combo;
  combo.SetParent(&form);
  combo.Items()->SetCommaText(u"a,b,c");
  std::vector<char> fired;
  combo.OnClick.Code = [&](TEventArgs&) { fired.push_back('k'); };
  combo.OnChange.Code = [&](TEventArgs&) { fired.push_back('c'); };
  form.Show();
  auto* widget = static_cast<QComboBox*>(combo.Widget());
  QTest::keyClicks(widget->lineEdit(), "x");
  combo.SetStyle(csDropDownList);
  QTest::keyClick(widget, Qt::Key_Down);
  EXPECT_EQ(combo.Text(), u"a");
  EXPECT_EQ(fired, (std::vector<char>{'c', 'k', 'c'}));
}

TEST(ListBoxTest, SelectionWithAndWithoutMultiSelect) {
  TListBox list;
  list.Items()->SetCommaText(u"a,b,c,d");
  list.SetSelected(2, true);
  EXPECT_EQ(list.ItemIndex(), 2);
  list.SetSelected(1, true);  // one at a time
  EXPECT_EQ(list.SelCount(), 1);
  list.SetSelected(1, false);
  EXPECT_EQ(list.ItemIndex(), -1);

  list.SetMultiSelect(true);
  list.SetSelected(0, true);
  list.SetSelected(3, true);
  EXPECT_EQ(list.SelCount(), 2);
  EXPECT_TRUE(list.Selected(3));
  EXPECT_FALSE(list.Selected(1));
  EXPECT_THROW(list.Selected(4), EListError);
  EXPECT_THROW(list.SetSelected(-1, true), EListError);
  list.Items()->Delete(0);
  EXPECT_EQ(list.SelCount(), 1);
  EXPECT_TRUE(list.Selected(2));
}

TEST(ListBoxTest, UserClickFiresOnClickAndScriptChangesDoNot) {
  TForm form;
  TListBox list;
  list.SetParent(&form);
  list.Items()->SetCommaText(u"a,b,c");
  Counter clicks;
  clicks.Attach(list.OnClick);
  form.Show();
  list.SetItemIndex(0);
  EXPECT_EQ(clicks.count, 0);
  auto* widget = static_cast<QListWidget*>(list.Widget());
  const QRect row = widget->visualItemRect(widget->item(1));
  QTest::mouseClick(widget->viewport(), Qt::LeftButton, {}, row.center());
  EXPECT_EQ(list.ItemIndex(), 1);
  EXPECT_EQ(clicks.count, 1);
}

TEST(RadioButtonTest, ButtonsExcludeEachOtherPerParent) {
  TForm form;
  TGroupBox left, right;
  left.SetParent(&form);
  right.SetParent(&form);
  TRadioButton a, b, c;
  a.SetParent(&left);
  b.SetParent(&left);
  c.SetParent(&right);
  Counter clicksOfB;
  clicksOfB.Attach(b.OnClick);
  form.Show();

  a.SetChecked(true);
  c.SetChecked(true);  // another parent: a stays checked
  EXPECT_TRUE(a.Checked());
  b.SetChecked(true);
  EXPECT_FALSE(a.Checked());
  EXPECT_TRUE(c.Checked());
  EXPECT_EQ(clicksOfB.count, 1);
  b.SetChecked(false);
  EXPECT_FALSE(b.Checked());
  EXPECT_EQ(clicksOfB.count, 1);  // unchecking is no click

  ClickMark(a);
  ClickMark(a);  // a checked radio button stays checked
  EXPECT_TRUE(a.Checked());
  b.SetChecked(true);
  ClickMark(a);
  EXPECT_FALSE(b.Checked());
  EXPECT_TRUE(c.Checked());
}

TEST(CheckBoxTest, OnClickFollowsStateChangesOfScriptAndUser) {
  TForm form;
  TCheckBox box;
  box.SetParent(&form);
  form.Show();
  Counter clicks;
  clicks.Attach(box.OnClick);
  box.SetChecked(true);
  box.SetChecked(true);
  EXPECT_EQ(clicks.count, 1);
  box.SetState(cbGrayed);  // allowed to the script without AllowGrayed
  EXPECT_EQ(clicks.count, 2);
  EXPECT_THROW(box.SetState(static_cast<TCheckBoxState>(3)), ERangeError);

  box.SetState(cbUnchecked);
  box.SetAllowGrayed(true);
  std::vector<TCheckBoxState> seen;
  for (int i = 0; i < 3; ++i) {
    ClickMark(box);
    seen.push_back(box.State());
  }
  EXPECT_EQ(seen, (std::vector<TCheckBoxState>{cbChecked, cbGrayed, cbUnchecked}));
  EXPECT_EQ(clicks.count, 6);

  // The script's change reaches the handler unguarded: its error comes back to the script.
  box.OnClick.Code = [](TEventArgs&) { throw EAbort(u"Operation aborted"); };
  EXPECT_THROW(box.SetChecked(true), EAbort);
}

TEST(EditTest, MaxLengthPasswordCharAndCharCase) {
  TForm form;
  TEdit edit;
  edit.SetParent(&form);
  form.Show();
  auto* line = static_cast<QLineEdit*>(edit.Widget());
  Counter changes;
  changes.Attach(edit.OnChange);

  edit.SetMaxLength(3);
  QTest::keyClicks(line, "abcdef");
  EXPECT_EQ(edit.Text(), u"abc");
  EXPECT_TRUE(edit.Modified());
  EXPECT_EQ(changes.count, 3);
  EXPECT_THROW(edit.SetMaxLength(-1), ERangeError);
  edit.SetMaxLength(0);

  edit.SetCharCase(ecUpperCase);  // converts what is there
  EXPECT_EQ(edit.Text(), u"ABC");
  QTest::keyClicks(line, "d");
  Type(line, QString::fromUtf8("ж"));
  EXPECT_EQ(edit.Text(), u"ABCDЖ");
  edit.SetCharCase(ecLowerCase);
  edit.SetText(u"MiXeD");
  EXPECT_EQ(edit.Text(), u"mixed");
  EXPECT_FALSE(edit.Modified());
  EXPECT_THROW(edit.SetCharCase(static_cast<TEditCharCase>(3)), ERangeError);

  edit.SetPasswordChar(u'*');
  EXPECT_EQ(line->echoMode(), QLineEdit::Password);
  EXPECT_EQ(line->displayText().size(), 5);
  EXPECT_NE(line->displayText(), "mixed");
  edit.SetPasswordChar(0);
  EXPECT_EQ(line->displayText(), "mixed");

  edit.SetSelStart(1);
  edit.SetSelLength(99);
  EXPECT_EQ(edit.SelText(), u"ixed");
  edit.SetSelText(u"OON");
  EXPECT_EQ(edit.Text(), u"moon");
}

TEST(MemoTest, LinesAndTextAgreeOnLineBreaks) {
  TMemo memo;
  Counter changes;
  changes.Attach(memo.OnChange);
  TStrings& lines = *memo.Lines();
  EXPECT_EQ(lines.Count(), 0);
  memo.SetText(u"one\r\ntwo\rthree\n");
  EXPECT_EQ(lines.Count(), 3);  // the empty line after the last break is no line
  EXPECT_EQ(lines.Get(2), u"three");
  EXPECT_EQ(memo.Text(), u"one\ntwo\nthree\n");
  lines.Add(u"four");
  EXPECT_EQ(memo.Text(), u"one\ntwo\nthree\nfour\n");
  lines.Delete(0);
  lines.Put(0, u"2");
  lines.Insert(1, u"2.5");
  EXPECT_EQ(lines.CommaText(), u"2,2.5,three,four");

  memo.SetText(u"a");  // a last line without a break
  lines.Add(u"b");
  EXPECT_EQ(memo.Text(), u"a\nb");
  lines.Delete(1);
  EXPECT_EQ(memo.Text(), u"a");
  EXPECT_THROW(lines.Delete(1), EListError);
  lines.Clear();
  EXPECT_EQ(memo.Text(), u"");
  EXPECT_EQ(changes.count, 9);  // each change of the script's, once
}

TEST(MemoTest, MaxLengthLimitsTypingNotTheScript) {
  TForm form;
  TMemo memo;
  memo.SetParent(&form);
  form.Show();
  memo.SetText(u"12345");
  memo.SetMaxLength(6);
  auto* editor = static_cast<QPlainTextEdit*>(memo.Widget());
  editor->moveCursor(QTextCursor::End);
  QTest::keyClicks(editor, "abc");
  EXPECT_EQ(memo.Text(), u"12345a");
}

TEST(MemoTest, EnterBreaksTheLineOnlyWhenTheMemoWantsIt) {
  TForm form;
  TMemo memo;
  memo.SetParent(&form);
  TButton ok;
  ok.SetParent(&form);
  ok.SetDefault(true);
  int clicks = 0;
  ok.OnClick.Code = [&](TEventArgs&) { ++clicks; };
  form.Show();
  memo.SetFocus();
  auto* editor = static_cast<QPlainTextEdit*>(memo.Widget());
  QTest::keyClick(editor, Qt::Key_Return, Qt::ShiftModifier);  // no soft break inside a line
  EXPECT_EQ(memo.Lines()->Count(), 1);
  memo.SetWantReturns(false);
  QTest::keyClick(editor, Qt::Key_Return);
  EXPECT_EQ(clicks, 1);
  QTest::keyClick(editor, Qt::Key_Return, Qt::ControlModifier);
  EXPECT_EQ(memo.Text(), u"\n\n");
  EXPECT_EQ(clicks, 1);
}

TEST(ButtonTest, ClickHandsModalResultToTheParentFormBeforeOnClick) {
  TForm form;
  TGroupBox box;
  box.SetParent(&form);
  TButton ok;
  ok.SetParent(&box);
  ok.SetModalResult(mrOk);
  int32_t seenByHandler = -1;
  ok.OnClick.Code = [&](TEventArgs&) { seenByHandler = form.ModalResult(); };
  form.Show();
  QTest::mouseClick(ok.Widget(), Qt::LeftButton);
  EXPECT_EQ(seenByHandler, mrOk);
  EXPECT_EQ(form.ModalResult(), mrOk);

  ok.SetDefault(true);
  EXPECT_TRUE(ok.ClicksOnDialogKey(13));
  EXPECT_FALSE(ok.ClicksOnDialogKey(27));
}

}  // namespace
}  // namespace kv
