// Arithmetic, logical and comparison operations on Variants, with the host's rules: each
// operand falls into a class by its tag (null, integer, real, currency, string, boolean,
// date, invalid) and the pair of classes picks the handler that does the work.
#pragma once

#include "host/core/variant.h"

namespace kv {

enum class VarOp : uint8_t {
  Add,
  Subtract,
  Multiply,
  Divide,
  IntDivide,
  Modulus,
  ShiftLeft,
  ShiftRight,
  And,
  Or,
  Xor,
};

// The result of `left op right`. Errors: EVariantError "Invalid variant operation" for an
// invalid class (Empty, arrays and dispatch objects among them), "Invalid variant type
// conversion" for a failed conversion, EDivByZero "Division by zero" for an integer division
// or modulus by zero, the floating-point exceptions for a real division by zero (EZeroDivide;
// EInvalidOp for 0/0), an invalid operation or an overflow (EOverflow), EVariantError
// "Variant overflow" for a currency result out of range and EIntOverflow "Integer overflow"
// for the one integer quotient out of range (-2147483648 div -1).
//
// Integer sums, differences and products that overflow 32 bits are redone in doubles, so
// $7FFFFFFF + 1 is the double 2147483648. Shift counts use their low five bits; shr is
// logical. Floats become integers for div, mod, shifts and the bitwise operations by
// rounding half to even (7.5 div 2 = 4).
Variant VarBinaryOp(VarOp op, const Variant& left, const Variant& right);
// left := left op right, reusing left's storage where it can.
void VarBinaryOpInPlace(VarOp op, Variant& left, const Variant& right);

// -1, 0 or 1. Null orders below every other value and equals Null; strings compare their
// code units case-sensitively, a prefix being the smaller. A NaN operand raises EInvalidOp.
int VarCompare(const Variant& left, const Variant& right);

// Negation keeps currency and date tags, gives a double for reals and strings and an
// integer for integers and booleans (-(-2147483648) is the double 2147483648).
Variant VarNeg(const Variant& v);
// Not negates a boolean logically and inverts the bits of any other value's integer.
// Empty raises "Invalid variant operation"; Null stays Null.
Variant VarNot(const Variant& v);

}  // namespace kv
