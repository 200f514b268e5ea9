// Event adapters: the bridge from a host object's event to a script procedure, and the
// process-wide list that owns every adapter.
#pragma once

#include <cstdint>

#include "engine/kv_items.h"
#include "host/core/object.h"

namespace kv {

// Serves one event of one host object by calling a script procedure. Adapters live in the
// global event list; the method stored into the object finds its adapter there by serial
// number at each delivery, so an adapter that was removed leaves the event quiet instead of
// dangling.
//
// An adapter may be removed while its handler runs (the handler frees the object, assigns
// the event again, ...): nothing below touches the adapter after the handler returned
// without finding it again by serial.
class TkvCustomEvent : public TkvItemList {
 public:
  TkvCustomEvent(TObject* instance, TkvProcVariable* handler);
  // The handler routine the host calls: delivers through CallHandler and, when the handler
  // ran, writes back through WriteBack. Exceptions of the handler reach the host's caller.
  virtual TMethod GetMethod();
  // Drops the event (false) when the handler is executing; else binds one argument per
  // parameter of the handler and calls it (true). A handler with more parameters than the
  // event passes raises msg::TooManyEventParams.
  bool CallHandler(TEventArgs& args);
  // After a delivery: the values of the handler's var parameters into the records of the
  // same position. Adapters whose event writes other records back override it.
  virtual void WriteBack(TEventArgs& args);
  // The number of arguments the event passes, so that a handler declaring more is refused
  // when it is assigned; -1 when the adapter does not know.
  virtual int ArgumentCount() const { return -1; }

  TkvProcVariable* Handler;  // not owned
  TObject* Instance;         // not owned
  uint64_t Serial;           // unique while the process lives
  UString EventName;         // the published event property the adapter serves
};

// Adapters in the order of creation, which is the order of their serials.
class TkvEventList : public TkvItemList {
 public:
  void AddAdapter(TkvCustomEvent* adapter);  // takes ownership
  void RemoveAdaptersOf(const TObject* instance);
  void RemoveAdaptersWithHandler(const TkvProcVariable* handler);
  // The adapters of one event of one object (at most one while assignments replace them).
  void RemoveAdaptersOfEvent(const TObject* instance, UStringView eventName);
  TkvCustomEvent* FindBySerial(uint64_t serial) const;
  // The adapter serving one event of one object, or nullptr.
  TkvCustomEvent* FindAdapterOfEvent(const TObject* instance, UStringView eventName) const;
  TkvCustomEvent* AdapterAt(int index) const;

 private:
  int FirstIndexAbove(uint64_t serial) const;
};

}  // namespace kv
