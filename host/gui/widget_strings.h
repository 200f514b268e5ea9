// The live lists of the standard controls: a list box's or combo box's Items and a memo's
// Lines read and write the control's widget directly, so a script's change shows at once
// and a script reads what the user changed.
#pragma once

#include "host/core/strings.h"

namespace kv {

class TControl;

// A list that lives in a control: the control keeps it, so scripts may not free it.
class TWidgetStrings : public TStrings {
  KV_CLASS(TWidgetStrings, TStrings)

 public:
  explicit TWidgetStrings(TControl& control) : control_(control) {}
  const TObject* Keeper() const override;

 private:
  TControl& control_;
};

// The rows of an item view (a list box, a combo box): a text and a 32-bit object value
// each. A sorted list keeps its rows in CompareStrings order as a sorted TStringList does:
// Add puts a line in its place after its equals, and Insert, Put, Exchange and Move raise
// EStringListError "Operation not allowed on sorted list" before anything changes.
class TItemStrings : public TWidgetStrings {
  KV_CLASS(TItemStrings, TWidgetStrings)

 public:
  using TWidgetStrings::TWidgetStrings;

  int Count() const final { return RowCount(); }
  UString Get(int index) const final;
  int32_t GetObject(int index) const final;
  void Put(int index, const UString& s) final;
  void PutObject(int index, int32_t object) final;
  int AddObject(const UString& s, int32_t object) final;
  void InsertObject(int index, const UString& s, int32_t object) final;
  void Delete(int index) final;
  void Clear() final;
  void Exchange(int index1, int index2) final;
  void Move(int curIndex, int newIndex) final;

  bool Sorted() const { return sorted_; }
  // Setting it sorts the rows; the current row stays current.
  void SetSorted(bool sorted);

  // The control's current row (its ItemIndex), -1 for none.
  virtual int CurrentRow() const = 0;
  // Makes a row current without the control's change events; -1 makes none current.
  virtual void SetCurrentRow(int row) = 0;

 protected:
  void ReplaceLine(int index, const UString& s) override;

  // The widget's rows. Indexes are valid (InsertRow takes 0..RowCount). None of them fires
  // the control's events; deleting the current row leaves no row current.
  virtual int RowCount() const = 0;
  virtual UString RowText(int row) const = 0;
  virtual int32_t RowObject(int row) const = 0;
  virtual void SetRowText(int row, const UString& text) = 0;
  virtual void SetRowObject(int row, int32_t object) = 0;
  virtual void InsertRow(int row, const UString& text, int32_t object) = 0;
  virtual void RemoveRow(int row) = 0;
  virtual void RemoveAllRows() = 0;

 private:
  void CheckNotSorted() const;
  // Where a line goes in a sorted list: after the lines that order before or equal to it.
  int SortedPlace(UStringView s) const;
  void SortRows();

  bool sorted_ = false;
};

}  // namespace kv
