// TList, the host's list of pointer-sized values. Our lists hold 32-bit integers: normally
// object handles (0 for nil), but any number a script stores comes back unchanged, as it
// would through a cast. A list never owns or frees the objects it names; ItemAt<T> turns a
// value back into an object with the usual handle checks.
#pragma once

#include <cstdint>
#include <vector>

#include "host/core/handles.h"
#include "host/core/object.h"

namespace kv {

class TList : public TObject {
  KV_CLASS(TList, TObject)

 public:
  // The most items a list holds, as the host allows; also the largest capacity.
  static constexpr int kMaxListSize = 134217727;

  TList() = default;

  int Count() const { return static_cast<int>(items_.size()); }
  // Grows with zeros or drops the last items. Raises EListError "List count out of bounds
  // (N)" outside 0..kMaxListSize.
  void SetCount(int count);
  int Capacity() const { return capacity_; }
  // Raises EListError "List capacity out of bounds (N)" below Count or above kMaxListSize.
  void SetCapacity(int capacity);

  // Every index argument outside the items raises EListError "List index out of bounds (N)"
  // before anything changes (Insert accepts 0..Count, Move and Exchange check both indexes).
  int32_t Items(int index) const;
  void SetItems(int index, int32_t item);
  template <class T>
  T* ItemAt(int index) const {
    return HandleToOrNil<T>(Items(index));
  }

  int Add(int32_t item);  // returns the new item's index
  void Insert(int index, int32_t item);
  void Delete(int index);
  void Clear();
  void Exchange(int index1, int index2);
  // Takes the item at `curIndex` out and puts it back at `newIndex`.
  void Move(int curIndex, int newIndex);

  int IndexOf(int32_t item) const;  // the first position of the item, or -1
  // Deletes the first occurrence; returns the index it had, or -1 when the item is absent.
  int Remove(int32_t item);
  // First and Last raise the index error on an empty list.
  int32_t First() const { return Items(0); }
  int32_t Last() const { return Items(Count() - 1); }
  // Deletes every 0 item.
  void Pack();

 private:
  void CheckIndex(int index, int count) const;
  // Keeps capacity_ at least Count, growing it the way the host does when an item is added.
  void Grow();

  std::vector<int32_t> items_;
  // The capacity as scripts see it; the vector's own capacity is an implementation detail.
  int capacity_ = 0;
};

}  // namespace kv
