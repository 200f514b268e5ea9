// Evaluation of expression nodes. Binary nodes evaluate Left first, then Right. Integer
// arithmetic follows the integer rule of kv_integer_arithmetic.h (32 bits, wrapping around,
// when both operands are statically integers and their values are integers); everything else
// follows the Variant operations of host/core/variant_ops.h.
#include <cstdint>
#include <limits>

#include "engine/kv_condition.h"
#include "engine/kv_iconst.h"
#include "engine/kv_iexpression.h"
#include "engine/kv_integer_arithmetic.h"
#include "host/core/exceptions.h"
#include "host/core/handles.h"
#include "host/core/string_routines.h"
#include "host/core/variant_ops.h"

namespace kv {

namespace {

// Finish rejects a tree with a missing operand, so this only fires when a host evaluates an
// expression whose Finish failed.
TkvExpressionNode& Operand(TkvExpressionNode* node) {
  if (node == nullptr) throw Exception(UString(msg::ExprMissingOperand));
  return *node;
}

[[noreturn]] void DivisionByZero() { throw EDivByZero(UString(msg::DivisionByZero)); }

// Truncating division; the one overflowing case (min / -1) wraps like the other operators.
int32_t WrapDiv(int32_t a, int32_t b) {
  if (b == 0) DivisionByZero();
  if (b == -1) return WrapSub(0, a);
  return a / b;
}

// The remainder takes the sign of the left operand.
int32_t WrapMod(int32_t a, int32_t b) {
  if (b == 0) DivisionByZero();
  if (b == -1) return 0;
  return a % b;
}

TkvExpressionNode& Operand(const std::unique_ptr<TkvExpressionNode>& node) {
  return Operand(node.get());
}

// An operand's value: read in place when the node stores it (TkvExpressionNode::Direct).
inline Variant ValueOf(const std::unique_ptr<TkvExpressionNode>& node) {
  TkvExpressionNode& operand = Operand(node);
  return operand.Direct != nullptr ? *operand.Direct : operand.GetValue();
}

// The general halves of Compare and Arithmetic are out of line, so that the usual case, two
// Integers stored in place, runs without saving registers for the rest.
template <class Test>
[[gnu::noinline]] bool CompareValues(TkvOperatorNode& node, Test test) {
  if (node.BothDirect) return test(VarCompare(*node.Left->Direct, *node.Right->Direct));
  const Variant left = ValueOf(node.Left);
  const Variant right = ValueOf(node.Right);
  if (left.Type() == varInteger && right.Type() == varInteger) {
    const int32_t a = left.RawInt(), b = right.RawInt();
    return test(a < b ? -1 : (b < a ? 1 : 0));
  }
  return test(VarCompare(left, right));
}

template <class Test>
inline bool Compare(TkvOperatorNode& node, Test test) {
  if (node.BothDirect) {
    const Variant& left = *node.Left->Direct;
    const Variant& right = *node.Right->Direct;
    if (left.Type() == varInteger && right.Type() == varInteger) {  // VarCompare's first case
      const int32_t a = left.RawInt(), b = right.RawInt();
      return test(a < b ? -1 : (b < a ? 1 : 0));
    }
  }
  return CompareValues(node, test);
}

Variant Binary(TkvOperatorNode& node, VarOp op) {
  Variant left = ValueOf(node.Left);
  const Variant right = ValueOf(node.Right);
  VarBinaryOpInPlace(op, left, right);
  return left;
}

template <int32_t (*IntOp)(int32_t, int32_t)>
[[gnu::noinline]] Variant ArithmeticOnValues(TkvOperatorNode& node, VarOp op) {
  Variant left = ValueOf(node.Left);
  const Variant right = ValueOf(node.Right);
  if (node.BothInteger && HoldsInteger(left) && HoldsInteger(right)) {
    return Variant(IntOp(AsInt32(left), AsInt32(right)));
  }
  VarBinaryOpInPlace(op, left, right);
  return left;
}

template <int32_t (*IntOp)(int32_t, int32_t)>
inline Variant Arithmetic(TkvOperatorNode& node, VarOp op) {
  if (node.BothInteger && node.BothDirect) {
    const Variant& a = *node.Left->Direct;
    const Variant& b = *node.Right->Direct;
    if (a.Type() == varInteger && b.Type() == varInteger) {  // the usual pair
      return Variant(IntOp(a.RawInt(), b.RawInt()));
    }
  }
  return ArithmeticOnValues<IntOp>(node, op);
}

}  // namespace

bool TkvExpression::Test() {
  return RootNode != nullptr ? RootNode->Test() : IsTrue(Variant::Null());
}

Variant TkvDesignatorNode::GetValue() {
  return Direct != nullptr ? *Direct : ReadTarget->GetValue();
}

Variant TkvSetNode::GetValue() { return Set->GetValue(); }

Variant TNoneNode::GetValue() { return Left != nullptr ? Left->GetValue() : Variant::Null(); }

bool TGreatNode::Test() {
  return Compare(*this, [](int c) { return c > 0; });
}
Variant TGreatNode::GetValue() { return Variant(Test()); }
bool TLessNode::Test() {
  return Compare(*this, [](int c) { return c < 0; });
}
Variant TLessNode::GetValue() { return Variant(Test()); }
bool TLessEqNode::Test() {
  return Compare(*this, [](int c) { return c <= 0; });
}
Variant TLessEqNode::GetValue() { return Variant(Test()); }
bool TGreatEqNode::Test() {
  return Compare(*this, [](int c) { return c >= 0; });
}
Variant TGreatEqNode::GetValue() { return Variant(Test()); }
bool TNonEqNode::Test() {
  return Compare(*this, [](int c) { return c != 0; });
}
Variant TNonEqNode::GetValue() { return Variant(Test()); }
bool TEqNode::Test() {
  return Compare(*this, [](int c) { return c == 0; });
}
Variant TEqNode::GetValue() { return Variant(Test()); }

Variant TPlusNode::GetValue() { return Arithmetic<WrapAdd>(*this, VarOp::Add); }
Variant TMinusNode::GetValue() { return Arithmetic<WrapSub>(*this, VarOp::Subtract); }
Variant TMulNode::GetValue() { return Arithmetic<WrapMul>(*this, VarOp::Multiply); }
Variant TDivIntNode::GetValue() { return Arithmetic<WrapDiv>(*this, VarOp::IntDivide); }
Variant TModNode::GetValue() { return Arithmetic<WrapMod>(*this, VarOp::Modulus); }

// Real division even for two integers, whatever the static kind says.
Variant TDivFloatNode::GetValue() { return Binary(*this, VarOp::Divide); }

Variant TStrCatNode::GetValue() {
  Variant left = ValueOf(Left);
  const Variant right = ValueOf(Right);
  if (left.Type() != varString) {
    VarBinaryOpInPlace(VarOp::Add, left, right);
    return left;
  }
  const UString tail = right.ToString();
  CheckStringLength(static_cast<int64_t>(left.RawString().size() + tail.size()));
  UString joined = left.RawString();
  joined += tail;
  return Variant(std::move(joined));
}

// With two static booleans the right operand is evaluated only when it decides the result.
Variant TAndNode::GetValue() {
  if (!BothBoolean) return Binary(*this, VarOp::And);
  Variant left = ValueOf(Left);
  if (!IsTrue(left)) return left;
  return ValueOf(Right);
}

bool TAndNode::Test() {
  if (!BothBoolean) return IsTrue(GetValue());
  return Operand(Left).Test() && Operand(Right).Test();
}

Variant TOrNode::GetValue() {
  if (!BothBoolean) return Binary(*this, VarOp::Or);
  Variant left = ValueOf(Left);
  if (IsTrue(left)) return left;
  return ValueOf(Right);
}

bool TOrNode::Test() {
  if (!BothBoolean) return IsTrue(GetValue());
  return Operand(Left).Test() || Operand(Right).Test();
}

Variant TXorNode::GetValue() { return Binary(*this, VarOp::Xor); }
Variant TShlNode::GetValue() { return Binary(*this, VarOp::ShiftLeft); }
Variant TShrNode::GetValue() { return Binary(*this, VarOp::ShiftRight); }

Variant TNotNode::GetValue() { return VarNot(ValueOf(Left)); }
Variant TUnMinusNode::GetValue() { return VarNeg(ValueOf(Left)); }

// Brackets never survive building; reading one yields its content.
Variant TLeftBracketNode::GetValue() {
  return Left != nullptr ? Left->GetValue() : Variant::Null();
}
Variant TRightBracketNode::GetValue() { return Variant::Null(); }

Variant TInNode::GetValue() {
  const Variant left = ValueOf(Left);
  auto* setNode = dynamic_cast<TkvSetNode*>(&Operand(Right));
  if (setNode == nullptr) throw Exception(UString(msg::ExprInNeedsSet));
  return Variant(setNode->Set->Contains(left));
}

// The right operand names a class; it is not evaluated (that would make an instance).
Variant TIsNode::GetValue() {
  const Variant left = ValueOf(Left);
  auto* designatorNode = dynamic_cast<TkvDesignatorNode*>(&Operand(Right));
  const TkvClassVariable* descriptor =
      designatorNode != nullptr ? dynamic_cast<TkvClassVariable*>(designatorNode->FirstStepRef())
                                : nullptr;
  if (descriptor == nullptr) throw Exception(UString(msg::ExprIsNeedsClass));
  if (left.IsNull() || left.IsEmpty()) return Variant(false);
  const TObject* object = handles::ToObjectOrNil(AsInt32(left));
  if (object == nullptr || descriptor->HostClass == nullptr) return Variant(false);
  return Variant(object->InheritsFrom(descriptor->HostClass));
}

}  // namespace kv
