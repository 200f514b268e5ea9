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
  auto at = std::upper_bound(
      items_.begin(), items_.end(), adapter->Serial,
      [](uint64_t serial, const TkvItemList* item) { return serial < SerialOf(item); });
  items_.insert(at, adapter);
}

TkvCustomEvent* TkvEventList::AdapterAt(int index) const {
  return static_cast<TkvCustomEvent*>(ItemAt(index));
}

TkvCustomEvent* TkvEventList::FindBySerial(uint64_t serial) const {
  auto at =
      std::lower_bound(items_.begin(), items_.end(), serial,
                       [](const TkvItemList* item, uint64_t s) { return SerialOf(item) < s; });
  if (at == items_.end() || SerialOf(*at) != serial) return nullptr;
  return static_cast<TkvCustomEvent*>(*at);
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
