// Designators: compiled access paths (A, A.B[I], F(X), TStringList.Create, S[2]), and set
// constructors. Statements own their designators.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/kv_ifrontend.h"
#include "engine/kv_items.h"
#include "engine/kv_value_shape.h"

namespace kv {

class TkvExpression;

// One step of an access path: the item it calls and the argument expressions (owned, one
// per parameter of Ref).
class TkvDesignatorItem : public TkvItemList {
 public:
  TkvCustomExpression* ArgAt(int index) const;
  // The one-byte fields stand together, as in TkvCustomVariable: paths have steps by the
  // ten thousand.
  uint8_t Marker = 0;  // used by the compiler while it builds the path
  // The evaluation's note of what kind of item Ref is (designator, procedure, helper), so
  // that a call does not ask the type system again; valid while RoleOf == Ref.
  uint8_t RefRole = 0;
  // Of the plan below: every argument reads a plain operand that is no parameter of Ref,
  // so storing each value at once cannot change a later argument.
  bool BindsDirectly = false;
  bool HasVarParams = false;         // some argument is passed to a var parameter of Ref
  TkvCustomVariable* Ref = nullptr;  // not owned
  SourcePlace Place;
  const TkvCustomVariable* RoleOf = nullptr;

  // How a call of a script procedure passes each argument, worked out at the step's first
  // call (valid while PlannedFor == Ref): the stored value an argument that is a plain
  // operand reads, and the item a var argument that is a plain variable writes back to.
  // A procedure's parameters and a step's arguments are complete before either runs.
  struct ArgumentPlan {
    const Variant* read = nullptr;
    TkvCustomVariable* evaluate = nullptr;  // otherwise: the argument, or its expression's root
    TkvCustomVariable* write = nullptr;     // keeps its value in place; written unless ReadOnly
    // Where the value goes: the parameter's stored value when it keeps one and may be
    // written, otherwise nullptr (the parameter's SetValue takes it).
    Variant* store = nullptr;
  };
  std::vector<ArgumentPlan> Plan;
  const TkvCustomVariable* PlannedFor = nullptr;
};

enum TkvFastPath : uint8_t {
  fpGeneral = 0,
  fpVariable = 1,
  fpStringChar = 2,
  fpArrayElement = 3,
  fpProcedureCall = 4,  // a script procedure called with its arguments, nothing after it
  fpHostCall = 5,       // a bound function called with value arguments, nothing after it
  fpMethodCall = 6,     // a variable, then a bound method called with value arguments
};

// A compiled access path (A, A.B[I], F(X), TStringList.Create, S[2]); children are steps.
class TkvDesignator : public TkvCustomVariable {
 public:
  explicit TkvDesignator(TkvScript* script);
  ~TkvDesignator() override;

  TkvDesignatorItem* StepAt(int index) const;
  int StepCount() const { return ItemCount(); }
  TkvDesignatorItem* AddStep(TkvCustomVariable* ref, UString sourcePos);
  void Classify();
  void TakeOver(TkvDesignator& other);

  Variant GetValue() override;
  void SetValue(const Variant& value) override;

  TkvFastPath FastPathKind = fpGeneral;
  TkvScript* Script;
  TkvCustomVariable* Index = nullptr;  // string path: the index expression; array path: the helper
  TkvDesignatorItem* IndexStep = nullptr;  // array path: the step with the index expressions
  // Array path: one index expression for a helper of one plain parameter, so that an element
  // of a one-dimensional array is reached by its offset without binding the index.
  bool SingleIndex = false;
  TkvExpression* IndexExpression = nullptr;  // that index when it is an expression tree
  std::unique_ptr<TkvDeferredCode> Deferred;
  // A member path through a Variant's value is compiled for the shape the value had then
  // (LateGuard holds the value); the compiler sets these. When the value's shape has
  // changed (the Variant that held a string list holds a list now), the path is compiled
  // again from LateCode.
  TkvCustomVariable* LateGuard = nullptr;  // not owned
  TkvValueShape LateShape;
  std::unique_ptr<TkvDeferredCode> LateCode;

 protected:
  void CompileDeferred();
  Variant CallHost(TkvDesignatorItem& step, TkvCustomVariable* parent, Variant instance);
  TkvDesignator& CompiledForCurrentValue(std::unique_ptr<TkvDesignator>& fresh);
  Variant Evaluate(bool write, const Variant* valueToWrite);

 private:
  int evaluating_ = 0;  // evaluations of this path under way (an argument may re-enter it)
};

class TkvVariableDesignator : public TkvDesignator {
 public:
  using TkvDesignator::TkvDesignator;
  Variant GetValue() override;
  void SetValue(const Variant& value) override;
};

class TkvStringDesignator : public TkvDesignator {
 public:
  using TkvDesignator::TkvDesignator;
  Variant GetValue() override;
  void SetValue(const Variant& value) override;
};

class TkvArrayDesignator : public TkvDesignator {
 public:
  using TkvDesignator::TkvDesignator;
  Variant GetValue() override;
  void SetValue(const Variant& value) override;

 private:
  TkvCustomVariable& HelperWithIndex(const Variant& index);
  const Variant* DirectIndex() const;
  Variant ComputedIndex() const;
  Variant ElementAt(const Variant& index);
  void StoreElement(const Variant& index, const Variant& value);
};

// A set constructor: expressions in source order; a nullptr child between two expressions
// marks a range (a, nullptr, b is a..b).
class TkvSetExpression : public TkvCustomVariable {
 public:
  void AddElement(TkvCustomExpression* expr);  // nullptr marks a range
  bool Contains(const Variant& value);
  Variant GetValue() override;
};

}  // namespace kv
