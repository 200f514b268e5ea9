// Designators: compiled access paths. The general evaluation walks the steps, binding each
// step's arguments into the called item's parameters, setting up member helpers, and writing
// var arguments back; three subclasses short-cut plain variables, string characters and
// array elements. Set constructors (case labels, "in") live here too.
#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "engine/kv_designators.h"
#include "engine/kv_fast_paths.h"
#include "engine/kv_iconst.h"
#include "engine/kv_iexpression.h"
#include "engine/kv_member_helpers.h"
#include "engine/kv_procedure_call.h"
#include "engine/kv_script.h"
#include "host/core/exceptions.h"
#include "host/core/variant_ops.h"

namespace kv {

// ---------------------------------------------------------------------------------------
// Steps

TkvCustomExpression* TkvDesignatorItem::ArgAt(int index) const {
  return static_cast<TkvCustomExpression*>(ItemAt(index));
}

// ---------------------------------------------------------------------------------------
// Building

TkvDesignator::TkvDesignator(TkvScript* script)
    : TkvCustomVariable(UString(), UString(), vkInteger), Script(script) {
  Roles = irDesignator;
}

TkvDesignator::~TkvDesignator() = default;

TkvDesignatorItem* TkvDesignator::StepAt(int index) const {
  return static_cast<TkvDesignatorItem*>(ItemAt(index));
}

TkvDesignatorItem* TkvDesignator::AddStep(TkvCustomVariable* ref, UString sourcePos) {
  auto* step = new TkvDesignatorItem;
  step->Ref = ref;
  step->Place = ParsePlace(sourcePos);
  AddItem(step);
  return step;
}

namespace {

bool IsPlainVariable(const TkvCustomVariable* item) {
  return item != nullptr && item->HasRole(irVariable);
}

bool IsDirectHostCall(const TkvDesignatorItem& step) {
  auto* method = dynamic_cast<TkvMethodHelper*>(step.Ref);
  return method != nullptr && method->TakesArgumentsOf(step);
}

}  // namespace

// The fast paths are chosen only when the second step is the helper they call directly, so
// a path the compiler shaped differently falls back to the general evaluation.
void TkvDesignator::Classify() {
  FastPathKind = fpGeneral;
  Index = nullptr;
  IndexStep = nullptr;
  SingleIndex = false;
  IndexExpression = nullptr;
  RefItem = nullptr;
  const int count = StepCount();
  if (count == 0) return;

  const TkvCustomVariable* last = StepAt(count - 1)->Ref;
  if (last != nullptr) {
    Kind = last->Kind;
    TypeName = last->TypeName;
    ReadOnly = last->ReadOnly;
    if (Kind == vkConstructor) {
      Kind = vkClass;
      const TkvCustomVariable* cls = count >= 2 ? StepAt(count - 2)->Ref : nullptr;
      TypeName = cls != nullptr ? cls->TypeName : UString();
    }
  }

  if (!FastPathsEnabled()) return;
  TkvCustomVariable* first = StepAt(0)->Ref;
  if (count == 1 && IsPlainVariable(first)) {
    FastPathKind = fpVariable;
    RefItem = first;
    return;
  }
  if (count == 1 && first != nullptr && first->HasRole(irProcedure)) {
    FastPathKind = fpProcedureCall;
    return;
  }
  if (count == 1 && IsDirectHostCall(*StepAt(0))) {
    FastPathKind = fpHostCall;
    return;
  }
  if (count != 2) return;
  TkvDesignatorItem* second = StepAt(1);
  if (IsPlainVariable(first) && IsDirectHostCall(*second)) {
    FastPathKind = fpMethodCall;
    RefItem = first;
    return;
  }
  if (first != nullptr && first->HasRole(irStringVariable) &&
      dynamic_cast<TkvStringHelper*>(second->Ref) != nullptr && second->ItemCount() >= 1) {
    FastPathKind = fpStringChar;
    RefItem = first;
    Index = second->ArgAt(0);
    return;
  }
  auto* helper = dynamic_cast<TkvArrayHelper*>(first != nullptr ? first->RefItem : nullptr);
  if (IsPlainVariable(first) && first->Kind == vkArray && helper != nullptr &&
      second->Ref == helper && second->ItemCount() <= helper->ItemCount()) {
    FastPathKind = fpArrayElement;
    RefItem = first;
    Index = helper;
    IndexStep = second;
    SingleIndex = second->ItemCount() == 1 && helper->ItemCount() == 1 &&
                  HasPlainValue(helper->ParamAt(0)) && !helper->ParamAt(0)->ReadOnly;
    if (SingleIndex) IndexExpression = dynamic_cast<TkvExpression*>(second->ArgAt(0));
  }
}

void TkvDesignator::TakeOver(TkvDesignator& other) {
  SwapItems(other);
  FastPathKind = other.FastPathKind;
  Index = other.Index;
  IndexStep = other.IndexStep;
  SingleIndex = other.SingleIndex;
  IndexExpression = other.IndexExpression;
  Kind = other.Kind;
  TypeName = other.TypeName;
  ReadOnly = other.ReadOnly;
  RefItem = other.RefItem;
  LateGuard = other.LateGuard;
  LateShape = other.LateShape;
  LateCode = std::move(other.LateCode);
}

// The code is dropped only once it compiled. A failed compilation raises at this use and is
// tried again at the next one, with the values then current: dropping the code on failure
// would leave an empty path that silently reads as Null (and ignores writes) after the
// script caught the first error.
void TkvDesignator::CompileDeferred() {
  TkvFrontEnd* frontEnd = FrontEnd();
  if (frontEnd == nullptr) throw Exception(UString(msg::NoFrontEnd));
  const std::unique_ptr<TkvDesignator> fresh = frontEnd->CompileDeferred(*Script, *Deferred);
  Deferred.reset();
  if (fresh != nullptr) TakeOver(*fresh);
}

// The path to evaluate now: this one, compiled at its first use, or for a Variant whose
// value changed its shape since the path was compiled, the path compiled again for the new
// value. The new path replaces this one's steps, except while an evaluation of this path is
// under way (its steps are in use): it then serves this evaluation only, held in `fresh`.
// A failed compilation raises here and is tried again at the next use.
TkvDesignator& TkvDesignator::CompiledForCurrentValue(std::unique_ptr<TkvDesignator>& fresh) {
  if (Deferred) {
    CompileDeferred();
    return *this;
  }
  if (LateCode == nullptr || ShapeOf(LateGuard->GetValue()) == LateShape) return *this;
  TkvFrontEnd* frontEnd = FrontEnd();
  if (frontEnd == nullptr) throw Exception(UString(msg::NoFrontEnd));
  fresh = frontEnd->CompileDeferred(*Script, *LateCode);
  if (fresh == nullptr) return *this;
  if (evaluating_ > 0) return *fresh;
  TakeOver(*fresh);
  return *this;
}

// ---------------------------------------------------------------------------------------
// General evaluation

namespace {

int BoundArgCount(const TkvDesignatorItem& step, const TkvCustomVariable& callee) {
  return std::min(step.ItemCount(), callee.ItemCount());
}

// Within BoundArgCount, so no range check.
inline TkvParamItem& BoundParam(const TkvCustomVariable& callee, int index) {
  return *static_cast<TkvParamItem*>(callee.ItemAt(index));
}

// Straight into the parameter's stored value when it keeps one.
inline void StoreArgument(TkvParamItem& param, Variant&& value) {
  if (param.HasRole(irValueInPlace) && !param.ReadOnly) {
    param.Value = std::move(value);
  } else {
    param.SetValue(value);
  }
}

// Evaluates the `count` values first, then stores each into its parameter.
template <class ValueOf>
void StoreAfterEvaluatingAll(TkvCustomVariable& callee, int count, ValueOf valueOf) {
  constexpr int kInline = 8;  // calls with more arguments are rare; they take the heap
  Variant inlineValues[kInline];
  std::vector<Variant> spilled;
  Variant* values = inlineValues;
  if (count > kInline) {
    spilled.resize(static_cast<size_t>(count));
    values = spilled.data();
  }
  for (int i = 0; i < count; ++i) values[i] = valueOf(i);
  for (int i = 0; i < count; ++i) StoreArgument(BoundParam(callee, i), std::move(values[i]));
}

// Every argument is evaluated before any is bound. An argument may call the same item
// again (Max(a, Max(b, c)), F(2, F(1, 1)), M[2, M[1, 1]]), and that inner call binds the
// same parameter items: binding each value at once would let it overwrite the outer
// call's earlier arguments. The same order makes arguments of a recursive call that read
// the callee's own parameters see the caller's values.
void BindArguments(TkvDesignatorItem& step, TkvCustomVariable& callee) {
  const int count = BoundArgCount(step, callee);
  if (count == 0) return;
  if (count == 1) {
    StoreArgument(BoundParam(callee, 0), step.ArgAt(0)->GetValue());
    return;
  }
  StoreAfterEvaluatingAll(callee, count, [&step](int i) { return step.ArgAt(i)->GetValue(); });
}

void WriteBackVarArguments(TkvDesignatorItem& step, TkvCustomVariable& callee) {
  const int count = BoundArgCount(step, callee);
  for (int i = 0; i < count; ++i) {
    TkvParamItem& param = BoundParam(callee, i);
    if (param.IsVar) step.ArgAt(i)->SetValue(param.GetValue());
  }
}

// After a recursive call the var results are taken first, then the caller's locals come
// back, then the results are stored: an argument that is a local of the caller (or is
// indexed by one) must receive the result, not lose it to the restore.
void FinishRecursiveCall(TkvDesignatorItem& step, TkvCustomVariable& callee,
                         TkvLocalsGuard& locals) {
  const int count = BoundArgCount(step, callee);
  std::vector<std::pair<int, Variant>> results;
  for (int i = 0; i < count; ++i) {
    TkvParamItem* param = callee.ParamAt(i);
    if (param->IsVar) results.emplace_back(i, param->GetValue());
  }
  locals.Restore();
  for (const auto& [i, value] : results) step.ArgAt(i)->SetValue(value);
}

enum StepRole : uint8_t {
  kRolePlain = 0,
  kRoleDesignator = 1,
  kRoleProcedure = 2,
  kRoleHelper = 4,
};

uint8_t RoleOf(TkvDesignatorItem& step, const TkvCustomVariable* r) {
  if (step.RoleOf != r) {
    uint8_t role = kRolePlain;
    if (r->HasRole(irDesignator)) role |= kRoleDesignator;
    if (r->HasRole(irProcedure)) role |= kRoleProcedure;
    if (r->HasRole(irHelper)) role |= kRoleHelper;
    step.RefRole = role;
    step.RoleOf = r;
  }
  return step.RefRole;
}

// The item whose stored value an argument is, when it is a single plain operand (a
// variable, a parameter, a constant).
TkvCustomVariable* PlainOperand(TkvCustomExpression* argument) {
  auto* expression = dynamic_cast<TkvExpression*>(argument);
  return expression != nullptr ? PlainValueItem(expression->SingleOperand()) : nullptr;
}

// The item a var argument's write-back stores into, when the argument is a path to a plain
// variable or parameter (a constant argument ignores the write-back).
TkvCustomVariable* PlainWriteTarget(TkvCustomExpression* argument) {
  auto* expression = dynamic_cast<TkvExpression*>(argument);
  if (expression == nullptr || expression->ReadOnly) return nullptr;
  auto* node = dynamic_cast<TkvDesignatorNode*>(expression->RootNode.get());
  if (node == nullptr) return nullptr;
  return PlainValueItem(node->Designator != nullptr ? node->Designator.get() : node->ReadTarget);
}

// What an argument's evaluation comes down to: the root of its expression tree (the
// expression itself only forwards to it), or the argument.
TkvCustomVariable* EvaluatedPart(TkvCustomExpression* argument) {
  auto* expression = dynamic_cast<TkvExpression*>(argument);
  if (expression != nullptr && expression->RootNode != nullptr) {
    return expression->RootNode.get();
  }
  return argument;
}

bool IsParameterOf(const TkvCustomVariable& callee, const TkvCustomVariable* item) {
  for (int j = 0; j < callee.ItemCount(); ++j) {
    if (callee.ItemAt(j) == item) return true;
  }
  return false;
}

void PlanArguments(TkvDesignatorItem& step, const TkvCustomVariable& callee) {
  const int count = BoundArgCount(step, callee);
  step.Plan.assign(static_cast<size_t>(count), {});
  bool direct = true;
  bool hasVar = false;
  for (int i = 0; i < count; ++i) {
    TkvDesignatorItem::ArgumentPlan& plan = step.Plan[static_cast<size_t>(i)];
    if (TkvCustomVariable* plain = PlainOperand(step.ArgAt(i))) {
      plan.read = &plain->Value;
      if (IsParameterOf(callee, plain)) direct = false;
    } else {
      plan.evaluate = EvaluatedPart(step.ArgAt(i));
      direct = false;
    }
    TkvParamItem& param = BoundParam(callee, i);
    if (param.HasRole(irValueInPlace) && !param.ReadOnly) plan.store = &param.Value;
    if (param.IsVar) {
      plan.write = PlainWriteTarget(step.ArgAt(i));
      hasVar = true;
    }
  }
  step.BindsDirectly = direct;
  step.HasVarParams = hasVar;
  step.PlannedFor = &callee;
}

inline Variant ArgumentValue(const TkvDesignatorItem::ArgumentPlan& plan) {
  return plan.read != nullptr ? *plan.read : plan.evaluate->GetValue();
}

inline void StorePlanned(const TkvDesignatorItem::ArgumentPlan& plan, TkvParamItem& param,
                         Variant&& value) {
  if (plan.store != nullptr) {
    *plan.store = std::move(value);
  } else {
    param.SetValue(value);
  }
}

// As BindArguments, reading plain operands in place and storing straight into parameters.
void BindPlannedArguments(TkvDesignatorItem& step, TkvCustomVariable& callee) {
  const TkvDesignatorItem::ArgumentPlan* plans = step.Plan.data();
  const int count = static_cast<int>(step.Plan.size());
  if (step.BindsDirectly || count == 1) {
    for (int i = 0; i < count; ++i) {
      const TkvDesignatorItem::ArgumentPlan& plan = plans[i];
      if (plan.store != nullptr && plan.read != nullptr) {
        *plan.store = *plan.read;  // no temporary in between
      } else {
        StorePlanned(plan, BoundParam(callee, i), ArgumentValue(plan));
      }
    }
    return;
  }
  StoreAfterEvaluatingAll(callee, count, [plans](int i) { return ArgumentValue(plans[i]); });
}

void WriteBackPlannedVarArguments(TkvDesignatorItem& step, TkvCustomVariable& callee) {
  const int count = static_cast<int>(step.Plan.size());
  for (int i = 0; i < count; ++i) {
    TkvParamItem& param = BoundParam(callee, i);
    if (!param.IsVar) continue;
    TkvCustomVariable* target = step.Plan[static_cast<size_t>(i)].write;
    if (target == nullptr) {
      step.ArgAt(i)->SetValue(param.GetValue());
    } else if (!target->ReadOnly) {
      target->Value = param.HasRole(irValueInPlace) ? param.Value : param.GetValue();
    }
  }
}

// A call of a script procedure: a recursive or re-entrant one saves the caller's frame
// around it.
Variant CallProcedure(TkvDesignatorItem& step, TkvProcVariable& proc, bool needResult) {
  if (step.PlannedFor != &proc) PlanArguments(step, proc);
  const bool recursive = proc.Executing;
  TkvLocalsGuard locals(recursive ? &proc.Frame() : nullptr);
  BindPlannedArguments(step, proc);
  proc.NeedResult = needResult;
  Variant result = proc.Call();
  if (!step.HasVarParams) return result;  // the guard restores a recursive call's locals
  if (recursive) {
    FinishRecursiveCall(step, proc, locals);
  } else {
    WriteBackPlannedVarArguments(step, proc);
  }
  return result;
}

}  // namespace

Variant TkvDesignator::Evaluate(bool write, const Variant* valueToWrite) {
  Variant current = Variant::Null();
  TkvCustomVariable* previous = nullptr;
  const int count = StepCount();
  for (int i = 0; i < count; ++i) {
    TkvDesignatorItem& step = *StepAt(i);
    TkvCustomVariable* r = step.Ref;
    const bool isLast = i == count - 1;
    if (r == nullptr) continue;  // only a half-built path has an empty step

    const uint8_t role = RoleOf(step, r);
    if ((role & kRoleDesignator) != 0) {
      previous = r;
      if (write && isLast) {
        r->SetValue(*valueToWrite);  // a write must not vanish silently
      } else {
        current = r->GetValue();
      }
      continue;
    }

    auto* proc = (role & kRoleProcedure) != 0 ? static_cast<TkvProcVariable*>(r) : nullptr;
    const bool recursive = proc != nullptr && proc->Executing;
    TkvLocalsGuard locals(recursive ? &proc->Frame() : nullptr);
    BindArguments(step, *r);

    // The preceding value is handed over, not copied: current is overwritten by this
    // step's result (or, after a write, no longer read), and a second reference to an
    // array's body would make the helper's in-place element write copy the whole array.
    if ((role & kRoleHelper) != 0) {
      auto* helper = static_cast<TkvCustomHelper*>(r);
      helper->ParentRef = previous;
      helper->InstanceValue = std::move(current);
      helper->Script = Script;
    }
    previous = r;

    if (write && isLast) {
      r->SetValue(*valueToWrite);
    } else {
      r->NeedResult = !isLast || NeedResult;
      current = r->GetValue();
    }

    if (recursive) {
      FinishRecursiveCall(step, *r, locals);
    } else {
      WriteBackVarArguments(step, *r);
    }
  }
  return current;
}

namespace {

class EvaluationMark {
 public:
  explicit EvaluationMark(int& count) : count_(count) { ++count_; }
  ~EvaluationMark() { --count_; }
  EvaluationMark(const EvaluationMark&) = delete;
  EvaluationMark& operator=(const EvaluationMark&) = delete;

 private:
  int& count_;
};

}  // namespace

// As the general road hands the preceding step's item and value to the helper.
Variant TkvDesignator::CallHost(TkvDesignatorItem& step, TkvCustomVariable* parent,
                                Variant instance) {
  auto& method = *static_cast<TkvMethodHelper*>(step.Ref);
  method.ParentRef = parent;
  method.InstanceValue = std::move(instance);
  method.Script = Script;
  method.NeedResult = NeedResult;
  return method.CallWith(step);
}

Variant TkvDesignator::GetValue() {
  // A script procedure's call, the most frequent, is tested first: its path has one step,
  // so it is never late-bound (a late-bound path starts with a Variant).
  if (FastPathKind == fpProcedureCall) {
    TkvDesignatorItem& step = *StepAt(0);
    return CallProcedure(step, *static_cast<TkvProcVariable*>(step.Ref), NeedResult);
  }
  // Direct calls are never deferred; a late-bound path (LateCode) is checked for the shape of
  // its value first, on the general road.
  switch (LateCode == nullptr ? FastPathKind : fpGeneral) {
    case fpHostCall:
      return CallHost(*StepAt(0), nullptr, Variant::Null());
    case fpMethodCall:
      return CallHost(*StepAt(1), RefItem, RefItem->GetValue());
    default:
      break;
  }
  std::unique_ptr<TkvDesignator> fresh;
  TkvDesignator& path = CompiledForCurrentValue(fresh);
  const EvaluationMark mark(evaluating_);
  return path.Evaluate(false, nullptr);
}

void TkvDesignator::SetValue(const Variant& value) {
  std::unique_ptr<TkvDesignator> fresh;
  TkvDesignator& path = CompiledForCurrentValue(fresh);
  const EvaluationMark mark(evaluating_);
  path.Evaluate(true, &value);
}

// ---------------------------------------------------------------------------------------
// Fast paths. Each one serves only the path kind it was made for; a designator whose kind
// differs (not classified yet, or filled by a deferred compilation) takes the general road.

Variant TkvVariableDesignator::GetValue() {
  if (FastPathKind != fpVariable) return TkvDesignator::GetValue();
  return RefItem->GetValue();
}

void TkvVariableDesignator::SetValue(const Variant& value) {
  if (FastPathKind != fpVariable) return TkvDesignator::SetValue(value);
  RefItem->SetValue(value);
}

namespace {

size_t CheckedCharIndex(const UString& text, int32_t index) {
  if (index < 1 || static_cast<size_t>(index) > text.size()) {
    throw ERangeError(FormatMessage(msg::StringIndexOutOfRange, IntToUStr(index)));
  }
  return static_cast<size_t>(index) - 1;
}

}  // namespace

Variant TkvStringDesignator::GetValue() {
  if (FastPathKind != fpStringChar) return TkvDesignator::GetValue();
  const int32_t index = Index->GetValue().ToInt();
  const UString& text = static_cast<TkvstringVariable*>(RefItem)->Storage.Str();
  return Variant(UString(1, text[CheckedCharIndex(text, index)]));
}

// Writes into the variable's own buffer, unshared first, so other holders of the same
// string keep their copy.
void TkvStringDesignator::SetValue(const Variant& value) {
  if (FastPathKind != fpStringChar) return TkvDesignator::SetValue(value);
  const int32_t index = Index->GetValue().ToInt();
  SharedString& storage = static_cast<TkvstringVariable*>(RefItem)->Storage;
  const size_t at = CheckedCharIndex(storage.Str(), index);
  const UString replacement = value.ToString();
  if (replacement.empty()) throw EConvertError(UString(msg::EmptyCharacter));
  storage.Mutable()[at] = replacement[0];
}

namespace {

// Binds the index values (all evaluated first: an index may read the same array through
// the same helper), then points the helper at the variable.
TkvArrayHelper& PrepareArrayHelper(TkvCustomVariable* helperItem, TkvCustomVariable* array,
                                   TkvDesignatorItem& indexStep) {
  auto& helper = static_cast<TkvArrayHelper&>(*helperItem);
  BindArguments(indexStep, helper);
  helper.ParentRef = array;
  return helper;
}

// The element of a one-dimensional array at an Integer index inside its bounds, read in
// place; nullptr for every other case, which the helper then serves or reports.
inline const Variant* ElementInPlace(const Variant& array, const Variant& index) {
  const VarArrayData* data = array.ArrayData();
  if (data == nullptr || data->bounds.size() != 1 || index.Type() != varInteger) return nullptr;
  const ArrayBound& bound = data->bounds[0];
  const int32_t i = index.RawInt();
  if (i < bound.low || i > bound.high) return nullptr;
  return &data->elems[static_cast<size_t>(i) - static_cast<size_t>(bound.low)];
}

}  // namespace

// The helper with an index already evaluated bound, for the cases the offset path leaves to it.
TkvCustomVariable& TkvArrayDesignator::HelperWithIndex(const Variant& index) {
  auto& helper = static_cast<TkvArrayHelper&>(*Index);
  helper.ParamAt(0)->Value = index;
  helper.ParentRef = RefItem;
  return helper;
}

// The index when it is a plain operand (a variable, a constant), read in place; else nullptr.
inline const Variant* TkvArrayDesignator::DirectIndex() const {
  if (IndexExpression == nullptr || IndexExpression->RootNode == nullptr) return nullptr;
  return IndexExpression->RootNode->Direct;
}

Variant TkvArrayDesignator::ComputedIndex() const {
  if (IndexExpression != nullptr && IndexExpression->RootNode != nullptr) {
    return IndexExpression->RootNode->GetValue();  // the expression only forwards to its root
  }
  return IndexStep->ArgAt(0)->GetValue();
}

[[gnu::always_inline]] inline Variant TkvArrayDesignator::ElementAt(const Variant& index) {
  if (const Variant* element = ElementInPlace(RefItem->Value, index)) return *element;
  return HelperWithIndex(index).GetValue();
}

Variant TkvArrayDesignator::GetValue() {
  if (FastPathKind != fpArrayElement) return TkvDesignator::GetValue();
  if (!SingleIndex) return PrepareArrayHelper(Index, RefItem, *IndexStep).GetValue();
  if (const Variant* index = DirectIndex()) return ElementAt(*index);
  return ElementAt(ComputedIndex());
}

// The element is stored as the array's element type, into a body unshared first, as the
// helper stores it.
inline void TkvArrayDesignator::StoreElement(const Variant& index, const Variant& value) {
  Variant& array = RefItem->Value;
  const Variant* element = RefItem->ReadOnly ? nullptr : ElementInPlace(array, index);
  if (element == nullptr) return HelperWithIndex(index).SetValue(value);
  const size_t offset = static_cast<size_t>(element - array.ArrayData()->elems.data());
  const uint16_t elemType = array.ArrayData()->elemType;
  if (value.Type() == elemType || elemType == varVariant) {
    array.MutableArrayData()->elems[offset] = value;
  } else {
    Variant stored = VarAsType(value, elemType);
    array.MutableArrayData()->elems[offset] = std::move(stored);
  }
}

void TkvArrayDesignator::SetValue(const Variant& value) {
  if (FastPathKind != fpArrayElement) return TkvDesignator::SetValue(value);
  if (!SingleIndex) return PrepareArrayHelper(Index, RefItem, *IndexStep).SetValue(value);
  if (const Variant* index = DirectIndex()) return StoreElement(*index, value);
  StoreElement(ComputedIndex(), value);
}

// ---------------------------------------------------------------------------------------
// Set constructors

void TkvSetExpression::AddElement(TkvCustomExpression* expr) {
  AddItem(expr);  // nullptr is the range mark
}

// Items are evaluated only as the scan reaches them, and the scan stops at the first match.
// A range mark without an upper bound (never built by the compiler) is read as a single item.
bool TkvSetExpression::Contains(const Variant& value) {
  const int count = ItemCount();
  int i = 0;
  while (i < count) {
    auto* item = static_cast<TkvCustomVariable*>(ItemAt(i));
    if (item == nullptr) {
      ++i;
      continue;
    }
    const bool isRange = i + 2 < count && ItemAt(i + 1) == nullptr && ItemAt(i + 2) != nullptr;
    if (isRange) {
      auto* high = static_cast<TkvCustomVariable*>(ItemAt(i + 2));
      if (VarCompare(value, item->GetValue()) >= 0 && VarCompare(value, high->GetValue()) <= 0) {
        return true;
      }
      i += 3;
    } else {
      if (VarCompare(value, item->GetValue()) == 0) return true;
      ++i;
    }
  }
  return false;
}

Variant TkvSetExpression::GetValue() {
  const int count = ItemCount();
  std::vector<Variant> values;
  values.reserve(count);
  for (int i = 0; i < count; ++i) {
    auto* item = static_cast<TkvCustomVariable*>(ItemAt(i));
    values.push_back(item != nullptr ? item->GetValue() : Variant(0));
  }
  return Variant::ArrayOf(std::move(values));
}

}  // namespace kv
