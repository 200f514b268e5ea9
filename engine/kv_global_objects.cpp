// The global script object and the global event list, with the built-in types and constants
// every script sees.
#include <utility>

#include "engine/kv_events.h"
#include "engine/kv_globals.h"
#include "engine/kv_script.h"
#include "host/core/handles.h"

namespace kv {

namespace {

TkvScript* gGlobalScript = nullptr;
TkvEventList* gEventList = nullptr;
int gDestroyObserver = 0;
bool gFinalized = false;

struct BuiltinType {
  const char16_t* name;
  TkvValueKind kind;
};

constexpr BuiltinType kBuiltinTypes[] = {
    {u"Byte", vkInteger},    {u"Word", vkInteger},     {u"Integer", vkInteger},
    {u"Longint", vkInteger}, {u"Cardinal", vkInteger}, {u"TColor", vkInteger},
    {u"Boolean", vkBoolean}, {u"Real", vkFloat},       {u"Single", vkFloat},
    {u"Double", vkFloat},    {u"Extended", vkFloat},   {u"Currency", vkFloat},
    {u"TDate", vkFloat},     {u"TTime", vkFloat},      {u"TDateTime", vkFloat},
    {u"Char", vkChar},       {u"String", vkString},    {u"Variant", vkVariant},
    {u"Pointer", vkVariant}, {u"Array", vkArray},      {u"Constructor", vkConstructor},
};

void RegisterBuiltins(TkvScript& global) {
  for (const BuiltinType& type : kBuiltinTypes) global.DefineType(type.name, type.kind);
  global.DefineConst(u"True", u"Boolean", Variant(true));
  global.DefineConst(u"False", u"Boolean", Variant(false));
  global.DefineConst(u"nil", u"Variant", Variant(0));
  global.DefineConst(u"Null", u"Variant", Variant::Null());
}

// An object's adapters go with it, whatever route destroyed it.
void RemoveAdaptersOfDestroyed(TObject* obj) {
  if (gEventList) gEventList->RemoveAdaptersOf(obj);
}

}  // namespace

// The object is published before the built-ins are registered: registration asks for the
// global script itself (TypeKindOf).
TkvScript* GlobalScript() {
  if (!gGlobalScript && !gFinalized) {
    gGlobalScript = new TkvScript();
    RegisterBuiltins(*gGlobalScript);
  }
  return gGlobalScript;
}

TkvEventList* GlobalEventList() {
  if (!gEventList && !gFinalized) {
    gEventList = new TkvEventList();
    gDestroyObserver = handles::AddDestroyObserver(&RemoveAdaptersOfDestroyed);
  }
  return gEventList;
}

TkvEventList* ExistingEventList() { return gEventList; }

void InitInterpreter() {
  gFinalized = false;
  GlobalScript();
  GlobalEventList();
}

// Adapters refer to procedures and objects, so they go before the global script; each
// pointer is cleared before its object is freed, so destructors that run meanwhile find
// nothing half-destroyed.
void DoneInterpreter() {
  gFinalized = true;
  if (gDestroyObserver) {
    handles::RemoveDestroyObserver(gDestroyObserver);
    gDestroyObserver = 0;
  }
  delete std::exchange(gEventList, nullptr);
  delete std::exchange(gGlobalScript, nullptr);
}

}  // namespace kv
