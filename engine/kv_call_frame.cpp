// Call frames: the layout of a procedure's slots and the save stack of recursive calls.
#include "engine/kv_call_frame.h"

#include <algorithm>

#include "engine/kv_script.h"

namespace kv {

void TkvCallFrame::Rebuild(const TkvScript& local) {
  slots_.clear();
  inPlace_.clear();
  bool allInPlace = true;
  const int count = local.ItemCount();
  for (int i = 0; i < count; ++i) {
    TkvCustomVariable* item = local.ItemAt(i);
    if (!item->HasRole(irFrameSlot)) continue;
    slots_.push_back(item);
    allInPlace = allInPlace && item->HasRole(irValueInPlace);
    inPlace_.push_back(&item->Value);
  }
  if (!allInPlace) inPlace_.clear();
  inPlaceCount_ = inPlace_.size();
  laidOut_ = &local;
  version_ = local.ItemsVersion();
  liveVersion_ = &local.ItemsVersion();
}

// A string variable keeps its value in its own storage; every other slot in Value.
inline Variant TkvCallFrame::ValueOf(TkvCustomVariable& item) {
  return item.HasRole(irValueInPlace) ? item.Value : item.GetValue();
}

// A saved value goes back whatever ReadOnly says: it is the value the item had.
inline void TkvCallFrame::Put(TkvCustomVariable& item, Variant&& value) {
  if (item.HasRole(irValueInPlace))
    item.Value = std::move(value);
  else
    item.SetValue(value);
}

size_t TkvCallFrame::SaveSlow() {
  const size_t mark = top_;
  const size_t count = slots_.size();
  if (saved_.size() < mark + count) saved_.resize(std::max(2 * saved_.size(), mark + count));
  savedSize_ = saved_.size();
  Variant* out = saved_.data() + mark;
  if (!inPlace_.empty()) {
    Variant* const* values = inPlace_.data();
    for (size_t i = 0; i < count; ++i) out[i] = *values[i];
  } else {
    for (size_t i = 0; i < count; ++i) {
      TkvCustomVariable& item = *slots_[i];
      if (item.HasRole(irValueInPlace))
        out[i] = item.Value;
      else
        out[i] = item.GetValue();
    }
  }
  top_ = mark + count;
  return mark;
}

// The slots may have been laid out again during the call (a path compiled at its first use
// can add items); items are appended, so the saved values still belong to the first slots.
void TkvCallFrame::RestoreSlow(size_t mark) {
  size_t next = mark;
  for (TkvCustomVariable* item : slots_) {
    if (next >= top_) break;
    Put(*item, std::move(saved_[next++]));
  }
  for (; next < top_; ++next) saved_[next] = Variant();
  top_ = mark;
}

void TkvCallFrame::CopyValues(std::vector<Variant>& out) const {
  out.clear();
  for (TkvCustomVariable* item : slots_) out.push_back(ValueOf(*item));
}

void TkvCallFrame::AssignValues(const std::vector<Variant>& values) {
  size_t next = 0;
  for (TkvCustomVariable* item : slots_) {
    if (next >= values.size()) break;
    Put(*item, Variant(values[next++]));
  }
}

}  // namespace kv
