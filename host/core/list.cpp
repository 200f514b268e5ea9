#include "host/core/list.h"

#include <algorithm>

#include "host/core/class_builder.h"
#include "host/core/exceptions.h"

namespace kv {

namespace {

[[noreturn]] void ListError(const char16_t* what, int value) {
  throw EListError(UString(u"List ") + what + u" out of bounds (" + IntToUStr(value) + u")");
}

}  // namespace

KV_DEFINE_CLASS(TList, TObject) { c.Constructor(); }

void TList::CheckIndex(int index, int count) const {
  if (index < 0 || index >= count) ListError(u"index", index);
}

void TList::Grow() {
  if (Count() < capacity_) return;
  // The host's growth: by a quarter for large lists, in steps of 16 or 4 for small ones.
  const int delta = capacity_ > 64 ? capacity_ / 4 : (capacity_ > 8 ? 16 : 4);
  SetCapacity(std::min(capacity_ + delta, kMaxListSize));
}

void TList::SetCount(int count) {
  if (count < 0 || count > kMaxListSize) ListError(u"count", count);
  if (count > capacity_) SetCapacity(count);
  items_.resize(static_cast<size_t>(count), 0);
}

void TList::SetCapacity(int capacity) {
  if (capacity < Count() || capacity > kMaxListSize) ListError(u"capacity", capacity);
  items_.reserve(static_cast<size_t>(capacity));
  capacity_ = capacity;
}

int32_t TList::Items(int index) const {
  CheckIndex(index, Count());
  return items_[static_cast<size_t>(index)];
}

void TList::SetItems(int index, int32_t item) {
  CheckIndex(index, Count());
  items_[static_cast<size_t>(index)] = item;
}

int TList::Add(int32_t item) {
  const int index = Count();
  Insert(index, item);
  return index;
}

void TList::Insert(int index, int32_t item) {
  CheckIndex(index, Count() + 1);
  if (Count() == kMaxListSize) ListError(u"count", kMaxListSize + 1);
  Grow();
  items_.insert(items_.begin() + index, item);
}

void TList::Delete(int index) {
  CheckIndex(index, Count());
  items_.erase(items_.begin() + index);
}

void TList::Clear() {
  items_.clear();
  items_.shrink_to_fit();
  capacity_ = 0;
}

void TList::Exchange(int index1, int index2) {
  CheckIndex(index1, Count());
  CheckIndex(index2, Count());
  std::swap(items_[static_cast<size_t>(index1)], items_[static_cast<size_t>(index2)]);
}

void TList::Move(int curIndex, int newIndex) {
  CheckIndex(curIndex, Count());
  CheckIndex(newIndex, Count());
  const auto from = items_.begin() + curIndex;
  const auto to = items_.begin() + newIndex;
  if (curIndex < newIndex)
    std::rotate(from, from + 1, to + 1);
  else
    std::rotate(to, from, from + 1);
}

int TList::IndexOf(int32_t item) const {
  const auto it = std::find(items_.begin(), items_.end(), item);
  return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

int TList::Remove(int32_t item) {
  const int index = IndexOf(item);
  if (index >= 0) Delete(index);
  return index;
}

void TList::Pack() { std::erase(items_, 0); }

}  // namespace kv
