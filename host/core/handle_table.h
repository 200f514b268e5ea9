// The map from handles to live objects behind handles.cpp. Every object of the process has
// an entry, so an entry is kept small: one slot of 16 bytes in an open-addressed table at
// most three quarters full (21 to 43 bytes per object), where a node-based map took about
// 56.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kv {

class TObject;

namespace handles {

struct LiveEntry {
  int32_t handle = 0;   // 0: a free slot
  bool hidden = false;  // out of scripts' reach (HideFromScripts)
  TObject* object = nullptr;
};

class HandleTable {
 public:
  // `handle` is above 0 and not in the table.
  void Insert(int32_t handle, TObject* object);
  // The entry of `handle`, or null. The pointer is valid until the next Insert or Erase.
  LiveEntry* Find(int32_t handle) noexcept;
  void Erase(int32_t handle) noexcept;
  std::size_t size() const noexcept { return count_; }

 private:
  std::size_t SlotOf(int32_t handle) const noexcept;
  std::size_t Next(std::size_t slot) const noexcept { return (slot + 1) & (slots_.size() - 1); }
  void Grow();

  std::vector<LiveEntry> slots_;  // a power of two in size, or empty
  std::size_t count_ = 0;
};

}  // namespace handles
}  // namespace kv
