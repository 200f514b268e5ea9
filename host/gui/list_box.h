// TCustomListBox and TListBox: a list of items the user selects from, one at a time or
// several with MultiSelect.
#pragma once

#include <memory>

#include "host/core/strings.h"
#include "host/gui/control_enums.h"
#include "host/gui/win_control.h"

class QListWidget;

namespace kv {

class TListBoxStrings;
class TRowHeightDelegate;

// Published: Items (TStrings), MultiSelect, ExtendedSelect, Sorted, TopIndex, Columns,
// ItemHeight, IntegralHeight, Style (TListBoxStyle); ItemIndex, SelCount and Selected are
// public, and the forms binding registers them. OnClick fires when the user
// changes the selection, never for the script's changes.
//
// Columns, IntegralHeight and the owner-drawn styles are kept but change nothing: the items
// are drawn as text in one column.
class TCustomListBox : public TWinControl {
  KV_CLASS(TCustomListBox, TWinControl)

 public:
  explicit TCustomListBox(TComponent* owner = nullptr);
  ~TCustomListBox() override;

  TStrings* Items() const;
  void SetItems(TStrings* items);  // copies
  // The selected item (-1 for none); with MultiSelect the focused one, whether selected or
  // not. Setting it outside -1..Count-1 raises EListError; with MultiSelect it moves the
  // focus and leaves the selection alone.
  int ItemIndex() const;
  void SetItemIndex(int index);
  // A list box that becomes single-select again keeps no selection.
  bool MultiSelect() const { return multiSelect_; }
  void SetMultiSelect(bool multiSelect);
  // With MultiSelect: whether Shift and Ctrl extend the selection (true) or every click
  // toggles one item (false).
  bool ExtendedSelect() const { return extendedSelect_; }
  void SetExtendedSelect(bool extended);
  // The number of selected items (0 or 1 without MultiSelect).
  int SelCount() const;
  // Raise EListError outside 0..Count-1. Without MultiSelect, selecting an item makes it
  // ItemIndex.
  bool Selected(int index) const;
  void SetSelected(int index, bool selected);
  bool Sorted() const;
  void SetSorted(bool sorted);
  // The first visible item; setting it scrolls (an index outside the items is ignored).
  int TopIndex() const;
  void SetTopIndex(int index);
  int Columns() const { return columns_; }
  void SetColumns(int columns);
  // The height of a row in pixels; 0 goes back to the font's.
  int ItemHeight() const;
  void SetItemHeight(int height);
  bool IntegralHeight() const { return integralHeight_; }
  void SetIntegralHeight(bool integral) { integralHeight_ = integral; }
  TListBoxStyle Style() const { return style_; }
  void SetStyle(TListBoxStyle style);

 protected:
  bool ClicksBySignal() const override { return true; }
  int ColorRole() const override;

 private:
  friend class TListBoxStrings;
  QListWidget* List() const;
  void CheckItemIndex(int index) const;
  void ApplySelectionMode();

  std::unique_ptr<TListBoxStrings> items_;
  TRowHeightDelegate* rowHeight_;  // owned by the widget
  bool multiSelect_ = false;
  bool extendedSelect_ = true;
  int columns_ = 0;
  bool integralHeight_ = false;
  TListBoxStyle style_ = lbStandard;
};

class TListBox : public TCustomListBox {
  KV_CLASS(TListBox, TCustomListBox)

 public:
  explicit TListBox(TComponent* owner = nullptr) : TCustomListBox(owner) {}
};

}  // namespace kv
