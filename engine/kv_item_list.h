// The owning list every program object derives from.
#pragma once

#include <memory>
#include <vector>

namespace kv {

// An ordered list of owned children (a child may be nullptr, as a mark). Clear frees them
// first to last.
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
  TkvItemList* ItemAt(int index) const { return items_[static_cast<size_t>(index)].get(); }

 protected:
  void InsertItem(int index, TkvItemList* item);  // takes ownership
  void SwapItems(TkvItemList& other) { items_.swap(other.items_); }

 private:
  std::vector<std::unique_ptr<TkvItemList>> items_;
};

}  // namespace kv
