// Loop statements. Every loop leaves on break or exit, clears continue after each pass, and
// clears break when it is done; exit is left set for the caller of the script's main list.
//
// A loop whose body runs no hooked statement reports its own line on every pass instead, so
// that a host watching the hook can still stop `while True do ;` or `repeat until False`.
#include <cstdint>
#include <typeinfo>

#include "engine/kv_condition.h"
#include "engine/kv_statements.h"
#include "host/core/variant_ops.h"

namespace kv {

namespace {

// After a pass: whether the loop must stop; a pending continue has done its job.
bool PassEnds(TkvScript& script) {
  if (script.BreakRequested || script.ExitRequested) return true;
  script.ContinueRequested = false;
  return false;
}

// Plain blocks (begin..end) run their children without a hook of their own.
bool RunsNoHookedStatement(const TkvStatement& list) {
  const int count = list.ItemCount();
  for (int i = 0; i < count; ++i) {
    const TkvStatement& child = *list.StatementAt(i);
    if (typeid(child) != typeid(TkvStatement) || !RunsNoHookedStatement(child)) return false;
  }
  return true;
}

// Before a pass of a loop whose body reports nothing: the loop's own report; false when the
// host asked to stop.
bool EmptyPassMayRun(TkvStatement& loop, bool bodyReports) {
  if (bodyReports) return true;
  loop.ReportLine();
  return !loop.Script->ExitRequested;
}

}  // namespace

// ---------------------------------------------------------------------------------------
// repeat and while

// A plain repeat stops when the condition holds; the inverse form (do..while) when it fails.
// A continue still tests the condition.
void TkvRepeatStmt::Execute() {
  if (!Hook()) return;
  TkvScript& script = *Script;
  const bool bodyReports = !RunsNoHookedStatement(*this);
  for (bool first = true;; first = false) {
    if (!first && !EmptyPassMayRun(*this, bodyReports)) break;
    ExecuteList();
    if (PassEnds(script)) break;
    if (Condition->Test() == !Inverse) break;
  }
  script.BreakRequested = false;
}

void TkvWhileStmt::Execute() {
  if (!Hook()) return;
  TkvScript& script = *Script;
  const bool bodyReports = !RunsNoHookedStatement(*this);
  for (bool first = true; Condition->Test(); first = false) {
    if (!first && !EmptyPassMayRun(*this, bodyReports)) break;
    ExecuteList();
    if (PassEnds(script)) break;
  }
  script.BreakRequested = false;
}

// ---------------------------------------------------------------------------------------
// for

// The number of passes is fixed before the first one, and the loop variable's stored value
// is written directly: changing the variable or the bound inside the body changes neither
// the count nor the next value. Counting in 64 bits keeps the bounds of Integer safe.
void TkvForStmt::Execute() {
  const int64_t first = BeginValue->GetValue().ToInt();
  const int64_t last = EndValue->GetValue().ToInt();
  if (!Hook()) return;
  TkvScript& script = *Script;
  const int64_t step = Down ? -1 : 1;
  const int64_t passes = (last - first) * step + 1;
  int64_t value = first;
  const bool bodyReports = !RunsNoHookedStatement(*this);
  for (int64_t pass = 0; pass < passes; ++pass, value += step) {
    if (pass > 0 && !EmptyPassMayRun(*this, bodyReports)) break;
    LoopVariable->Value.SetInteger(static_cast<int32_t>(value));
    ExecuteList();
    if (PassEnds(script)) break;
  }
  script.BreakRequested = false;
}

// Bounds and step are Variants and the counter advances by Variant addition; a step of 0
// loops until break or exit.
void TkvVbForStmt::Execute() {
  Variant counter = BeginValue->GetValue();
  const Variant last = EndValue->GetValue();
  const Variant step = Step != nullptr ? Step->GetValue() : Variant(1);
  if (!Hook()) return;
  TkvScript& script = *Script;
  const bool downward = VarCompare(step, Variant(0)) < 0;
  const bool bodyReports = !RunsNoHookedStatement(*this);
  for (bool first = true;; first = false) {
    const int order = VarCompare(counter, last);
    if (downward ? order < 0 : order > 0) break;
    if (!first && !EmptyPassMayRun(*this, bodyReports)) break;
    LoopVariable->Value = counter;
    ExecuteList();
    if (PassEnds(script)) break;
    VarBinaryOpInPlace(VarOp::Add, counter, step);
  }
  script.BreakRequested = false;
}

TkvCppForStmt::TkvCppForStmt(TkvScript* script, UString sourcePos, UString unitName)
    : TkvStatement(script, sourcePos, unitName),
      FirstStatements(std::make_unique<TkvStatement>(script, sourcePos, unitName)),
      SecondStatements(std::make_unique<TkvStatement>(script, sourcePos, unitName)) {}

// A missing condition loops until break or exit, as in the languages that have this form.
void TkvCppForStmt::Execute() {
  if (!Hook()) return;
  TkvScript& script = *Script;
  RunList(*FirstStatements);
  if (script.ExitRequested) return;
  const bool bodyReports =
      !RunsNoHookedStatement(*this) || !RunsNoHookedStatement(*SecondStatements);
  for (bool first = true; Condition == nullptr || Condition->Test(); first = false) {
    if (!first && !EmptyPassMayRun(*this, bodyReports)) break;
    ExecuteList();
    if (PassEnds(script)) break;
    RunList(*SecondStatements);
    if (script.ExitRequested) break;
  }
  script.BreakRequested = false;
}

}  // namespace kv
