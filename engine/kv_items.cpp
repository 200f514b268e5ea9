// The owning list and the plain items: variables, string variables and parameters.
#include <algorithm>
#include <cstddef>
#include <new>
#include <stdexcept>

#include "engine/kv_designators.h"
#include "engine/kv_fast_paths.h"
#include "engine/kv_iexpression.h"

namespace kv {

// --- TkvItemList ---------------------------------------------------------------------------

TkvItemList::~TkvItemList() { TkvItemList::Clear(); }

// Children leave the list before any of them is freed, so a destructor that looks at this
// list (or frees more items) sees a consistent one.
void TkvItemList::Clear() {
  Block* children = std::exchange(block_, nullptr);
  if (children == nullptr) return;
  for (uint32_t i = 0; i < children->count; ++i) delete children->items[i];
  ::operator delete(children);
}

void TkvItemList::Reserve(uint32_t capacity) {
  const size_t bytes = offsetof(Block, items) + sizeof(TkvItemList*) * capacity;
  auto* grown = static_cast<Block*>(::operator new(bytes));
  grown->count = 0;
  grown->capacity = capacity;
  if (block_ != nullptr) {
    grown->count = block_->count;
    std::copy_n(block_->items, block_->count, grown->items);
    ::operator delete(block_);
  }
  block_ = grown;
}

int TkvItemList::AddItem(TkvItemList* item) {
  const int index = ItemCount();
  InsertItem(index, item);
  return index;
}

// One child is the common case (a step's argument, a statement's branch); lists that grow
// double their room.
void TkvItemList::InsertItem(int index, TkvItemList* item) {
  const uint32_t count = static_cast<uint32_t>(ItemCount());
  if (block_ == nullptr || count == block_->capacity) {
    try {
      if (count >= UINT32_MAX / 2) throw std::length_error("too many items in one list");
      Reserve(count == 0 ? 1 : count * 2);
    } catch (...) {
      delete item;  // it was given to the list
      throw;
    }
  }
  TkvItemList** at = block_->items + index;
  std::copy_backward(at, block_->items + count, block_->items + count + 1);
  *at = item;
  block_->count = count + 1;
}

void TkvItemList::RemoveItem(TkvItemList* item) {
  if (block_ == nullptr) return;
  TkvItemList** end = block_->items + block_->count;
  TkvItemList** at = std::find(block_->items, end, item);
  if (at == end) return;
  std::copy(at + 1, end, at);  // the caller owns it again
  --block_->count;
}

// --- TkvCustomVariable ---------------------------------------------------------------------

TkvCustomVariable::TkvCustomVariable(UString name, UString typeName, TkvValueKind kind)
    : Kind(kind), Name(std::move(name)), TypeName(std::move(typeName)) {}

void TkvCustomVariable::SetValue(const Variant& value) {
  if (!ReadOnly) Value = value;
}

Variant TkvCustomVariable::GetValue() { return Value; }

// Children of a callable item are its parameters, in order.
TkvParamItem* TkvCustomVariable::ParamAt(int index) const {
  if (index < 0 || index >= ItemCount()) return nullptr;
  return static_cast<TkvParamItem*>(ItemAt(index));
}

int TkvCustomVariable::RequiredParamCount() const {
  int count = 0;
  for (int i = 0; i < ItemCount(); ++i) {
    auto* param = dynamic_cast<TkvParamItem*>(ItemAt(i));
    if (param && !param->Optional) ++count;
  }
  return count;
}

bool HasPlainValue(const TkvCustomVariable* item) {
  return item != nullptr && item->HasRole(irValueInPlace);
}

TkvCustomVariable* PlainValueItem(TkvCustomVariable* item) {
  if (!FastPathsEnabled()) return nullptr;
  if (HasPlainValue(item)) return item;
  const auto* path = dynamic_cast<const TkvDesignator*>(item);
  if (path == nullptr || path->Deferred || path->StepCount() != 1) return nullptr;
  const TkvDesignatorItem* step = path->StepAt(0);
  if (step->ItemCount() != 0 || !HasPlainValue(step->Ref)) return nullptr;
  return step->Ref;
}

// --- TkvVariable ---------------------------------------------------------------------------

TkvVariable::TkvVariable(UString name, UString typeName, TkvValueKind kind)
    : TkvCustomVariable(std::move(name), std::move(typeName), kind) {
  Roles = irValueInPlace | irFrameSlot | irVariable;
}

// --- TkvstringVariable ---------------------------------------------------------------------

TkvstringVariable::TkvstringVariable(UString name, UString typeName, TkvValueKind kind)
    : TkvVariable(std::move(name), std::move(typeName), kind) {
  Roles = static_cast<uint8_t>((Roles & ~irValueInPlace) |
                               irStringVariable);  // the value lives in Storage
}

// A string value is shared, not copied: the storage and the Variant hold the same buffer.
void TkvstringVariable::SetValue(const Variant& value) {
  if (value.IsString())
    Storage = value.RawShared();
  else
    Storage = SharedString(value.ToString());
}

// An empty storage may have no buffer yet; the Variant then makes one, which the storage
// keeps, so that only the first read of a never-assigned variable allocates.
Variant TkvstringVariable::GetValue() {
  Variant value(Storage);
  if (Storage.Size() == 0) Storage = value.RawShared();
  return value;
}

// --- TkvParamItem --------------------------------------------------------------------------

TkvParamItem::TkvParamItem(UString name, UString typeName, TkvValueKind kind, TkvPassing passing,
                           TkvPresence presence)
    : TkvCustomVariable(std::move(name), std::move(typeName), kind),
      Optional(presence == TkvPresence::Optional),
      IsVar(passing == TkvPassing::ByVar) {
  Roles = irValueInPlace | irFrameSlot;
}

}  // namespace kv
