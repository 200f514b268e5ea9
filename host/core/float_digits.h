// The decimal digits of a double as the formatting routines see them: at most 15 significant
// digits (what a double carries reliably), so that every routine rounds the number a user
// sees (FloatToStr(2.675) is "2.675", and FormatFloat('0.00', 2.675) is "2.68", not the
// "2.67" that the binary value 2.67499999... would give). Rounding is half away from zero.
#pragma once

#include <string>

namespace kv {

inline constexpr int kFloatSignificantDigits = 15;

struct TFloatDigits {
  bool negative = false;
  std::string digits;  // significant digits, no leading or trailing zeros; empty for zero
  int exponent = 0;    // the value is 0.d1d2d3... * 10^exponent

  bool IsZero() const { return digits.empty(); }
  // Digit k of the number's integer part counted from its first digit, or of its fraction
  // for k >= exponent; '0' outside the stored digits.
  char DigitAt(int k) const {
    return k >= 0 && k < static_cast<int>(digits.size()) ? digits[k] : '0';
  }
};

// The digits of a finite value (the caller handles NaN and the infinities).
TFloatDigits FloatDigits(double value);
// Keeps `count` significant digits (count >= 0), carrying into a new leading digit when the
// rounding makes one (9.96 to two digits is 10).
void RoundToSignificant(TFloatDigits& d, int count);
// Keeps `decimals` digits after the decimal point (decimals may be negative: -2 rounds to
// hundreds). A number that rounds to zero loses its sign.
void RoundToDecimals(TFloatDigits& d, int decimals);

// The integer part's digits ("0" for none) and the first `decimals` digits of the fraction.
std::string IntegerDigits(const TFloatDigits& d);
std::string FractionDigits(const TFloatDigits& d, int decimals);

}  // namespace kv
