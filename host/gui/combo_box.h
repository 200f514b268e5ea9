// TCustomComboBox and TComboBox: a text box with a drop-down list of items.
#pragma once

#include <memory>

#include "host/core/strings.h"
#include "host/gui/control_enums.h"
#include "host/gui/win_control.h"

class QComboBox;

namespace kv {

class TComboBoxStrings;

// Published: Items (TStrings), Text, Style (TComboBoxStyle), Sorted, DropDownCount,
// MaxLength; event OnChange (TNotifyEvent). ItemIndex and DroppedDown are public, as in
// the host: the forms binding registers them.
//
// csDropDown and csSimple let the user type; csDropDownList and the owner-drawn styles only
// choose among the items. csSimple drops its list down like csDropDown, and the owner-drawn
// styles draw their items as text. The user's choice of an item fires OnClick, then OnChange;
// typing fires OnChange. What the script does fires neither.
class TCustomComboBox : public TWinControl {
  KV_CLASS(TCustomComboBox, TWinControl)

 public:
  explicit TCustomComboBox(TComponent* owner = nullptr);
  ~TCustomComboBox() override;

  TStrings* Items() const;
  void SetItems(TStrings* items);  // copies
  // -1 for none; anything else outside the items raises EListError.
  int ItemIndex() const;
  void SetItemIndex(int index);
  UString Text() const override;
  // Choosing styles select the item of that text (none when no item has it).
  void SetText(const UString& text) override;
  TComboBoxStyle Style() const { return style_; }
  void SetStyle(TComboBoxStyle style);
  bool Sorted() const;
  void SetSorted(bool sorted);
  // How many items the open list shows before it scrolls.
  int DropDownCount() const;
  void SetDropDownCount(int count);
  // The most characters the user can type in; 0 is no limit.
  int MaxLength() const { return maxLength_; }
  void SetMaxLength(int maxLength);
  bool DroppedDown() const;
  void SetDroppedDown(bool dropped);

  TMethod OnChange;

 protected:
  bool ClicksBySignal() const override { return true; }
  int ColorRole() const override;

 private:
  QComboBox* Combo() const;
  bool Editable() const;
  // The line edit of an editable style is new each time the style becomes editable.
  void PrepareLineEdit();
  void UserChoseItem();

  std::unique_ptr<TComboBoxStrings> items_;
  TComboBoxStyle style_ = csDropDown;
  int maxLength_ = 0;
};

class TComboBox : public TCustomComboBox {
  KV_CLASS(TComboBox, TCustomComboBox)

 public:
  explicit TComboBox(TComponent* owner = nullptr) : TCustomComboBox(owner) {}
};

}  // namespace kv
