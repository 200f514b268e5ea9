// The owning list every program object derives from.
#pragma once

#include <vector>

namespace kv {

// An ordered list of owned children. Clear frees them first to last.
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
  TkvItemList* ItemAt(int index) const { return items_[index]; }

 protected:
  std::vector<TkvItemList*> items_;
};

}  // namespace kv
