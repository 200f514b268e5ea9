// The owning list every program object derives from.
#pragma once

#include <cstdint>
#include <utility>

namespace kv {

// An ordered list of owned children (a child may be nullptr, as a mark). Clear frees them
// first to last.
//
// The children live in one block of their own, {count, capacity, pointers}, and a list
// without children has none: most program objects (expression nodes, designators,
// expressions) never have a child, and a vector would add 16 bytes to each of them.
class TkvItemList {
 public:
  TkvItemList() = default;
  TkvItemList(const TkvItemList&) = delete;
  TkvItemList& operator=(const TkvItemList&) = delete;
  virtual ~TkvItemList();

  virtual void Clear();
  int ItemCount() const { return block_ != nullptr ? static_cast<int>(block_->count) : 0; }
  int AddItem(TkvItemList* item);      // takes ownership; returns the index
  void RemoveItem(TkvItemList* item);  // gives ownership back to the caller
  TkvItemList* ItemAt(int index) const { return block_->items[index]; }

 protected:
  void InsertItem(int index, TkvItemList* item);  // takes ownership
  void SwapItems(TkvItemList& other) { std::swap(block_, other.block_); }

 private:
  struct Block {
    uint32_t count;
    uint32_t capacity;
    TkvItemList* items[1];  // `capacity` entries: the block is allocated for them
  };
  void Reserve(uint32_t capacity);
  Block* block_ = nullptr;
};

}  // namespace kv
