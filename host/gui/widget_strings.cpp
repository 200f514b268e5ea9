#include "host/gui/widget_strings.h"

#include <algorithm>
#include <numeric>
#include <vector>

#include "host/core/class_builder.h"
#include "host/core/exceptions.h"
#include "host/gui/control.h"

namespace kv {

KV_DEFINE_CLASS(TWidgetStrings, TStrings) {}

const TObject* TWidgetStrings::Keeper() const { return &control_; }

KV_DEFINE_CLASS(TItemStrings, TWidgetStrings) {}

void TItemStrings::CheckNotSorted() const {
  if (sorted_) throw EStringListError(u"Operation not allowed on sorted list");
}

UString TItemStrings::Get(int index) const {
  CheckIndex(index, RowCount());
  return RowText(index);
}

int32_t TItemStrings::GetObject(int index) const {
  CheckIndex(index, RowCount());
  return RowObject(index);
}

void TItemStrings::Put(int index, const UString& s) {
  CheckNotSorted();
  CheckIndex(index, RowCount());
  SetRowText(index, s);
}

void TItemStrings::PutObject(int index, int32_t object) {
  CheckIndex(index, RowCount());
  SetRowObject(index, object);
}

int TItemStrings::AddObject(const UString& s, int32_t object) {
  const int index = sorted_ ? SortedPlace(s) : RowCount();
  InsertRow(index, s, object);
  return index;
}

void TItemStrings::InsertObject(int index, const UString& s, int32_t object) {
  CheckNotSorted();
  CheckIndex(index, RowCount() + 1);
  InsertRow(index, s, object);
}

void TItemStrings::Delete(int index) {
  CheckIndex(index, RowCount());
  RemoveRow(index);
}

void TItemStrings::Clear() { RemoveAllRows(); }

void TItemStrings::Exchange(int index1, int index2) {
  CheckNotSorted();
  TStrings::Exchange(index1, index2);
}

void TItemStrings::Move(int curIndex, int newIndex) {
  CheckNotSorted();
  TStrings::Move(curIndex, newIndex);
}

void TItemStrings::ReplaceLine(int index, const UString& s) {
  if (!sorted_) {
    SetRowText(index, s);
    return;
  }
  const int32_t object = RowObject(index);
  RemoveRow(index);
  InsertRow(SortedPlace(s), s, object);
}

int TItemStrings::SortedPlace(UStringView s) const {
  int low = 0, high = RowCount();
  while (low < high) {
    const int middle = low + (high - low) / 2;
    if (CompareStrings(RowText(middle), s) <= 0) {
      low = middle + 1;
    } else {
      high = middle;
    }
  }
  return low;
}

void TItemStrings::SetSorted(bool sorted) {
  if (sorted && !sorted_) SortRows();
  sorted_ = sorted;
}

void TItemStrings::SortRows() {
  struct Row {
    UString text;
    int32_t object;
  };
  const int count = RowCount();
  std::vector<Row> rows;
  rows.reserve(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) rows.push_back({RowText(i), RowObject(i)});
  std::vector<int> order(static_cast<size_t>(count));
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
    return CompareStrings(rows[static_cast<size_t>(a)].text, rows[static_cast<size_t>(b)].text) < 0;
  });
  const int current = CurrentRow();
  RemoveAllRows();
  for (int i = 0; i < count; ++i) {
    const Row& row = rows[static_cast<size_t>(order[static_cast<size_t>(i)])];
    InsertRow(i, row.text, row.object);
  }
  if (current >= 0)
    SetCurrentRow(static_cast<int>(std::find(order.begin(), order.end(), current) - order.begin()));
}

}  // namespace kv
