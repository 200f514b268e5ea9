#include "engine/kv_name_index.h"

#include "engine/kv_items.h"

namespace kv {

namespace {

TkvCustomVariable* FirstNamed(UStringView name, const TkvItemList& items,
                              const TkvCustomVariable* except = nullptr) {
  for (int i = 0; i < items.ItemCount(); ++i) {
    auto* item = static_cast<TkvCustomVariable*>(items.ItemAt(i));
    if (item != except && SameText(item->Name, name)) return item;
  }
  return nullptr;
}

}  // namespace

std::size_t TkvNameIndex::CaseBlindHash::operator()(UStringView name) const {
  // FNV-1a over the upper-cased code units.
  std::size_t hash = 14695981039346656037ull;
  for (char16_t c : name) {
    hash ^= UpCase(c);
    hash *= 1099511628211ull;
  }
  return hash;
}

bool TkvNameIndex::CaseBlindEqual::operator()(UStringView a, UStringView b) const {
  return SameText(a, b);
}

void TkvNameIndex::Added(TkvCustomVariable* item, const TkvItemList& items) {
  if (indexed_)
    first_.try_emplace(item->Name, item);
  else if (items.ItemCount() > kWalkLimit)
    Rebuild(items);
}

void TkvNameIndex::Removed(const TkvCustomVariable* item, const TkvItemList& items) {
  if (!indexed_) return;
  auto entry = first_.find(UStringView(item->Name));
  if (entry == first_.end() || entry->second != item) return;
  if (TkvCustomVariable* next = FirstNamed(item->Name, items, item))
    entry->second = next;
  else
    first_.erase(entry);
}

void TkvNameIndex::Rebuild(const TkvItemList& items) {
  Clear();
  if (items.ItemCount() <= kWalkLimit) return;
  indexed_ = true;
  first_.reserve(static_cast<std::size_t>(items.ItemCount()));
  for (int i = 0; i < items.ItemCount(); ++i) {
    auto* item = static_cast<TkvCustomVariable*>(items.ItemAt(i));
    first_.try_emplace(item->Name, item);
  }
}

void TkvNameIndex::Clear() {
  first_.clear();
  indexed_ = false;
}

TkvCustomVariable* TkvNameIndex::Find(UStringView name, const TkvItemList& items) const {
  if (!indexed_) return FirstNamed(name, items);
  auto found = first_.find(name);
  return found == first_.end() ? nullptr : found->second;
}

}  // namespace kv
