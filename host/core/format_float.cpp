#include "host/core/format_float.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include "host/core/float_digits.h"

namespace kv {

namespace {

constexpr int kMaxPrecision = 18;
constexpr int kMaxDecimals = 18;
constexpr int kMaxExponentDigits = 4;

UString Ascii(std::string_view s) { return UString(s.begin(), s.end()); }

UString NonFiniteText(double value) {
  if (std::isnan(value)) return u"NAN";
  return value > 0 ? u"INF" : u"-INF";
}

UString ExponentText(int exponent, int minDigits, bool alwaysSign) {
  UString out = u"E";
  if (exponent < 0)
    out += u'-';
  else if (alwaysSign)
    out += u'+';
  std::string digits = std::to_string(std::abs(exponent));
  minDigits = std::clamp(minDigits, 0, kMaxExponentDigits);
  if (static_cast<int>(digits.size()) < minDigits)
    digits.insert(0, static_cast<size_t>(minDigits) - digits.size(), '0');
  return out + Ascii(digits);
}

// "d.ddd" + exponent, from digits already rounded to at most `precision` significant ones.
UString ScientificText(const TFloatDigits& d, int precision, bool keepZeros, int expDigits,
                       bool alwaysSign, char16_t decimalSep) {
  std::string mantissa = d.IsZero() ? "0" : d.digits;
  if (keepZeros && static_cast<int>(mantissa.size()) < precision)
    mantissa.append(static_cast<size_t>(precision) - mantissa.size(), '0');
  UString out = d.negative ? u"-" : u"";
  out += static_cast<char16_t>(mantissa[0]);
  if (mantissa.size() > 1) out += decimalSep + Ascii(std::string_view(mantissa).substr(1));
  return out + ExponentText(d.IsZero() ? 0 : d.exponent - 1, expDigits, alwaysSign);
}

UString GroupThousands(const std::string& intDigits, char16_t separator) {
  if (separator == 0) return Ascii(intDigits);
  UString out;
  size_t n = intDigits.size();
  for (size_t k = 0; k < n; ++k) {
    out += static_cast<char16_t>(intDigits[k]);
    size_t left = n - 1 - k;
    if (left > 0 && left % 3 == 0) out += separator;
  }
  return out;
}

// The unsigned fixed-point text of rounded digits.
UString FixedText(const TFloatDigits& d, int decimals, bool grouped, const TFormatSettings& s) {
  std::string intDigits = IntegerDigits(d);
  UString out = grouped ? GroupThousands(intDigits, s.ThousandSeparator) : Ascii(intDigits);
  if (decimals > 0) out += s.DecimalSeparator + Ascii(FractionDigits(d, decimals));
  return out;
}

UString GeneralText(const TFloatDigits& d, int precision, int expDigits, char16_t decimalSep) {
  if (d.IsZero()) return u"0";
  if (d.exponent > precision || d.exponent < -3)
    return ScientificText(d, precision, false, expDigits, expDigits > 0, decimalSep);
  UString out = d.negative ? u"-" : u"";
  out += Ascii(IntegerDigits(d));
  int decimals = static_cast<int>(d.digits.size()) - d.exponent;
  if (decimals > 0) out += decimalSep + Ascii(FractionDigits(d, decimals));
  return out;
}

UString CurrencyText(const UString& number, bool negative, const TFormatSettings& s) {
  const UString& c = s.CurrencyString;
  if (!negative) {
    switch (s.CurrencyFormat) {
      case 1:
        return number + c;
      case 2:
        return c + u" " + number;
      case 3:
        return number + u" " + c;
      default:
        return c + number;
    }
  }
  switch (s.NegCurrFormat) {
    case 0:
      return u"(" + c + number + u")";
    case 2:
      return c + u"-" + number;
    case 3:
      return c + number + u"-";
    case 4:
      return u"(" + number + c + u")";
    case 5:
      return u"-" + number + c;
    case 6:
      return number + u"-" + c;
    case 7:
      return number + c + u"-";
    case 8:
      return u"-" + number + u" " + c;
    case 9:
      return u"-" + c + u" " + number;
    case 10:
      return number + u" " + c + u"-";
    case 11:
      return c + u" " + number + u"-";
    case 12:
      return c + u" -" + number;
    case 13:
      return number + u"- " + c;
    case 14:
      return u"(" + c + u" " + number + u")";
    case 15:
      return u"(" + number + u" " + c + u")";
    default:
      return u"-" + c + number;
  }
}

}  // namespace

UString FloatToStrF(double value, TFloatFormat format, int precision, int digits,
                    const TFormatSettings& settings) {
  if (!std::isfinite(value)) return NonFiniteText(value);
  precision = std::clamp(precision, 1, kMaxPrecision);
  TFloatDigits d = FloatDigits(value);
  switch (format) {
    case TFloatFormat::ffGeneral:
      RoundToSignificant(d, precision);
      return GeneralText(d, precision, std::clamp(digits, 0, kMaxExponentDigits),
                         settings.DecimalSeparator);
    case TFloatFormat::ffExponent:
      RoundToSignificant(d, precision);
      return ScientificText(d, precision, true, digits, true, settings.DecimalSeparator);
    case TFloatFormat::ffFixed:
    case TFloatFormat::ffNumber:
    case TFloatFormat::ffCurrency:
      break;
  }
  if (d.exponent > precision) {
    RoundToSignificant(d, std::min(precision, kFloatSignificantDigits));
    return ScientificText(d, std::min(precision, kFloatSignificantDigits), true, 3, true,
                          settings.DecimalSeparator);
  }
  int decimals = std::clamp(digits, 0, kMaxDecimals);
  RoundToDecimals(d, decimals);
  bool grouped = format != TFloatFormat::ffFixed;
  UString number = FixedText(d, decimals, grouped, settings);
  if (format == TFloatFormat::ffCurrency) return CurrencyText(number, d.negative, settings);
  return d.negative ? u"-" + number : number;
}

UString FloatToStr(double value, const TFormatSettings& settings) {
  return FloatToStrF(value, TFloatFormat::ffGeneral, kFloatSignificantDigits, 0, settings);
}

}  // namespace kv
