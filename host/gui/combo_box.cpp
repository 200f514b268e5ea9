#include "host/gui/combo_box.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalBlocker>
#include <limits>

#include "host/core/class_builder.h"
#include "host/core/exceptions.h"
#include "host/gui/qt_text.h"
#include "host/gui/widget_strings.h"

namespace kv {

namespace {

// Qt's own limit would cut texts a script sets beyond 32767 characters.
constexpr int kNoLimit = std::numeric_limits<int>::max();

// Keeps what the user typed in an editable combo box while its rows change: Qt makes the
// first item added to an empty box current and a neighbour current when the current one
// goes, and rewrites the text each time.
class TKeptText {
 public:
  explicit TKeptText(QComboBox* combo)
      : combo_(combo), quiet_(combo), text_(combo->currentText()) {}
  void NoneCurrent() {
    combo_->setCurrentIndex(-1);
    if (combo_->isEditable()) combo_->setEditText(text_);
  }

 private:
  QComboBox* combo_;
  QSignalBlocker quiet_;
  QString text_;
};

}  // namespace

// ---------------------------------------------------------------------------------------
// TComboBoxStrings: the combo box's items, each with its object in the item's user data.

class TComboBoxStrings : public TItemStrings {
  KV_CLASS(TComboBoxStrings, TItemStrings)

 public:
  TComboBoxStrings(TCustomComboBox& control, QComboBox* combo)
      : TItemStrings(control), combo_(combo) {}

  int CurrentRow() const override { return combo_->currentIndex(); }
  void SetCurrentRow(int row) override {
    const QSignalBlocker quiet(combo_);
    combo_->setCurrentIndex(row);
  }

 protected:
  int RowCount() const override { return combo_->count(); }
  UString RowText(int row) const override { return UStringOf(combo_->itemText(row)); }
  int32_t RowObject(int row) const override { return combo_->itemData(row).toInt(); }
  void SetRowText(int row, const UString& text) override {
    const QSignalBlocker quiet(combo_);
    combo_->setItemText(row, QStringOf(text));
  }
  void SetRowObject(int row, int32_t object) override {
    const QSignalBlocker quiet(combo_);
    combo_->setItemData(row, object);
  }
  void InsertRow(int row, const UString& text, int32_t object) override {
    TKeptText kept(combo_);
    const bool hadCurrent = combo_->currentIndex() >= 0;
    combo_->insertItem(row, QStringOf(text), object);
    if (!hadCurrent) kept.NoneCurrent();
  }
  void RemoveRow(int row) override {
    TKeptText kept(combo_);
    const bool wasCurrent = combo_->currentIndex() == row;
    combo_->removeItem(row);
    if (wasCurrent) kept.NoneCurrent();
  }
  void RemoveAllRows() override {
    const QSignalBlocker quiet(combo_);
    combo_->clear();
  }

 private:
  QComboBox* combo_;
};

KV_DEFINE_CLASS(TComboBoxStrings, TItemStrings) {}

// ---------------------------------------------------------------------------------------
// TCustomComboBox

KV_DEFINE_CLASS(TCustomComboBox, TWinControl) {
  c.Property("Items", &TCustomComboBox::Items, &TCustomComboBox::SetItems);
  c.Property("Text", &TCustomComboBox::Text, &TCustomComboBox::SetText);
  c.Property("Style", "TComboBoxStyle", &TCustomComboBox::Style, &TCustomComboBox::SetStyle);
  c.Property("Sorted", &TCustomComboBox::Sorted, &TCustomComboBox::SetSorted);
  c.Property("DropDownCount", &TCustomComboBox::DropDownCount, &TCustomComboBox::SetDropDownCount);
  c.Property("MaxLength", &TCustomComboBox::MaxLength, &TCustomComboBox::SetMaxLength);
  c.Event("OnChange", "TNotifyEvent", &TCustomComboBox::OnChange);
}

KV_DEFINE_CLASS(TComboBox, TCustomComboBox) { c.Constructor(); }

TCustomComboBox::TCustomComboBox(TComponent* owner) : TWinControl(owner) {
  auto* combo = new QComboBox();
  combo->setEditable(true);
  SetWidget(combo);
  SetFocusable(true);
  items_ = std::make_unique<TComboBoxStrings>(*this, combo);
  PrepareLineEdit();
  SetBounds(0, 0, 145, 21);
  // Script changes are made with the combo's signals blocked: this is the user's choice.
  Connect(combo, &QComboBox::currentIndexChanged, [this](int) { UserChoseItem(); });
}

TCustomComboBox::~TCustomComboBox() = default;

QComboBox* TCustomComboBox::Combo() const { return static_cast<QComboBox*>(Widget()); }

int TCustomComboBox::ColorRole() const { return QPalette::Base; }

bool TCustomComboBox::Editable() const { return style_ == csDropDown || style_ == csSimple; }

// Typed text is the edit's own; Qt would otherwise add it to the items on Enter.
void TCustomComboBox::PrepareLineEdit() {
  QLineEdit* edit = Combo()->lineEdit();
  if (!edit) return;
  Combo()->setInsertPolicy(QComboBox::NoInsert);
  edit->setMaxLength(maxLength_ == 0 ? kNoLimit : maxLength_);
  Watch(edit);
  Connect(edit, &QLineEdit::textEdited, [this](const QString&) { FireNotify(OnChange); });
}

void TCustomComboBox::UserChoseItem() {
  Click();
  if (Firing()) FireNotify(OnChange);
}

TStrings* TCustomComboBox::Items() const { return items_.get(); }
void TCustomComboBox::SetItems(TStrings* items) { items_->Assign(items); }

int TCustomComboBox::ItemIndex() const { return Combo()->currentIndex(); }

void TCustomComboBox::SetItemIndex(int index) {
  if (index < -1 || index >= Combo()->count())
    throw EListError(u"List index out of bounds (" + IntToUStr(index) + u")");
  items_->SetCurrentRow(index);
}

UString TCustomComboBox::Text() const { return UStringOf(Combo()->currentText()); }

void TCustomComboBox::SetText(const UString& text) {
  if (!Editable()) {
    SetItemIndex(items_->IndexOf(text));
    return;
  }
  const QSignalBlocker quiet(Combo());
  Combo()->setEditText(QStringOf(text));
}

void TCustomComboBox::SetStyle(TComboBoxStyle style) {
  style_ = CheckedElement(style, csOwnerDrawVariable, u"Style");
  if (Combo()->isEditable() == Editable()) return;
  const QSignalBlocker quiet(Combo());
  Combo()->setEditable(Editable());
  PrepareLineEdit();
}

bool TCustomComboBox::Sorted() const { return items_->Sorted(); }

// Sorting takes the rows out and back, which would lose what the user typed.
void TCustomComboBox::SetSorted(bool sorted) {
  const UString text = Text();
  items_->SetSorted(sorted);
  if (Editable()) SetText(text);
}

int TCustomComboBox::DropDownCount() const { return Combo()->maxVisibleItems(); }

void TCustomComboBox::SetDropDownCount(int count) {
  if (count < 1) throw ERangeError(u"DropDownCount must be at least 1 (" + IntToUStr(count) + u")");
  Combo()->setMaxVisibleItems(count);
}

void TCustomComboBox::SetMaxLength(int maxLength) {
  if (maxLength < 0)
    throw ERangeError(u"MaxLength must not be negative (" + IntToUStr(maxLength) + u")");
  maxLength_ = maxLength;
  if (QLineEdit* edit = Combo()->lineEdit())
    edit->setMaxLength(maxLength == 0 ? kNoLimit : maxLength);
}

bool TCustomComboBox::DroppedDown() const { return Combo()->view()->isVisible(); }

void TCustomComboBox::SetDroppedDown(bool dropped) {
  if (dropped == DroppedDown()) return;
  if (dropped) {
    Combo()->showPopup();
  } else {
    Combo()->hidePopup();
  }
}

}  // namespace kv
