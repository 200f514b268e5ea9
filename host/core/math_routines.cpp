#include "host/core/math_routines.h"

#include <cmath>

#include "host/core/exceptions.h"
#include "host/core/format_float.h"

namespace kv {

namespace {

[[noreturn]] void InvalidOp() { throw EInvalidOp("Invalid floating point operation"); }

// A result that is not finite is an error the script must hear of.
double Checked(double r) {
  if (std::isnan(r)) InvalidOp();
  if (std::isinf(r)) throw EOverflow("Floating point overflow");
  return r;
}

// An integral float into 32 bits, or a clear error naming the routine and the value.
int32_t ToInteger(double integral, const char16_t* routine, double argument) {
  if (std::isnan(integral) || std::isinf(integral)) InvalidOp();
  if (integral < -2147483648.0 || integral > 2147483647.0)
    throw ERangeError(UString(routine) + u"(" + FloatToStr(argument) +
                      u"): the result is outside the Integer range -2147483648..2147483647");
  return static_cast<int32_t>(integral);
}

}  // namespace

int32_t Round(double x) {
  // Ties to even: the current rounding mode is round-to-nearest-even.
  return ToInteger(std::nearbyint(x), u"Round", x);
}

int32_t Trunc(double x) { return ToInteger(std::trunc(x), u"Trunc", x); }

double Int(double x) { return ToInteger(std::trunc(x), u"Int", x); }

double Frac(double x) {
  if (!std::isfinite(x)) InvalidOp();
  return x - std::trunc(x);
}

double Sqrt(double x) {
  if (x < 0 || std::isnan(x)) InvalidOp();
  return std::sqrt(x);
}

double Ln(double x) {
  if (x == 0) throw EZeroDivide("Floating point division by zero");
  if (x < 0 || std::isnan(x)) InvalidOp();
  return Checked(std::log(x));
}

double Exp(double x) { return Checked(std::exp(x)); }
double Sin(double x) { return Checked(std::sin(x)); }
double Cos(double x) { return Checked(std::cos(x)); }

double Tan(double x) {
  double c = Checked(std::cos(x));
  if (c == 0) throw EZeroDivide("Floating point division by zero");
  return Checked(std::sin(x) / c);
}

double ArcTan(double x) { return Checked(std::atan(x)); }
double Abs(double x) { return Checked(std::fabs(x)); }

}  // namespace kv
