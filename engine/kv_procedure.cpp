// Script procedures: the local scope and the call frame that keeps the values of recursive
// calls apart (the call protocol is in kv_procedure_call.h).
#include "engine/kv_events.h"
#include "engine/kv_globals.h"
#include "engine/kv_procedure_call.h"
#include "engine/kv_statements.h"

namespace kv {

TkvProcVariable::TkvProcVariable(UString name, UString typeName, TkvValueKind kind, bool isFunction,
                                 TkvScript* declaringScript)
    : TkvCustomVariable(std::move(name), std::move(typeName), kind), IsFunction(isFunction) {
  ReadOnly = true;
  Roles = irProcedure;
  LocalScript = std::make_unique<TkvScript>();
  LocalScript->Parent = declaringScript;
  LocalScript->OwnerRoutine = this;
  if (isFunction) {
    auto* result = new TkvVariable(u"Result", TypeName, Kind);
    LocalScript->AddItem(result);
    RefItem = result;
  }
}

// Parameters are both children and items of the local script: they leave the script first
// so that each is freed once, with the children.
TkvProcVariable::~TkvProcVariable() {
  if (TkvEventList* events = ExistingEventList()) events->RemoveAdaptersWithHandler(this);
  for (int i = 0; i < ItemCount(); ++i)
    LocalScript->RemoveItem(static_cast<TkvCustomVariable*>(ItemAt(i)));
  LocalScript.reset();  // before RefItem, the Result variable it owns, is cleared
  RefItem = nullptr;
}

Variant TkvProcVariable::GetValue() { return Call(); }

void TkvProcVariable::SaveLocals(std::vector<Variant>& out) { Frame().CopyValues(out); }

void TkvProcVariable::RestoreLocals(const std::vector<Variant>& saved) {
  Frame().AssignValues(saved);
}

}  // namespace kv
