// Statements: blocks, assignments, calls, branches, try and with. Loops are in
// kv_statements_loops.cpp.
//
// Control flow travels as the three flags of the statement's script: a statement list stops
// after any statement that leaves one set; loops clear break and continue; exit is cleared
// by whoever started the script's main list.
#include "engine/kv_statements.h"

#include <algorithm>
#include <exception>

#include "engine/kv_condition.h"
#include "engine/kv_fast_paths.h"
#include "engine/kv_iexpression.h"
#include "engine/kv_integer_arithmetic.h"
#include "host/core/variant_ops.h"

namespace kv {

// ---------------------------------------------------------------------------------------
// Blocks

TkvStatement::TkvStatement(TkvScript* script, UString sourcePos, UString unitName)
    : Script(script), Place(ParsePlace(sourcePos)), UnitName(std::move(unitName)) {}

void TkvStatement::Execute() { ExecuteList(); }

TkvStatement* TkvStatement::StatementAt(int index) const {
  return static_cast<TkvStatement*>(ItemAt(index));
}

// ---------------------------------------------------------------------------------------
// Assignments

std::unique_ptr<TkvAssignmentStmt> NewAssignment(TkvOperatorKind folded, TkvScript* script,
                                                 UString sourcePos, UString unitName) {
  switch (folded) {
    case okPlus:
      return std::make_unique<TkvAssignPlusStmt>(script, std::move(sourcePos), std::move(unitName));
    case okMinus:
      return std::make_unique<TkvAssignMinusStmt>(script, std::move(sourcePos),
                                                  std::move(unitName));
    case okMul:
      return std::make_unique<TkvAssignMulStmt>(script, std::move(sourcePos), std::move(unitName));
    case okDivFloat:
      return std::make_unique<TkvAssignDivStmt>(script, std::move(sourcePos), std::move(unitName));
    default:
      return std::make_unique<TkvAssignmentStmt>(script, std::move(sourcePos), std::move(unitName));
  }
}

namespace {

bool ReadsStringVariable(const TkvExpressionNode* node, const TkvstringVariable* variable) {
  const auto* designatorNode = dynamic_cast<const TkvDesignatorNode*>(node);
  return designatorNode != nullptr && designatorNode->Direct == nullptr &&
         designatorNode->ReadTarget == variable;
}

// s := s + a + b ... is a chain of general additions whose leftmost operand reads s. Only the
// first appended operand may be any expression: it is evaluated while s still holds its
// value. The others must be read in place (constants, plain variables), since s's buffer is
// being extended while they are read.
void CollectAppendOperands(TkvAssignmentStmt& stmt) {
  stmt.AppendOperands.clear();
  auto* expression = dynamic_cast<TkvExpression*>(stmt.Expression.get());
  if (stmt.StringTarget == nullptr || expression == nullptr) return;
  std::vector<TkvExpressionNode*> operands;
  TkvExpressionNode* node = expression->RootNode.get();
  for (const TkvOperatorNode* plus = AsOperator(node);
       plus != nullptr && plus->OperatorKind == okPlus && !plus->BothInteger &&
       plus->Right != nullptr;
       plus = AsOperator(node)) {
    operands.push_back(plus->Right.get());
    node = plus->Left.get();
  }
  if (operands.empty() || !ReadsStringVariable(node, stmt.StringTarget)) return;
  std::reverse(operands.begin(), operands.end());
  for (size_t k = 1; k < operands.size(); ++k) {
    if (operands[k]->Direct == nullptr) return;
  }
  stmt.AppendOperands = std::move(operands);
}

}  // namespace

// A plain variable is written without its designator, and a one-operand expression is read
// without entering its tree. Items that keep a plain value are then read and written
// directly, and the target's kind is looked at here once instead of at every execution.
// The designator of a plain variable writes exactly that variable (TkvVariableDesignator),
// so it is not kept: most assignments have one, and it is twice the statement's size.
void TkvAssignmentStmt::Prepare() {
  auto* expression = dynamic_cast<TkvExpression*>(Expression.get());
  const TkvCustomVariable* target = Designator != nullptr ? Designator.get() : Target;
  IntegerKinds = target != nullptr && target->Kind == vkInteger && expression != nullptr &&
                 expression->RootNode != nullptr && expression->RootNode->Kind == vkInteger;
  if (!FastPathsEnabled()) return;
  if (Designator != nullptr) {
    Target = Designator.get();
    if (dynamic_cast<TkvVariableDesignator*>(Designator.get()) != nullptr &&
        Designator->FastPathKind == fpVariable && Designator->RefItem != nullptr) {
      Target = Designator->RefItem;
      Designator.reset();
    }
  }
  Source = Expression.get();
  if (expression != nullptr) {
    // The tree's root yields the expression's value; reading it spares a call per execution.
    if (expression->RootNode != nullptr) Source = expression->RootNode.get();
    if (TkvCustomVariable* single = expression->SingleOperand()) Source = single;
  }
  PlainTarget = PlainValueItem(Target);
  PlainSource = PlainValueItem(Source);
  StringTarget = dynamic_cast<TkvstringVariable*>(Target);
  CollectAppendOperands(*this);
}

namespace {

// Without Prepare the statement still runs, through the designator and the expression.
struct Operands {
  TkvCustomVariable* target;
  TkvCustomVariable* source;
};

Operands OperandsOf(const TkvAssignmentStmt& stmt) {
  return {stmt.Target != nullptr ? stmt.Target : stmt.Designator.get(),
          stmt.Source != nullptr ? stmt.Source : stmt.Expression.get()};
}

// a := a op b by the integer rule, for operands of static kind Integer; false leaves other
// values and division to the Variant operation.
inline bool WrapInPlace(VarOp op, Variant& a, const Variant& b) {
  if (!HoldsInteger(a) || !HoldsInteger(b)) return false;
  switch (op) {
    case VarOp::Add:
      a.SetInteger(WrapAdd(AsInt32(a), AsInt32(b)));
      return true;
    case VarOp::Subtract:
      a.SetInteger(WrapSub(AsInt32(a), AsInt32(b)));
      return true;
    case VarOp::Multiply:
      a.SetInteger(WrapMul(AsInt32(a), AsInt32(b)));
      return true;
    default:
      return false;
  }
}

// a := a op b for two Integers whose result fits 32 bits, as the Variant operation gives it;
// false leaves the rest (overflow into a double, other tags, division) to that operation.
inline bool IntegerInPlace(VarOp op, Variant& a, const Variant& b) {
  if (a.Type() != varInteger || b.Type() != varInteger) return false;
  int32_t result;
  bool overflow;
  switch (op) {
    case VarOp::Add:
      overflow = __builtin_add_overflow(a.RawInt(), b.RawInt(), &result);
      break;
    case VarOp::Subtract:
      overflow = __builtin_sub_overflow(a.RawInt(), b.RawInt(), &result);
      break;
    case VarOp::Multiply:
      overflow = __builtin_mul_overflow(a.RawInt(), b.RawInt(), &result);
      break;
    default:
      return false;
  }
  if (overflow) return false;
  a.SetInteger(result);
  return true;
}

// Runs a := a op b for a value `a` just read from the target. When the target still holds
// that very value, its own reference is dropped for the time of the operation so that the
// operand is unshared: `s := s + t` then appends in place instead of copying s, which made
// loops that build a string quadratic. The target gets its value back if the operation
// raises.
void UpdateInPlace(const TkvAssignmentStmt& stmt, TkvCustomVariable* target, Variant& a,
                   const Variant& b, VarOp op) {
  if (!a.IsString() && !a.IsArray()) {  // numbers: nothing to unshare
    VarBinaryOpInPlace(op, a, b);
    return;
  }
  TkvstringVariable* stringVar = stmt.StringTarget;
  TkvCustomVariable* plain = stmt.PlainTarget;
  bool dropped = false;
  if (stringVar) {
    dropped = a.IsString() && &a.RawString() == &stringVar->Storage.Str();
    if (dropped) stringVar->Storage = SharedString();
  } else if (plain && !plain->ReadOnly && plain->Value.SharesBodyWith(a)) {
    dropped = true;
    plain->Value = Variant();
  }
  try {
    VarBinaryOpInPlace(op, a, b);
  } catch (...) {
    if (dropped && stringVar)
      stringVar->SetValue(a);
    else if (dropped)
      plain->Value = a;
    throw;
  }
}

// s takes back the value it had before the appending began, which the buffer still starts
// with (only a failed allocation inside an append leaves no buffer, and s then empty).
void RestorePrefix(TkvstringVariable& s, const Variant& appended, size_t length) {
  if (appended.Type() != varString) return s.SetValue(Variant(UString()));
  s.SetValue(Variant(appended.RawString().substr(0, length)));
}

// Evaluates s + a + b ... with the very operations of the expression tree, left to right, but
// drops s's reference to its buffer while string operands are appended, so that the buffer
// grows in place instead of being copied once per statement. Should an operation fail, or
// one that is no string append come next, s gets its value back first.
void AppendInPlace(TkvAssignmentStmt& stmt) {
  TkvstringVariable& s = *stmt.StringTarget;
  const std::vector<TkvExpressionNode*>& operands = stmt.AppendOperands;
  Variant result = s.GetValue();
  bool dropped = false;
  size_t keptLength = 0;
  try {
    for (size_t k = 0; k < operands.size(); ++k) {
      TkvExpressionNode* operand = operands[k];
      const Variant value = operand->Direct != nullptr ? *operand->Direct : operand->GetValue();
      const bool appends = result.Type() == varString && value.IsString();
      if (dropped && !appends) {
        RestorePrefix(s, result, keptLength);
        dropped = false;
      } else if (!dropped && appends && &result.RawString() == &s.Storage.Str()) {
        keptLength = result.RawString().size();
        s.Storage = SharedString();
        dropped = true;
      }
      VarBinaryOpInPlace(VarOp::Add, result, value);
    }
  } catch (...) {
    if (dropped) RestorePrefix(s, result, keptLength);
    throw;
  }
  s.SetValue(result);
}

// The integer rule where the kinds call for it; else, as a fast path, the Variant
// operation's own result for Integers that do not overflow.
inline bool IntegerRuleInPlace(const TkvAssignmentStmt& stmt, VarOp op, Variant& a,
                               const Variant& b) {
  if (stmt.IntegerKinds) return WrapInPlace(op, a, b);
  return FastPathsEnabled() && IntegerInPlace(op, a, b);
}

void CompoundAssignByValue(TkvAssignmentStmt& stmt, VarOp op) {
  const auto [target, source] = OperandsOf(stmt);
  TkvCustomVariable* plainTarget = stmt.PlainTarget;
  TkvCustomVariable* plainSource = stmt.PlainSource;
  Variant a = plainTarget ? plainTarget->Value : target->GetValue();
  const Variant b = plainSource ? plainSource->Value : source->GetValue();
  if (!IntegerRuleInPlace(stmt, op, a, b)) UpdateInPlace(stmt, target, a, b, op);
  if (plainTarget) {
    if (!plainTarget->ReadOnly) plainTarget->Value = std::move(a);
  } else {
    target->SetValue(a);
  }
}

// The operator is a template argument so that the usual case, two plain Integers (a
// counter, a sum) changed where they are stored, compiles to a few instructions.
template <VarOp op>
void CompoundAssign(TkvAssignmentStmt& stmt) {
  TkvCustomVariable* plainTarget = stmt.PlainTarget;
  TkvCustomVariable* plainSource = stmt.PlainSource;
  if (plainTarget && plainSource && !plainTarget->ReadOnly &&
      IntegerRuleInPlace(stmt, op, plainTarget->Value, plainSource->Value)) {
    return;
  }
  CompoundAssignByValue(stmt, op);
}

}  // namespace

void TkvAssignmentStmt::Execute() {
  if (!Hook()) return;
  if (PlainTarget == nullptr) {
    // Only here: an appending assignment's target is a string variable, never a plain one.
    if (!AppendOperands.empty()) return AppendInPlace(*this);
    const auto [target, source] = OperandsOf(*this);
    target->SetValue(PlainSource ? PlainSource->Value : source->GetValue());
    return;
  }
  if (PlainSource) {
    if (!PlainTarget->ReadOnly) PlainTarget->Value = PlainSource->Value;
  } else {
    Variant value = OperandsOf(*this).source->GetValue();  // also for a read-only target
    if (!PlainTarget->ReadOnly) PlainTarget->Value = std::move(value);
  }
}

void TkvAssignPlusStmt::Execute() {
  if (Hook()) CompoundAssign<VarOp::Add>(*this);
}

void TkvAssignMinusStmt::Execute() {
  if (Hook()) CompoundAssign<VarOp::Subtract>(*this);
}

void TkvAssignMulStmt::Execute() {
  if (Hook()) CompoundAssign<VarOp::Multiply>(*this);
}

void TkvAssignDivStmt::Execute() {
  if (Hook()) CompoundAssign<VarOp::Divide>(*this);
}

// ---------------------------------------------------------------------------------------
// Calls

// "+" and "-" are the increment and decrement calls of some grammars; any other modifier
// does nothing.
void TkvCallStmt::Execute() {
  if (!Hook()) return;
  if (Modifier.empty()) {
    Designator->NeedResult = false;
    Designator->GetValue();
    return;
  }
  VarOp op;
  if (Modifier == u"+") {
    op = VarOp::Add;
  } else if (Modifier == u"-") {
    op = VarOp::Subtract;
  } else {
    return;
  }
  Variant value = Designator->GetValue();
  const Variant one(1);
  if (Designator->Kind != vkInteger || !WrapInPlace(op, value, one)) {
    VarBinaryOpInPlace(op, value, one);
  }
  Designator->SetValue(value);
}

// ---------------------------------------------------------------------------------------
// Branches

TkvIfStmt::TkvIfStmt(TkvScript* script, UString sourcePos, UString unitName)
    : TkvStatement(script, sourcePos, unitName),
      ElseStatements(std::make_unique<TkvStatement>(script, sourcePos, unitName)) {}

void TkvIfStmt::Execute() {
  if (!Hook()) return;
  if (Condition->Test()) {
    ExecuteList();
  } else {
    RunList(*ElseStatements);
  }
}

TkvCaseSelector::TkvCaseSelector(TkvScript* script, UString sourcePos, UString unitName)
    : TkvStatement(script, std::move(sourcePos), std::move(unitName)),
      Set(std::make_unique<TkvSetExpression>()) {}

TkvCaseStmt::TkvCaseStmt(TkvScript* script, UString sourcePos, UString unitName)
    : TkvStatement(script, sourcePos, unitName),
      ElseStatements(std::make_unique<TkvStatement>(script, sourcePos, unitName)) {}

// The selector value is taken before the hook reports the line.
void TkvCaseStmt::Execute() {
  const Variant value = Selector->GetValue();
  if (!Hook()) return;
  const int count = ItemCount();
  for (int i = 0; i < count; ++i) {
    auto* selector = static_cast<TkvCaseSelector*>(ItemAt(i));
    if (selector->Set->Contains(value)) {
      RunList(*selector);
      return;
    }
  }
  RunList(*ElseStatements);
}

// ---------------------------------------------------------------------------------------
// try

TkvTryStmt::TkvTryStmt(TkvScript* script, UString sourcePos, UString unitName)
    : TkvStatement(script, sourcePos, unitName),
      HandlerStatements(std::make_unique<TkvStatement>(script, sourcePos, unitName)) {}

namespace {

// The break, continue or exit that was leaving a guarded body when its finally part began.
// It is held aside while the part runs, so that every statement of the part runs, and
// resumed afterwards; an exception the part raises replaces it.
struct PendingFlow {
  bool breakRequested;
  bool continueRequested;
  bool exitRequested;
};

PendingFlow HoldPendingFlow(TkvScript& script) {
  const PendingFlow pending{script.BreakRequested, script.ContinueRequested, script.ExitRequested};
  script.BreakRequested = false;
  script.ContinueRequested = false;
  script.ExitRequested = false;
  return pending;
}

void ResumePendingFlow(TkvScript& script, const PendingFlow& pending) {
  script.BreakRequested = script.BreakRequested || pending.breakRequested;
  script.ContinueRequested = script.ContinueRequested || pending.continueRequested;
  script.ExitRequested = script.ExitRequested || pending.exitRequested;
}

}  // namespace

// try..except swallows every exception a script can meet (ours derive from std::exception).
// The handler runs outside the catch block, so an exception it raises is an ordinary one.
//
// try..finally runs the handler whatever the body did: completed, raised, or left by break,
// continue or exit (nested finally parts then run inside out, each as its try statement
// passes the flag on).
void TkvTryStmt::Execute() {
  if (!Hook()) return;
  if (IsExcept) {
    bool caught = false;
    try {
      ExecuteList();
    } catch (const std::exception&) {
      caught = true;
    }
    if (caught) RunList(*HandlerStatements);
    return;
  }
  std::exception_ptr pending;
  try {
    ExecuteList();
  } catch (...) {
    pending = std::current_exception();
  }
  TkvScript& script = *Script;
  const PendingFlow flow = HoldPendingFlow(script);
  RunList(*HandlerStatements);
  ResumePendingFlow(script, flow);
  if (pending) std::rethrow_exception(pending);
}

// ---------------------------------------------------------------------------------------
// break, continue, exit, with

void TkvBreakStmt::Execute() { Script->BreakRequested = true; }

void TkvContinueStmt::Execute() { Script->ContinueRequested = true; }

void TkvExitStmt::Execute() { Script->ExitRequested = true; }

// The object is evaluated once, here; the statements after it reach its members through the
// hidden variable, so reassigning the original variable inside does not change the target.
void TkvWithStmt::Execute() {
  ExecuteList();
  HiddenVariable->SetValue(Designator->GetValue());
}

}  // namespace kv
