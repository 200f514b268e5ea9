// A list of pointers in one block of its own, {count, capacity, pointers}, that holds no
// block while it is empty: an object with such a list costs 8 bytes where a vector costs 24.
// Program objects and XML items are made by the million and most of them have no children.
// The list does not own what its pointers point to.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <new>
#include <span>
#include <stdexcept>
#include <utility>

namespace kv {

template <class T>
class PointerList {
 public:
  PointerList() = default;
  PointerList(const PointerList&) = delete;
  PointerList& operator=(const PointerList&) = delete;
  PointerList(PointerList&& other) noexcept : block_(std::exchange(other.block_, nullptr)) {}
  PointerList& operator=(PointerList&& other) noexcept {
    std::swap(block_, other.block_);
    return *this;
  }
  ~PointerList() { ::operator delete(block_); }

  size_t size() const { return block_ != nullptr ? block_->count : 0; }
  bool empty() const { return size() == 0; }
  T* operator[](size_t index) const { return Items()[index]; }
  T* back() const { return Items()[block_->count - 1]; }
  T* const* begin() const { return block_ != nullptr ? Items() : nullptr; }
  T* const* end() const { return begin() + size(); }
  operator std::span<T* const>() const { return {begin(), size()}; }  // NOLINT

  void reserve(size_t capacity) {
    if (capacity > size_t{UINT32_MAX} / 2) throw std::length_error("list too long");
    if (capacity > (block_ != nullptr ? block_->capacity : 0)) Grow(capacity);
  }
  // One entry is the common case; lists that grow double their room.
  void insert(size_t index, T* item) {
    const size_t count = size();
    if (block_ == nullptr || count == block_->capacity) reserve(count == 0 ? 1 : count * 2);
    T** at = Items() + index;
    std::copy_backward(at, Items() + count, Items() + count + 1);
    *at = item;
    block_->count = static_cast<uint32_t>(count + 1);
  }
  void push_back(T* item) { insert(size(), item); }
  void erase(size_t index) {
    T** at = Items() + index;
    std::copy(at + 1, Items() + block_->count, at);
    --block_->count;
  }
  void pop_back() { --block_->count; }
  // The index of the first or the last entry equal to item, or -1.
  ptrdiff_t find_first(const T* item) const {
    for (size_t i = 0; i < size(); ++i)
      if (Items()[i] == item) return static_cast<ptrdiff_t>(i);
    return -1;
  }
  ptrdiff_t find_last(const T* item) const {
    for (size_t i = size(); i-- > 0;)
      if (Items()[i] == item) return static_cast<ptrdiff_t>(i);
    return -1;
  }
  // Empties the list and gives its block back.
  void release_all() { ::operator delete(std::exchange(block_, nullptr)); }
  void swap(PointerList& other) noexcept { std::swap(block_, other.block_); }

 private:
  // The block: this header, then `capacity` pointers.
  struct Block {
    uint32_t count;
    uint32_t capacity;
  };
  static_assert(sizeof(Block) % alignof(T*) == 0);
  static T** ItemsOf(Block* block) { return reinterpret_cast<T**>(block + 1); }
  T** Items() const { return ItemsOf(block_); }
  void Grow(size_t capacity) {
    auto* grown = static_cast<Block*>(::operator new(sizeof(Block) + sizeof(T*) * capacity));
    grown->count = 0;
    grown->capacity = static_cast<uint32_t>(capacity);
    if (block_ != nullptr) {
      grown->count = block_->count;
      std::copy_n(Items(), block_->count, ItemsOf(grown));
      ::operator delete(block_);
    }
    block_ = grown;
  }
  Block* block_ = nullptr;
};

}  // namespace kv
