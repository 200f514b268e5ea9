// The call protocol of a script procedure. Inline, so that the call path of a designator
// runs it without a further call: every script procedure call goes through it.
#pragma once

#include "engine/kv_call_depth.h"
#include "engine/kv_items.h"
#include "engine/kv_script.h"
#include "engine/kv_statements.h"

namespace kv {

namespace procedure_call {

// While a procedure runs, the script that handles OnRunLine reports the procedure's local
// script as the active one; the previous one comes back when the call ends, however it ends.
class ActiveLocalScriptScope {
 public:
  explicit ActiveLocalScriptScope(TkvScript* local) {
    if (!TkvRunLineEvent::AnyAssigned()) return;
    for (TkvScript* s = local; s; s = s->Parent) {
      if (s->OnRunLine.Assigned()) {
        hookOwner_ = s;
        saved_ = s->ActiveLocalScript;
        s->ActiveLocalScript = local;
        return;
      }
    }
  }
  ~ActiveLocalScriptScope() {
    if (hookOwner_) hookOwner_->ActiveLocalScript = saved_;
  }
  ActiveLocalScriptScope(const ActiveLocalScriptScope&) = delete;
  ActiveLocalScriptScope& operator=(const ActiveLocalScriptScope&) = delete;

 private:
  TkvScript* hookOwner_ = nullptr;
  TkvScript* saved_ = nullptr;
};

// Sets a flag for the duration of a scope and puts back the value it had, so that flags
// nest correctly through recursion and exceptions.
class FlagScope {
 public:
  FlagScope(bool& flag, bool value) : flag_(flag), saved_(flag) { flag_ = value; }
  ~FlagScope() { flag_ = saved_; }
  FlagScope(const FlagScope&) = delete;
  FlagScope& operator=(const FlagScope&) = delete;

 private:
  bool& flag_;
  bool saved_;
};

// Exit ends the procedure that executed it and nothing else.
class ExitScope {
 public:
  explicit ExitScope(TkvScript& local) : local_(local) { local_.ExitRequested = false; }
  ~ExitScope() { local_.ExitRequested = false; }
  ExitScope(const ExitScope&) = delete;
  ExitScope& operator=(const ExitScope&) = delete;

 private:
  TkvScript& local_;
};

}  // namespace procedure_call

[[gnu::always_inline]] inline Variant TkvProcVariable::Call() {
  using namespace procedure_call;
  TkvCallDepthGuard depth;
  FlagScope executing(Executing, true);
  ActiveLocalScriptScope active(LocalScript.get());
  {
    ExitScope exit(*LocalScript);
    FlagScope running(LocalScript->Running, true);
    TkvStatement::RunList(*LocalScript->MainStatements());
  }
  if (IsFunction && RefItem) {
    return RefItem->HasRole(irValueInPlace) ? RefItem->Value : RefItem->GetValue();
  }
  return Variant::Null();
}

}  // namespace kv
