// Arithmetic, logical and comparison operations on Variants, with the host's rules: each
// operand falls into a class by its tag (null, integer, real, currency, string, boolean,
// date, invalid) and the pair of classes picks the handler that does the work.
#pragma once

#include "host/core/variant.h"

namespace kv {

enum class VarOp : uint8_t {
  Add, Subtract, Multiply, Divide, IntDivide, Modulus, ShiftLeft, ShiftRight, And, Or, Xor,
};

// The result of `left op right`. Errors: EVariantError "Invalid variant operation" for an
// invalid class, "Invalid variant type conversion" for a failed conversion, EDivByZero
// "Division by zero" for an integer division or modulus by zero, the floating-point
// exceptions for a real division by zero, an invalid operation or an overflow.
Variant VarBinaryOp(VarOp op, const Variant& left, const Variant& right);
// left := left op right, reusing left's storage where it can.
void VarBinaryOpInPlace(VarOp op, Variant& left, const Variant& right);

// -1, 0 or 1. Null orders below every other value and equals Null; strings compare their
// code units case-sensitively, a prefix being the smaller.
int VarCompare(const Variant& left, const Variant& right);

Variant VarNeg(const Variant& v);
Variant VarNot(const Variant& v);

}  // namespace kv
