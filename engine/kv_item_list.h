// The owning list every program object derives from.
#pragma once

#include "host/core/pointer_list.h"

namespace kv {

// An ordered list of owned children (a child may be nullptr, as a mark). Clear frees them
// first to last. Most program objects (expression nodes, designators, expressions) never
// have a child, so the children live in a PointerList, which is empty without a block.
class TkvItemList {
 public:
  TkvItemList() = default;
  TkvItemList(const TkvItemList&) = delete;
  TkvItemList& operator=(const TkvItemList&) = delete;
  virtual ~TkvItemList();

  virtual void Clear();
  int ItemCount() const { return static_cast<int>(items_.size()); }
  int AddItem(TkvItemList* item);      // takes ownership; returns the index
  void RemoveItem(TkvItemList* item);  // gives ownership back to the caller
  TkvItemList* ItemAt(int index) const { return items_[static_cast<size_t>(index)]; }

 protected:
  void InsertItem(int index, TkvItemList* item);  // takes ownership
  void SwapItems(TkvItemList& other) { items_.swap(other.items_); }

 private:
  PointerList<TkvItemList> items_;  // owned
};

}  // namespace kv
