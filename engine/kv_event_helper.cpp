// Event members: assigning a script procedure's name (or nil) to an event of a host object.
#include <memory>

#include "engine/kv_events.h"
#include "engine/kv_globals.h"
#include "engine/kv_iconst.h"
#include "engine/kv_member_helpers.h"
#include "engine/kv_member_object.h"
#include "engine/kv_script.h"

namespace kv {

namespace {

const TPropInfo& EventProperty(TObject* obj, const UString& name) {
  const TPropInfo* prop = obj->ClassType()->FindProperty(name);
  if (!prop || prop->Kind != TTypeKind::tkMethod || !prop->SetMethod)
    throw Exception(u"Class " + obj->ClassName() + u" has no event " + name);
  return *prop;
}

TkvProcVariable* FindHandler(TkvScript* from, const UString& name) {
  if (!from) from = GlobalScript();
  TkvCustomVariable* item = from ? from->FindItem(name) : nullptr;
  auto* handler = dynamic_cast<TkvProcVariable*>(item);
  if (!handler) throw Exception(UString(msg::EventHandlerMustBeProc));
  return handler;
}

TkvEventList& EventList() {
  TkvEventList* events = GlobalEventList();
  if (!events) throw Exception(UString(u"The script interpreter has been shut down"));
  return *events;
}

// A handler with more parameters than the event passes could never be called.
void CheckHandlerFits(const TkvProcVariable& handler, const TkvCustomEvent& adapter,
                      const UString& eventName) {
  const int passed = adapter.ArgumentCount();
  const int declared = handler.ItemCount();
  if (passed < 0 || declared <= passed) return;
  UString text = FormatMessage(msg::HandlerParamsExceedEvent, handler.Name);
  text = FormatMessage(text, IntToUStr(declared));
  text = FormatMessage(text, eventName);
  throw Exception(FormatMessage(text, IntToUStr(passed)));
}

// nil (the number 0), an unassigned value or '' detach the handler; any other value names it.
bool DetachesHandler(const Variant& value) {
  if (value.IsNull() || value.IsEmpty()) return true;
  if (value.IsString()) return value.ToString().empty();
  return value.IsOrdinal() && value.ToInt() == 0;
}

}  // namespace

Variant TkvEventHelper::GetValue() {
  TObject* obj = MemberObject(InstanceValue, HostClass);
  TkvEventList* events = ExistingEventList();
  TkvCustomEvent* adapter = events ? events->FindAdapterOfEvent(obj, Name) : nullptr;
  return Variant(adapter ? adapter->Handler->Name : UString());
}

// A new handler replaces the adapter of an earlier assignment, and nil or '' removes it, so
// the event list holds at most one adapter per event of an object.
void TkvEventHelper::SetValue(const Variant& value) {
  TObject* obj = MemberObject(InstanceValue, HostClass);
  const TPropInfo& prop = EventProperty(obj, Name);
  TkvEventList& events = EventList();
  if (DetachesHandler(value)) {
    events.RemoveAdaptersOfEvent(obj, Name);
    prop.SetMethod(obj, TMethod{});
    return;
  }
  TkvProcVariable* handler = FindHandler(Script, value.ToString());
  if (!AdapterClass) throw Exception(u"Event " + Name + u" has no adapter class");
  std::unique_ptr<TkvCustomEvent> adapter(AdapterClass(obj, handler));
  adapter->EventName = Name;
  CheckHandlerFits(*handler, *adapter, Name);
  const TMethod method = adapter->GetMethod();
  events.RemoveAdaptersOfEvent(obj, Name);
  TkvCustomEvent* added = adapter.release();
  events.AddAdapter(added);
  try {
    prop.SetMethod(obj, method);
  } catch (...) {
    events.RemoveItem(added);
    delete added;
    throw;
  }
}

}  // namespace kv
