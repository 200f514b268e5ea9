// Type check of expression trees: bottom-up, left subtree first, so the first error recorded
// is the left-most, deepest offending operator.
#include "engine/kv_expression_check.h"

#include "engine/kv_iconst.h"

namespace kv::expr_check {

namespace {

UString Significant(const UString& typeName) {
  return typeName.size() > kTypeNameSignificant ? typeName.substr(0, kTypeNameSignificant)
                                                : typeName;
}

bool IsComparison(TkvOperatorKind kind) { return kind >= okGreat && kind <= okEq; }

bool IsUnary(TkvOperatorKind kind) { return kind == okNot || kind == okUnMinus; }

// What the left operand's kind allows beyond plain compatibility of the two kinds.
bool LeftKindAllows(TkvValueKind left, TkvOperatorKind op) {
  switch (left) {
    case vkBoolean:
      return op == okNonEq || op == okEq || op == okOr || op == okXor || op == okAnd || op == okNot;
    case vkChar:
    case vkString:
      return IsComparison(op) || op == okPlus || op == okStrCat || op == okIn;
    case vkClass:
    case vkArray:
      return op == okNonEq || op == okEq;
    default:
      return true;  // integer, float, variant, enumeration
  }
}

bool NamesClass(const TkvExpressionNode* node) {
  const auto* designatorNode = dynamic_cast<const TkvDesignatorNode*>(node);
  return designatorNode != nullptr &&
         dynamic_cast<const TkvClassVariable*>(designatorNode->FirstStepRef()) != nullptr;
}

// Faults of shape rather than type: missing operands, unclosed brackets, and right operands
// that "in" and "is" cannot work with.
const char16_t* ShapeFault(const TkvOperatorNode& node) {
  const TkvOperatorKind kind = node.OperatorKind;
  if (kind == okLeftBracket) return msg::ExprMissingBracket;
  if (kind == okNone || kind == okRightBracket) return msg::ExprMissingOperand;
  if (node.Left == nullptr) return msg::ExprMissingOperand;
  if (IsUnary(kind)) return nullptr;
  if (node.Right == nullptr) return msg::ExprMissingOperand;
  if (kind == okIn && dynamic_cast<const TkvSetNode*>(node.Right.get()) == nullptr) {
    return msg::ExprInNeedsSet;
  }
  if (kind == okIs && !NamesClass(node.Right.get())) return msg::ExprIsNeedsClass;
  return nullptr;
}

bool TypeFault(const TypeRecord& l, const TypeRecord& r, TkvOperatorKind op) {
  if (op == okIs && l.Kind == vkClass && r.Kind == vkClass) return false;
  if (!TypesCompatible(l.Kind, l.TypeName, r.Kind, r.TypeName)) return true;
  return !LeftKindAllows(l.Kind, op);
}

void Record(Failure& failure, const TkvExpressionNode& node, const char16_t* message) {
  if (failure.Failed()) return;
  failure.Position = KnownPlaceText(node.Place);
  failure.Message = message;
}

TypeRecord Check(TkvExpressionNode* node, Failure& failure) {
  if (node == nullptr) return TypeRecord{};
  TkvOperatorNode* op = AsOperator(node);
  if (op == nullptr) return TypeRecord{node->Kind, Significant(node->TypeName)};

  const TypeRecord l = Check(op->Left.get(), failure);
  const TypeRecord r = Check(op->Right.get(), failure);
  op->BothInteger = l.Kind == vkInteger && r.Kind == vkInteger;
  op->BothBoolean = l.Kind == vkBoolean && r.Kind == vkBoolean;
  op->BothDirect = op->Left != nullptr && op->Right != nullptr && op->Left->Direct != nullptr &&
                   op->Right->Direct != nullptr;

  TypeRecord result = l;
  if (const char16_t* fault = ShapeFault(*op)) {
    Record(failure, *op, fault);
  } else if (TypeFault(l, r, op->OperatorKind)) {
    Record(failure, *op, msg::IncompatibleTypes);
  } else {
    const bool intAndFloat =
        (l.Kind == vkInteger && r.Kind == vkFloat) || (l.Kind == vkFloat && r.Kind == vkInteger);
    if (intAndFloat) result.Kind = vkFloat;
    const TkvOperatorKind kind = op->OperatorKind;
    if (IsComparison(kind) || kind == okIn || kind == okIs) result.Kind = vkBoolean;
  }
  op->Kind = result.Kind;
  op->TypeName = result.TypeName;
  return result;
}

}  // namespace

TypeRecord CheckTree(TkvExpressionNode* root, Failure& failure) { return Check(root, failure); }

}  // namespace kv::expr_check
