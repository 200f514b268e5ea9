// Linear probing; an erased entry is filled by moving later entries of its run back, so
// there are no tombstones and a lookup stops at the first free slot.
#include "host/core/handle_table.h"

#include <bit>
#include <utility>

namespace kv::handles {

// Fibonacci hashing spreads the consecutive handles objects are given over the table.
std::size_t HandleTable::SlotOf(int32_t handle) const noexcept {
  const uint64_t mixed = static_cast<uint64_t>(static_cast<uint32_t>(handle)) * 0x9E3779B97F4A7C15u;
  const int bits = std::countr_zero(slots_.size());
  return bits == 0 ? 0 : static_cast<std::size_t>(mixed >> (64 - bits));
}

void HandleTable::Grow() {
  std::vector<LiveEntry> old(slots_.empty() ? 16 : slots_.size() * 2);
  old.swap(slots_);
  for (const LiveEntry& entry : old) {
    if (entry.handle == 0) continue;
    std::size_t slot = SlotOf(entry.handle);
    while (slots_[slot].handle != 0) slot = Next(slot);
    slots_[slot] = entry;
  }
}

void HandleTable::Insert(int32_t handle, TObject* object) {
  if ((count_ + 1) * 4 > slots_.size() * 3) Grow();
  std::size_t slot = SlotOf(handle);
  while (slots_[slot].handle != 0) slot = Next(slot);
  slots_[slot] = LiveEntry{handle, false, object};
  ++count_;
}

LiveEntry* HandleTable::Find(int32_t handle) noexcept {
  if (slots_.empty() || handle == 0) return nullptr;
  for (std::size_t slot = SlotOf(handle);; slot = Next(slot)) {
    if (slots_[slot].handle == handle) return &slots_[slot];
    if (slots_[slot].handle == 0) return nullptr;
  }
}

void HandleTable::Erase(int32_t handle) noexcept {
  LiveEntry* found = Find(handle);
  if (!found) return;
  std::size_t hole = static_cast<std::size_t>(found - slots_.data());
  // An entry further along the run moves into the hole unless its own slot lies in the
  // stretch (hole, entry]: then a lookup for it would never pass the hole.
  for (std::size_t slot = Next(hole); slots_[slot].handle != 0; slot = Next(slot)) {
    const std::size_t home = SlotOf(slots_[slot].handle);
    const bool reachableWithoutHole =
        hole <= slot ? (hole < home && home <= slot) : (hole < home || home <= slot);
    if (reachableWithoutHole) continue;
    slots_[hole] = slots_[slot];
    hole = slot;
  }
  slots_[hole] = LiveEntry{};
  --count_;
}

}  // namespace kv::handles
