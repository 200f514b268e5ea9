// The public script object: compile, run, call by name, globals.
#include "engine/kv_iinterpreter.h"
#include "kvscript/kvscript.h"

namespace kv {

ScriptError ToScriptError(const std::exception& e);

namespace {

// Runs f; a run-time error leaves as the ScriptError hosts catch.
template <class F>
auto WithScriptErrors(F f) -> decltype(f()) {
  try {
    return f();
  } catch (const std::exception& e) {
    throw ToScriptError(e);
  }
}

// A value as a parameter or variable of that kind holds it, so that a host passing "42"
// to an Integer parameter gets the number, and a value that does not convert raises here.
Variant ConvertToKind(const Variant& value, TkvValueKind kind) {
  switch (kind) {
    case vkInteger:
      return Variant(value.ToInt());
    case vkFloat:
      return Variant(value.ToDouble());
    case vkBoolean:
      return Variant(value.ToBool());
    case vkString:
    case vkChar:
      return Variant(value.ToString());
    default:
      return value;
  }
}

TkvScript& LiveGlobalScript() {
  TkvScript* global = GlobalScript();
  if (!global) throw Exception(UString(u"The engine is not running: create a kv::Engine first"));
  return *global;
}

TkvCustomVariable& GlobalVariable(const TkvScript& script, UStringView name) {
  TkvCustomVariable* item = script.FindLocalItem(name);
  if (!item || !item->HasRole(irVariable))
    throw Exception(u"The script has no global variable " + UString(name));
  return *item;
}

TkvProcVariable& Routine(const TkvScript& script, UStringView name) {
  TkvCustomVariable* item = script.FindLocalItem(name);
  if (!item || !item->HasRole(irProcedure))
    throw Exception(u"The script has no procedure or function " + UString(name));
  return static_cast<TkvProcVariable&>(*item);
}

void BindArguments(TkvProcVariable& routine, const Variant* arguments, size_t count) {
  const int given = static_cast<int>(count);
  if (given < routine.RequiredParamCount() || given > routine.ItemCount())
    throw Exception(routine.Name + u" takes " + IntToUStr(routine.RequiredParamCount()) +
                    (routine.RequiredParamCount() == routine.ItemCount()
                         ? UString()
                         : u" to " + IntToUStr(routine.ItemCount())) +
                    u" arguments, not " + IntToUStr(given));
  for (int i = 0; i < routine.ItemCount(); ++i) {
    TkvParamItem* param = routine.ParamAt(i);
    param->SetValue(i < given ? ConvertToKind(arguments[i], param->Kind) : param->DefaultValue);
  }
}

Variant CallRoutine(TkvScript& script, UStringView name, const Variant* arguments, size_t count) {
  TkvProcVariable& routine = Routine(script, name);
  // A re-entrant call (the host calls a routine that is running) keeps the running
  // activation's values, as a script's own recursive call does.
  TkvLocalsGuard saved(routine.Executing ? &routine.Frame() : nullptr);
  BindArguments(routine, arguments, count);
  return routine.GetValue();
}

}  // namespace

Script::Script() : script_(std::make_unique<TkvScript>()) { script_->Parent = &LiveGlobalScript(); }

Script::~Script() = default;

CompileResult Script::Compile(UStringView text, UStringView sourceFileName) {
  script_->SourceFileName = UString(sourceFileName);
  script_->Lines()->SetText(UString(text));
  CompileResult result;
  try {
    if (script_->Compile()) return result;
    const SourcePlace place = ParsePlace(script_->ErrorPosition);
    result.error = {place.row, place.column, script_->ErrorUnitName, script_->ErrorText};
  } catch (const std::exception& e) {
    // A fault of the set-up (an unknown language, an unreadable unit) has no place.
    result.error = {0, 0, UString(), ExceptionMessage(e)};
  }
  result.ok = false;
  return result;
}

void Script::Run() {
  WithScriptErrors([&] { script_->Execute(); });
}

Variant Script::Call(UStringView routine, std::initializer_list<Variant> arguments) {
  return WithScriptErrors(
      [&] { return CallRoutine(*script_, routine, arguments.begin(), arguments.size()); });
}

Variant Script::Call(UStringView routine, const std::vector<Variant>& arguments) {
  return WithScriptErrors(
      [&] { return CallRoutine(*script_, routine, arguments.data(), arguments.size()); });
}

// Through GetValue and SetValue, never the item's Value field: a String variable keeps its
// text in storage of its own.
Variant Script::Global(UStringView name) const { return GlobalVariable(*script_, name).GetValue(); }

void Script::SetGlobal(UStringView name, const Variant& value) {
  TkvCustomVariable& variable = GlobalVariable(*script_, name);
  if (variable.ReadOnly) throw Exception(u"The script's " + variable.Name + u" is a constant");
  variable.SetValue(ConvertToKind(value, variable.Kind));
}

}  // namespace kv
