#include "host/core/float_digits.h"

#include <charconv>
#include <cstdlib>

namespace kv {

namespace {

void StripTrailingZeros(TFloatDigits& d) {
  while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
  if (d.digits.empty()) {
    d.negative = false;
    d.exponent = 0;
  }
}

}  // namespace

TFloatDigits FloatDigits(double value) {
  TFloatDigits d;
  if (value == 0) return d;
  // 17 significant digits identify the double exactly; the rounding to 15 below is ours.
  char buf[40];
  auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 16);
  std::string_view sci(buf, static_cast<size_t>(res.ptr - buf));
  size_t ePos = sci.find('e');
  d.negative = sci.front() == '-';
  for (char c : sci.substr(0, ePos))
    if (c >= '0' && c <= '9') d.digits += c;
  d.exponent = std::atoi(std::string(sci.substr(ePos + 1)).c_str()) + 1;
  RoundToSignificant(d, kFloatSignificantDigits);
  return d;
}

void RoundToSignificant(TFloatDigits& d, int count) {
  if (count < 0) count = 0;
  if (static_cast<int>(d.digits.size()) <= count) return;
  bool up = d.digits[static_cast<size_t>(count)] >= '5';
  d.digits.resize(static_cast<size_t>(count));
  if (up) {
    int k = count - 1;
    while (k >= 0 && d.digits[static_cast<size_t>(k)] == '9')
      d.digits[static_cast<size_t>(k--)] = '0';
    if (k >= 0) {
      ++d.digits[static_cast<size_t>(k)];
    } else {
      d.digits.insert(d.digits.begin(), '1');
      ++d.exponent;
    }
  }
  StripTrailingZeros(d);
}

void RoundToDecimals(TFloatDigits& d, int decimals) {
  if (d.IsZero()) return;
  int keep = d.exponent + decimals;
  if (keep < 0) {
    d = TFloatDigits();
    return;
  }
  if (keep == 0) {
    // Only the first digit decides: 0.5 to 0 decimals is 1, 0.4 is 0.
    bool up = d.digits[0] >= '5';
    bool negative = d.negative;
    d = TFloatDigits();
    if (up) {
      d.digits.assign(1, '1');  // not = "1": GCC 12 warns falsely (-Wrestrict)
      d.exponent = -decimals + 1;
      d.negative = negative;
    }
    return;
  }
  RoundToSignificant(d, keep);
}

std::string IntegerDigits(const TFloatDigits& d) {
  if (d.IsZero() || d.exponent <= 0) return "0";
  std::string out;
  out.reserve(static_cast<size_t>(d.exponent));
  for (int k = 0; k < d.exponent; ++k) out += d.DigitAt(k);
  return out;
}

std::string FractionDigits(const TFloatDigits& d, int decimals) {
  std::string out;
  if (decimals <= 0) return out;
  out.reserve(static_cast<size_t>(decimals));
  for (int k = 0; k < decimals; ++k) out += d.DigitAt(d.exponent + k);
  return out;
}

}  // namespace kv
