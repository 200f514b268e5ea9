// The owning list and the plain items: variables, string variables and parameters.
#include <algorithm>
#include <cstddef>

#include "engine/kv_designators.h"
#include "engine/kv_fast_paths.h"
#include "engine/kv_iexpression.h"

namespace kv {

// --- TkvItemList ---------------------------------------------------------------------------

TkvItemList::~TkvItemList() { TkvItemList::Clear(); }

// Children leave the list before any of them is freed, so a destructor that looks at this
// list (or frees more items) sees a consistent one.
void TkvItemList::Clear() {
  PointerList<TkvItemList> children;
  children.swap(items_);
  for (TkvItemList* child : children) delete child;
}

int TkvItemList::AddItem(TkvItemList* item) {
  const int index = ItemCount();
  InsertItem(index, item);
  return index;
}

void TkvItemList::InsertItem(int index, TkvItemList* item) {
  try {
    items_.insert(static_cast<size_t>(index), item);
  } catch (...) {
    delete item;  // it was given to the list
    throw;
  }
}

void TkvItemList::RemoveItem(TkvItemList* item) {
  const ptrdiff_t index = items_.find_last(item);
  if (index >= 0) items_.erase(static_cast<size_t>(index));  // the caller owns it again
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
