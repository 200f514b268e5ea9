// Event adapters and the list that owns them.
#include "engine/kv_events.h"

#include <algorithm>

#include "engine/kv_globals.h"
#include "engine/kv_iconst.h"
#include "host/core/exceptions.h"

namespace kv {

namespace {

uint64_t gNextSerial = 0;

// The routine stored into the object: finds the adapter again at every delivery, so a
// removed adapter leaves the event quiet, and writes back only when the handler ran and
// its adapter is still there.
void Deliver(uint64_t serial, TEventArgs& args) {
  TkvEventList* events = ExistingEventList();
  TkvCustomEvent* adapter = events ? events->FindBySerial(serial) : nullptr;
  if (!adapter || !adapter->CallHandler(args)) return;
  events = ExistingEventList();
  adapter = events ? events->FindBySerial(serial) : nullptr;
  if (adapter) adapter->WriteBack(args);
}

uint64_t SerialOf(const TkvItemList* item) {
  return static_cast<const TkvCustomEvent*>(item)->Serial;
}

}  // namespace

// --- TkvCustomEvent ------------------------------------------------------------------------

TkvCustomEvent::TkvCustomEvent(TObject* instance, TkvProcVariable* handler)
    : Handler(handler), Instance(instance), Serial(++gNextSerial) {}

TMethod TkvCustomEvent::GetMethod() {
  const uint64_t serial = Serial;
  return TMethod{[serial](TEventArgs& args) { Deliver(serial, args); }, this};
}

// Nothing of the adapter is used once the handler has been called: the handler may have
// removed it.
bool TkvCustomEvent::CallHandler(TEventArgs& args) {
  TkvProcVariable* handler = Handler;
  if (handler->Executing) return false;
  const int count = handler->ItemCount();
  if (static_cast<size_t>(count) > args.size())
    throw Exception(FormatMessage(msg::TooManyEventParams, handler->Name));
  for (int i = 0; i < count; ++i)
    handler->ParamAt(i)->SetValue(ArgRecordToVariant(args[static_cast<size_t>(i)]));
  handler->GetValue();
  return true;
}

void TkvCustomEvent::WriteBack(TEventArgs& args) {
  const int count = std::min(Handler->ItemCount(), static_cast<int>(args.size()));
  for (int i = 0; i < count; ++i) {
    TkvParamItem* param = Handler->ParamAt(i);
    if (param->IsVar) VariantToArgRecord(param->GetValue(), args[static_cast<size_t>(i)]);
  }
}

// --- TkvEventList --------------------------------------------------------------------------

// Invariant: adapters are ordered by serial, so look-up by serial is a binary search.
void TkvEventList::AddAdapter(TkvCustomEvent* adapter) {
  InsertItem(FirstIndexAbove(adapter->Serial), adapter);
}

// The index of the first adapter whose serial is above `serial` (ItemCount() if none).
int TkvEventList::FirstIndexAbove(uint64_t serial) const {
  int low = 0;
  int high = ItemCount();
  while (low < high) {
    const int middle = low + (high - low) / 2;
    if (SerialOf(ItemAt(middle)) <= serial) {
      low = middle + 1;
    } else {
      high = middle;
    }
  }
  return low;
}

TkvCustomEvent* TkvEventList::AdapterAt(int index) const {
  return static_cast<TkvCustomEvent*>(ItemAt(index));
}

TkvCustomEvent* TkvEventList::FindBySerial(uint64_t serial) const {
  const int after = FirstIndexAbove(serial);  // serials are unique: the match stands before
  if (after == 0 || SerialOf(ItemAt(after - 1)) != serial) return nullptr;
  return AdapterAt(after - 1);
}

TkvCustomEvent* TkvEventList::FindAdapterOfEvent(const TObject* instance,
                                                 UStringView eventName) const {
  for (int i = ItemCount() - 1; i >= 0; --i) {
    TkvCustomEvent* adapter = AdapterAt(i);
    if (adapter->Instance == instance && SameTextAscii(adapter->EventName, eventName))
      return adapter;
  }
  return nullptr;
}

namespace {

// From the last adapter to the first, so removals do not disturb the walk.
template <class Pred>
void RemoveAdaptersWhere(TkvEventList& list, Pred pred) {
  for (int i = list.ItemCount() - 1; i >= 0; --i) {
    if (i >= list.ItemCount()) continue;  // a destructor removed more than one
    TkvCustomEvent* adapter = list.AdapterAt(i);
    if (!pred(*adapter)) continue;
    list.RemoveItem(adapter);
    delete adapter;
  }
}

}  // namespace

void TkvEventList::RemoveAdaptersOf(const TObject* instance) {
  RemoveAdaptersWhere(*this,
                      [instance](const TkvCustomEvent& a) { return a.Instance == instance; });
}

void TkvEventList::RemoveAdaptersWithHandler(const TkvProcVariable* handler) {
  RemoveAdaptersWhere(*this, [handler](const TkvCustomEvent& a) { return a.Handler == handler; });
}

void TkvEventList::RemoveAdaptersOfEvent(const TObject* instance, UStringView eventName) {
  RemoveAdaptersWhere(*this, [instance, eventName](const TkvCustomEvent& a) {
    return a.Instance == instance && SameTextAscii(a.EventName, eventName);
  });
}

}  // namespace kv
