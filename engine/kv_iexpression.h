// Expressions: a tree of operator and operand nodes, built one item at a time in source
// order (operators by text, operands as constants, designators or set constructors). Each
// item is placed by operator priority and brackets as it arrives; Finish removes the
// placeholder root, type-checks bottom-up and reports the first error by position.
#pragma once

#include <cstdint>
#include <memory>

#include "engine/kv_designators.h"
#include "engine/kv_operators.h"

namespace kv {

class TkvExpressionNode;

class TkvExpression : public TkvCustomExpression {
 public:
  TkvExpression();
  ~TkvExpression() override;

  // Building: set Place before each add; every node created copies it.
  void AddOperator(UStringView text);
  void AddConstant(const Variant& value);
  void AddDesignator(std::unique_ptr<TkvDesignator> designator);
  void AddSetConstructor(std::unique_ptr<TkvSetExpression> set);
  // Empty when the tree type-checks, else the position of the first offending operator
  // (or of the first malformed item); FinishError then says what is wrong.
  UString Finish();

  // x := x op e  ->  e, answering op: okPlus, okMinus, okMul or okDivFloat; okNone when
  // nothing folded (the expression is left as it was).
  TkvOperatorKind FoldSelfAssignment(TkvDesignator* target);
  // The item whose value is the whole expression's when it is one operand, else nullptr.
  TkvCustomVariable* SingleOperand() const;

  Variant GetValue() override;
  bool Test() override;
  void SetValue(const Variant& value) override;  // writes through a single designator

  TkvExpressionNode* CurrentNode = nullptr;
  std::unique_ptr<TkvExpressionNode> RootNode;
  // After Finish: empty, or what is wrong ("Incompatible types", "Missing operand", ...).
  const UString& FinishError() const;

 private:
  void AddNode(std::unique_ptr<TkvExpressionNode> node);
  void AddBinaryOperator(std::unique_ptr<TkvExpressionNode> node);
  void CloseBracket(std::unique_ptr<TkvExpressionNode> closing);
  // The first malformed item seen while building; Finish reports it before any type error.
  void NoteBuildError(UStringView message);
  // A compile makes expressions by the ten thousand and nearly all are sound: the texts of
  // a fault live apart, made at the first one.
  struct Faults {
    UString finishError;
    UString buildErrorPos;
    UString buildError;
  };
  Faults& NoteFaults();
  std::unique_ptr<Faults> faults_;
};

// ---------------------------------------------------------------------------------------
// Nodes. A node owns Left and Right; Parent points back up the tree.

class TkvExpressionNode : public TkvCustomVariable {
 public:
  virtual int Priority() const = 0;
  // As TkvCustomExpression::Test.
  virtual bool Test() { return IsTrue(GetValue()); }
  // Makes child the first free one of Left and Right and answers it. Callers ask
  // WantsOperand first: a third child would be dropped.
  TkvExpressionNode* Attach(std::unique_ptr<TkvExpressionNode> child);
  // Takes child (Left or Right) out of the node and hands it to the caller.
  std::unique_ptr<TkvExpressionNode> Detach(TkvExpressionNode* child);

  std::unique_ptr<TkvExpressionNode> Left;
  std::unique_ptr<TkvExpressionNode> Right;
  TkvExpressionNode* Parent = nullptr;
  // Where the node's value is stored when reading it has no effect and equals reading that
  // Variant (a constant, a plain variable or parameter); nullptr when the node computes its
  // value. Operators read such operands in place instead of through GetValue.
  const Variant* Direct = nullptr;
};

// A constant leaf; its kind follows the constant's tag.
class TkvOperandNode : public TkvExpressionNode {
 public:
  TkvOperandNode();
  explicit TkvOperandNode(const Variant& constant);
  int Priority() const override { return 0; }
};

// An access path as an operand. A path that names a plain variable or parameter is read
// through that item, and the path itself is not kept: such paths are most operands of a
// program, and the path with its step is three times the size of the node. ReadOnly is the
// path's.
class TkvDesignatorNode : public TkvOperandNode {
 public:
  explicit TkvDesignatorNode(std::unique_ptr<TkvDesignator> designator);
  Variant GetValue() override;
  void SetValue(const Variant& value) override;  // writes through the path, even if ReadOnly
  // The item the path's first step names (the variable when no path is kept).
  TkvCustomVariable* FirstStepRef() const;
  std::unique_ptr<TkvDesignator> Designator;  // nullptr when it only named ReadTarget
  TkvCustomVariable* ReadTarget;              // the variable itself for a plain-variable path
};

class TkvSetNode : public TkvOperandNode {
 public:
  explicit TkvSetNode(std::unique_ptr<TkvSetExpression> set);
  Variant GetValue() override;
  std::unique_ptr<TkvSetExpression> Set;
};

class TkvOperatorNode : public TkvExpressionNode {
 public:
  explicit TkvOperatorNode(TkvOperatorKind kind) : OperatorKind(kind) {}
  int Priority() const override;
  TkvOperatorKind OperatorKind;
  bool BothInteger = false;
  bool BothBoolean = false;
  // Both operands are there and stored in place (Direct): nothing to evaluate, so they are
  // compared or combined without copies. Set when the expression is checked.
  bool BothDirect = false;
};

// The node as an operator; nullptr for an operand or none. Only operands have priority 0:
// the compiler asks this of every node it places and checks, where a dynamic_cast would
// cost as much as the rest of that work.
inline TkvOperatorNode* AsOperator(TkvExpressionNode* node) {
  return node != nullptr && node->Priority() != 0 ? static_cast<TkvOperatorNode*>(node) : nullptr;
}
inline const TkvOperatorNode* AsOperator(const TkvExpressionNode* node) {
  return AsOperator(const_cast<TkvExpressionNode*>(node));
}

#define KV_OPERATOR_NODE(Name, OpKind)  \
  class Name : public TkvOperatorNode { \
   public:                              \
    Name() : TkvOperatorNode(OpKind) {} \
    Variant GetValue() override;        \
  };

#define KV_TESTING_NODE(Name, OpKind)   \
  class Name : public TkvOperatorNode { \
   public:                              \
    Name() : TkvOperatorNode(OpKind) {} \
    Variant GetValue() override;        \
    bool Test() override;               \
  };

KV_OPERATOR_NODE(TNoneNode, okNone)
KV_TESTING_NODE(TGreatNode, okGreat)
KV_TESTING_NODE(TLessNode, okLess)
KV_TESTING_NODE(TLessEqNode, okLessEq)
KV_TESTING_NODE(TGreatEqNode, okGreatEq)
KV_TESTING_NODE(TNonEqNode, okNonEq)
KV_TESTING_NODE(TEqNode, okEq)
KV_OPERATOR_NODE(TPlusNode, okPlus)
KV_OPERATOR_NODE(TStrCatNode, okStrCat)
KV_OPERATOR_NODE(TMinusNode, okMinus)
KV_TESTING_NODE(TOrNode, okOr)
KV_OPERATOR_NODE(TXorNode, okXor)
KV_OPERATOR_NODE(TMulNode, okMul)
KV_OPERATOR_NODE(TDivFloatNode, okDivFloat)
KV_OPERATOR_NODE(TDivIntNode, okDivInt)
KV_OPERATOR_NODE(TModNode, okMod)
KV_TESTING_NODE(TAndNode, okAnd)
KV_OPERATOR_NODE(TShlNode, okShl)
KV_OPERATOR_NODE(TShrNode, okShr)
KV_OPERATOR_NODE(TLeftBracketNode, okLeftBracket)
KV_OPERATOR_NODE(TRightBracketNode, okRightBracket)
KV_OPERATOR_NODE(TNotNode, okNot)
KV_OPERATOR_NODE(TUnMinusNode, okUnMinus)
KV_OPERATOR_NODE(TInNode, okIn)
KV_OPERATOR_NODE(TIsNode, okIs)

#undef KV_OPERATOR_NODE
#undef KV_TESTING_NODE

}  // namespace kv
