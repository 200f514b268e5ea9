#include "host/core/variant_ops.h"

#include <cmath>
#include <limits>

#include "host/core/exceptions.h"
#include "host/core/string_routines.h"

namespace kv {

namespace {

// The class of an operand by its tag. The same enumeration names the handler a pair of
// classes selects (Invalid meaning "raise").
enum class OpClass : uint8_t { Invalid, Null, Integer, Real, Currency, String, Boolean, Date };

constexpr int kClassCount = 8;

OpClass ClassOf(uint16_t type) {
  switch (type) {
    case varNull:
      return OpClass::Null;
    case varSmallint:
    case varInteger:
    case varByte:
      return OpClass::Integer;
    case varSingle:
    case varDouble:
      return OpClass::Real;
    case varCurrency:
      return OpClass::Currency;
    case varDate:
      return OpClass::Date;
    case varOleStr:
    case varString:
      return OpClass::String;
    case varBoolean:
      return OpClass::Boolean;
    default:
      return OpClass::Invalid;  // empty, dispatch, error, arrays, ...
  }
}

// Handler by (left class, right class), rows and columns in OpClass order.
constexpr OpClass E = OpClass::Invalid, N = OpClass::Null, I = OpClass::Integer, R = OpClass::Real,
                  C = OpClass::Currency, S = OpClass::String, B = OpClass::Boolean,
                  D = OpClass::Date;
constexpr OpClass kHandler[kClassCount][kClassCount] = {
    /* invalid  */ {E, E, E, E, E, E, E, E},
    /* null     */ {E, N, N, N, N, N, N, N},
    /* integer  */ {E, N, I, R, C, R, I, D},
    /* real     */ {E, N, R, R, C, R, R, D},
    /* currency */ {E, N, C, C, C, C, C, D},
    /* string   */ {E, N, R, R, C, S, B, D},
    /* boolean  */ {E, N, I, R, C, B, B, D},
    /* date     */ {E, N, D, D, D, D, D, D},
};

OpClass HandlerFor(const Variant& l, const Variant& r) {
  return kHandler[static_cast<int>(ClassOf(l.Type()))][static_cast<int>(ClassOf(r.Type()))];
}

[[noreturn]] void ThrowInvalidOp() { throw EVariantError(u"Invalid variant operation"); }
[[noreturn]] void ThrowOverflow() { throw EVariantError(u"Variant overflow"); }
[[noreturn]] void ThrowDivByZero() { throw EDivByZero(u"Division by zero"); }
[[noreturn]] void ThrowFloatZeroDivide() { throw EZeroDivide(u"Floating point division by zero"); }
[[noreturn]] void ThrowFloatInvalid() { throw EInvalidOp(u"Invalid floating point operation"); }

bool IsLogical(VarOp op) { return op == VarOp::And || op == VarOp::Or || op == VarOp::Xor; }
bool IsFourArithmetic(VarOp op) {
  return op == VarOp::Add || op == VarOp::Subtract || op == VarOp::Multiply || op == VarOp::Divide;
}

// --- real ------------------------------------------------------------------------------

// The floating-point exceptions the host raises: a NaN made from numbers is an invalid
// operation, an infinity made from finite numbers an overflow.
double CheckedFloat(double result, double a, double b) {
  if (std::isnan(result)) {
    if (!std::isnan(a) && !std::isnan(b)) ThrowFloatInvalid();
  } else if (std::isinf(result) && std::isfinite(a) && std::isfinite(b)) {
    throw EOverflow(u"Floating point overflow");
  }
  return result;
}

double FloatArith(VarOp op, double a, double b) {
  switch (op) {
    case VarOp::Add:
      return CheckedFloat(a + b, a, b);
    case VarOp::Subtract:
      return CheckedFloat(a - b, a, b);
    case VarOp::Multiply:
      return CheckedFloat(a * b, a, b);
    default:  // Divide
      if (b == 0) {
        if (a == 0 || std::isnan(a)) ThrowFloatInvalid();
        ThrowFloatZeroDivide();
      }
      return CheckedFloat(a / b, a, b);
  }
}

Variant IntegerOp(VarOp op, const Variant& l, const Variant& r);

Variant RealOp(VarOp op, const Variant& l, const Variant& r) {
  if (!IsFourArithmetic(op)) return IntegerOp(op, l, r);
  return Variant(FloatArith(op, l.ToDouble(), r.ToDouble()));
}

// --- integer ---------------------------------------------------------------------------

Variant IntegerOp(VarOp op, const Variant& l, const Variant& r) {
  if (op == VarOp::Divide) return RealOp(op, l, r);
  const int32_t a = l.ToInt(), b = r.ToInt();
  int32_t result;
  switch (op) {
    case VarOp::Add:
      if (__builtin_add_overflow(a, b, &result)) return RealOp(op, l, r);
      return Variant(result);
    case VarOp::Subtract:
      if (__builtin_sub_overflow(a, b, &result)) return RealOp(op, l, r);
      return Variant(result);
    case VarOp::Multiply:
      if (__builtin_mul_overflow(a, b, &result)) return RealOp(op, l, r);
      return Variant(result);
    case VarOp::IntDivide:
      if (b == 0) ThrowDivByZero();
      if (a == std::numeric_limits<int32_t>::min() && b == -1)
        throw EIntOverflow(u"Integer overflow");
      return Variant(a / b);
    case VarOp::Modulus:
      if (b == 0) ThrowDivByZero();
      return Variant(b == -1 ? 0 : a % b);  // b == -1 would trap for the smallest a
    // Shift counts use their low five bits, as the processor does; shr is logical.
    case VarOp::ShiftLeft:
      return Variant(static_cast<int32_t>(static_cast<uint32_t>(a) << (b & 31)));
    case VarOp::ShiftRight:
      return Variant(static_cast<int32_t>(static_cast<uint32_t>(a) >> (b & 31)));
    case VarOp::And:
      return Variant(a & b);
    case VarOp::Or:
      return Variant(a | b);
    case VarOp::Xor:
      return Variant(a ^ b);
    default:
      ThrowInvalidOp();
  }
}

// --- currency --------------------------------------------------------------------------

__extension__ typedef __int128 Int128;

// Quotient of a 128-bit value by a positive divisor, rounded half to even.
Int128 DivideRounded(Int128 n, Int128 d) {
  Int128 q = n / d, rem = n % d;
  Int128 twice = (rem < 0 ? -rem : rem) * 2;
  if (twice > d || (twice == d && (q & 1))) q += n < 0 ? -1 : 1;
  return q;
}

int64_t FitCurrency(Int128 v) {
  if (v < std::numeric_limits<int64_t>::min() || v > std::numeric_limits<int64_t>::max())
    ThrowOverflow();
  return static_cast<int64_t>(v);
}

Variant CurrencyOp(VarOp op, const Variant& l, const Variant& r) {
  if (!IsFourArithmetic(op)) return IntegerOp(op, l, r);
  const Int128 a = l.ToCurrency(), b = r.ToCurrency();
  switch (op) {
    case VarOp::Add:
      return Variant::Currency(FitCurrency(a + b));
    case VarOp::Subtract:
      return Variant::Currency(FitCurrency(a - b));
    case VarOp::Multiply:
      return Variant::Currency(FitCurrency(DivideRounded(a * b, 10000)));
    default: {  // Divide
      if (b == 0) {
        if (a == 0) ThrowFloatInvalid();
        ThrowFloatZeroDivide();
      }
      Int128 n = a * 10000, d = b;
      if (d < 0) {
        n = -n;
        d = -d;
      }
      return Variant::Currency(FitCurrency(DivideRounded(n, d)));
    }
  }
}

// --- string, boolean, date -------------------------------------------------------------

Variant StringOp(VarOp op, const Variant& l, const Variant& r) {
  if (op != VarOp::Add) return RealOp(op, l, r);
  CheckStringLength(static_cast<int64_t>(l.RawString().size() + r.RawString().size()));
  UString joined;
  joined.reserve(l.RawString().size() + r.RawString().size());
  joined += l.RawString();
  joined += r.RawString();
  return Variant(std::move(joined));
}

Variant BooleanOp(VarOp op, const Variant& l, const Variant& r) {
  if (!IsLogical(op)) return RealOp(op, l, r);
  const bool a = l.ToBool(), b = r.ToBool();
  switch (op) {
    case VarOp::And:
      return Variant(a && b);
    case VarOp::Or:
      return Variant(a || b);
    default:
      return Variant(a != b);
  }
}

Variant DateOp(VarOp op, const Variant& l, const Variant& r) {
  Variant result = RealOp(op, l, r);
  bool bothDates = l.Type() == varDate && r.Type() == varDate;
  // A date moved by a number of days is a date; the distance of two dates is a number.
  if (op == VarOp::Add || (op == VarOp::Subtract && !bothDates))
    return Variant::Date(result.RawDouble());
  return result;
}

template <class T>
int Compare3(T a, T b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

int CompareFloats(double a, double b) {
  if (std::isnan(a) || std::isnan(b)) ThrowFloatInvalid();
  return Compare3(a, b);
}

}  // namespace

Variant VarBinaryOp(VarOp op, const Variant& left, const Variant& right) {
  // The common cases skip the class table.
  if (left.Type() == varInteger && right.Type() == varInteger) {
    int32_t sum;
    if (op == VarOp::Add && !__builtin_add_overflow(left.RawInt(), right.RawInt(), &sum))
      return Variant(sum);
    return IntegerOp(op, left, right);
  }
  if (left.Type() == varDouble && right.Type() == varDouble && IsFourArithmetic(op))
    return Variant(FloatArith(op, left.RawDouble(), right.RawDouble()));

  switch (HandlerFor(left, right)) {
    case OpClass::Null:
      return Variant::Null();
    case OpClass::Integer:
      return IntegerOp(op, left, right);
    case OpClass::Real:
      return RealOp(op, left, right);
    case OpClass::Currency:
      return CurrencyOp(op, left, right);
    case OpClass::String:
      return StringOp(op, left, right);
    case OpClass::Boolean:
      return BooleanOp(op, left, right);
    case OpClass::Date:
      return DateOp(op, left, right);
    default:
      ThrowInvalidOp();
  }
}

void VarBinaryOpInPlace(VarOp op, Variant& left, const Variant& right) {
  if (op == VarOp::Add && left.Type() == varString && right.IsString() && &left != &right) {
    // Appending to a string nobody else shares reuses its buffer.
    CheckStringLength(static_cast<int64_t>(left.RawString().size() + right.RawString().size()));
    SharedString text = left.RawShared();
    left.Clear();
    text.Mutable() += right.RawString();
    left = Variant(text);
    return;
  }
  left = VarBinaryOp(op, left, right);
}

int VarCompare(const Variant& left, const Variant& right) {
  if (left.Type() == varInteger && right.Type() == varInteger)
    return Compare3(left.RawInt(), right.RawInt());

  switch (HandlerFor(left, right)) {
    case OpClass::Null:
      // Null equals Null and orders below every other value.
      return Compare3(!left.IsNull(), !right.IsNull());
    case OpClass::Integer:
      return Compare3(left.ToInt(), right.ToInt());
    case OpClass::Real:
    case OpClass::Date:
      return CompareFloats(left.ToDouble(), right.ToDouble());
    case OpClass::Currency:
      return Compare3(left.ToCurrency(), right.ToCurrency());
    case OpClass::String: {
      int c = left.RawString().compare(right.RawString());
      return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    case OpClass::Boolean:
      return Compare3(left.ToBool(), right.ToBool());
    default:
      ThrowInvalidOp();
  }
}

Variant VarNeg(const Variant& v) {
  switch (ClassOf(v.Type())) {
    case OpClass::Null:
      return v;
    case OpClass::Integer:
    case OpClass::Boolean: {
      int32_t i = v.ToInt();
      // The one integer without a negative of its own becomes a double, as overflowing
      // sums do.
      if (i == std::numeric_limits<int32_t>::min()) return Variant(-static_cast<double>(i));
      return Variant(-i);
    }
    case OpClass::Real:
    case OpClass::String:
      return Variant(-v.ToDouble());
    case OpClass::Currency: {
      if (v.RawCurrency() == std::numeric_limits<int64_t>::min()) ThrowOverflow();
      return Variant::Currency(-v.RawCurrency());
    }
    case OpClass::Date:
      return Variant::Date(-v.RawDouble());
    default:
      ThrowInvalidOp();
  }
}

Variant VarNot(const Variant& v) {
  switch (v.Type()) {
    case varEmpty:
      ThrowInvalidOp();
    case varNull:
      return v;
    case varBoolean:
      return Variant(!v.RawBool());
    default:
      return Variant(~v.ToInt());
  }
}

}  // namespace kv
