#include "host/core/number_text.h"

#include <locale.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>

#include "host/core/exceptions.h"

namespace kv {

namespace {

__extension__ typedef unsigned __int128 UInt128;

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }
bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

UStringView TrimBlanks(UStringView s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

UString Ascii(std::string_view s) { return UString(s.begin(), s.end()); }

int HexValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

// Sign and magnitude of an integer text. `hexDigits` is 0 for decimal text.
struct IntText {
  bool negative = false;
  uint64_t magnitude = 0;
  int hexDigits = 0;
};

bool ParseIntText(UStringView text, IntText& out) {
  UStringView s = TrimBlanks(text);
  IntText r;
  if (!s.empty() && (s.front() == u'+' || s.front() == u'-')) {
    r.negative = s.front() == u'-';
    s.remove_prefix(1);
  }
  if (!s.empty() && s.front() == u'$') {
    s.remove_prefix(1);
    if (s.empty() || s.size() > 16) return false;
    for (char16_t c : s) {
      int h = HexValue(c);
      if (h < 0) return false;
      r.magnitude = r.magnitude << 4 | static_cast<uint64_t>(h);
    }
    r.hexDigits = static_cast<int>(s.size());
  } else {
    if (s.empty()) return false;
    constexpr uint64_t kMax = std::numeric_limits<uint64_t>::max();
    for (char16_t c : s) {
      if (!IsDigit(c)) return false;
      uint64_t d = c - u'0';
      if (r.magnitude > (kMax - d) / 10) return false;
      r.magnitude = r.magnitude * 10 + d;
    }
  }
  out = r;
  return true;
}

// The signed value of a decimal magnitude, when it fits in [-2^(bits-1), 2^(bits-1)-1].
bool SignedDecimal(const IntText& t, int bits, int64_t& out) {
  const uint64_t limit = uint64_t{1} << (bits - 1);
  if (t.magnitude > (t.negative ? limit : limit - 1)) return false;
  out = t.negative ? static_cast<int64_t>(0 - t.magnitude) : static_cast<int64_t>(t.magnitude);
  return true;
}

// A C locale for strtod: the process locale may use "," as its decimal point.
locale_t CLocale() {
  static locale_t loc = newlocale(LC_NUMERIC_MASK, "C", (locale_t)0);
  return loc;
}

// Validates the decimal float grammar and copies the text into ASCII for strtod.
bool DecimalFloatSyntax(UStringView s, std::string& ascii) {
  size_t i = 0, n = s.size();
  auto digits = [&] {
    size_t start = i;
    while (i < n && IsDigit(s[i])) ++i;
    return i - start;
  };
  if (i < n && (s[i] == u'+' || s[i] == u'-')) ++i;
  size_t mantissaDigits = digits();
  if (i < n && s[i] == u'.') {
    ++i;
    mantissaDigits += digits();
  }
  if (mantissaDigits == 0) return false;
  if (i < n && (s[i] == u'e' || s[i] == u'E')) {
    ++i;
    if (i < n && (s[i] == u'+' || s[i] == u'-')) ++i;
    if (digits() == 0) return false;
  }
  if (i != n) return false;
  ascii.assign(s.begin(), s.end());
  return true;
}

}  // namespace

double RoundHalfEven(double x) {
  if (!std::isfinite(x)) return x;
  double floor = std::floor(x);
  double diff = x - floor;
  if (diff > 0.5) return floor + 1;
  if (diff < 0.5) return floor;
  return std::fmod(floor, 2.0) == 0 ? floor : floor + 1;
}

UString FloatToText(double value, int precision) {
  if (std::isnan(value)) return u"NAN";
  if (std::isinf(value)) return value > 0 ? u"INF" : u"-INF";
  if (value == 0) return u"0";
  if (precision < 1) precision = 1;
  if (precision > 17) precision = 17;

  // Scientific text "d.ddde[+-]x" rounded to `precision` digits, locale-independent.
  char buf[64];
  auto res =
      std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, precision - 1);
  std::string sci(buf, res.ptr);
  size_t ePos = sci.find('e');
  int exponent = std::atoi(sci.c_str() + ePos + 1);
  bool negative = sci[0] == '-';
  std::string digits;
  for (size_t k = negative ? 1 : 0; k < ePos; ++k)
    if (sci[k] != '.') digits += sci[k];
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

  std::string out = negative ? "-" : "";
  // Fixed notation while the number of integer digits (exponent + 1) is within the
  // precision and the first significant digit is at most the fourth decimal.
  if (exponent + 1 > precision || exponent < -4) {
    out += digits[0];
    if (digits.size() > 1) out.append(".").append(digits, 1);
    out.append("E").append(std::to_string(exponent));
  } else if (exponent >= 0) {
    size_t intDigits = static_cast<size_t>(exponent) + 1;
    if (digits.size() <= intDigits) {
      out.append(digits).append(intDigits - digits.size(), '0');
    } else {
      out.append(digits, 0, intDigits).append(".").append(digits, intDigits);
    }
  } else {
    out.append("0.").append(static_cast<size_t>(-exponent - 1), '0').append(digits);
  }
  return Ascii(out);
}

bool TryTextToFloat(UStringView text, double& out) {
  std::string ascii;
  if (!DecimalFloatSyntax(TrimBlanks(text), ascii)) return false;
  double v = strtod_l(ascii.c_str(), nullptr, CLocale());
  if (std::isinf(v)) return false;  // overflow; underflow gives 0 or a denormal
  out = v;
  return true;
}

bool TryTextToInt32(UStringView text, int32_t& out) {
  IntText t;
  if (!ParseIntText(text, t)) return false;
  if (t.hexDigits > 0) {
    if (t.hexDigits > 8) return false;
    uint32_t bits = static_cast<uint32_t>(t.magnitude);
    if (t.negative) bits = 0u - bits;
    out = static_cast<int32_t>(bits);
    return true;
  }
  int64_t v;
  if (!SignedDecimal(t, 32, v)) return false;
  out = static_cast<int32_t>(v);
  return true;
}

bool TryTextToInt64(UStringView text, int64_t& out) {
  IntText t;
  if (!ParseIntText(text, t)) return false;
  if (t.hexDigits > 0) {
    uint64_t bits = t.magnitude;
    if (t.negative) bits = 0 - bits;
    out = static_cast<int64_t>(bits);
    return true;
  }
  return SignedDecimal(t, 64, out);
}

bool TryTextToCurrency(UStringView text, int64_t& out) {
  UStringView s = TrimBlanks(text);
  bool negative = false;
  if (!s.empty() && (s.front() == u'+' || s.front() == u'-')) {
    negative = s.front() == u'-';
    s.remove_prefix(1);
  }
  // Magnitude in units of 1/10000, then one guard digit and a sticky flag for rounding.
  UInt128 scaled = 0;
  int decimals = -1;  // -1 while before the point
  int digitCount = 0;
  int guard = 0;
  bool sticky = false;
  for (char16_t c : s) {
    if (c == u'.') {
      if (decimals >= 0) return false;
      decimals = 0;
      continue;
    }
    if (!IsDigit(c)) return false;
    ++digitCount;
    int d = c - u'0';
    if (decimals < 0 || decimals < 4) {
      scaled = scaled * 10 + static_cast<unsigned>(d);
      if (scaled > (static_cast<UInt128>(1) << 70)) return false;
      if (decimals >= 0) ++decimals;
    } else if (decimals == 4) {
      guard = d;
      ++decimals;
    } else if (d != 0) {
      sticky = true;
    }
  }
  if (digitCount == 0) return false;
  for (int k = decimals < 0 ? 0 : decimals; k < 4; ++k) scaled *= 10;
  if (guard > 5 || (guard == 5 && (sticky || (scaled & 1)))) ++scaled;
  const UInt128 limit = static_cast<UInt128>(1) << 63;
  if (scaled > (negative ? limit : limit - 1)) return false;
  out = negative ? static_cast<int64_t>(0 - static_cast<uint64_t>(scaled))
                 : static_cast<int64_t>(scaled);
  return true;
}

UString CurrencyToText(int64_t scaled) {
  uint64_t magnitude = scaled < 0 ? 0 - static_cast<uint64_t>(scaled) : scaled;
  std::string out = scaled < 0 ? "-" : "";
  out += std::to_string(magnitude / 10000);
  unsigned frac = static_cast<unsigned>(magnitude % 10000);
  if (frac != 0) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%04u", frac);
    std::string f(buf);
    while (f.back() == '0') f.pop_back();
    out.append(".").append(f);
  }
  return Ascii(out);
}

namespace {

// Serial day 0 (1899-12-30) counted from 1970-01-01.
constexpr int64_t kSerialToUnixDays = -25569;
constexpr double kMinSerial = -693593;  // 0001-01-01
constexpr double kMaxSerial = 2958466;  // 10000-01-01, exclusive
constexpr int64_t kMsecPerDay = 86400000;

// Proleptic Gregorian calendar date of a count of days since 1970-01-01.
void CivilFromDays(int64_t z, int& year, int& month, int& day) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
}

}  // namespace

bool TryDecodeDateTime(double serial, DateTimeParts& out) {
  if (!std::isfinite(serial) || serial < kMinSerial || serial >= kMaxSerial) return false;
  double whole = std::trunc(serial);
  int64_t days = static_cast<int64_t>(whole);
  int64_t msec = static_cast<int64_t>(std::llround(std::fabs(serial - whole) * kMsecPerDay));
  if (msec >= kMsecPerDay) {  // a time that rounds up to midnight belongs to the next day
    msec -= kMsecPerDay;
    ++days;
  }
  DateTimeParts r;
  CivilFromDays(days + kSerialToUnixDays, r.year, r.month, r.day);
  if (r.year < 1 || r.year > 9999) return false;
  r.daySerial = days;
  r.hour = static_cast<int>(msec / 3600000);
  r.minute = static_cast<int>(msec / 60000 % 60);
  r.second = static_cast<int>(msec / 1000 % 60);
  r.msec = static_cast<int>(msec % 1000);
  out = r;
  return true;
}

UString DateTimeToText(double serial) {
  DateTimeParts p;
  if (!TryDecodeDateTime(serial, p))
    throw EConvertError(u"Invalid date/time value " + FloatToText(serial) +
                        u": outside the years 1 to 9999");
  char date[16], time[16];
  std::snprintf(date, sizeof date, "%04d-%02d-%02d", p.year, p.month, p.day);
  std::snprintf(time, sizeof time, "%02d:%02d:%02d", p.hour, p.minute, p.second);
  bool wholeDate = p.hour == 0 && p.minute == 0 && p.second == 0 && p.msec == 0;
  if (wholeDate) return Ascii(date);
  if (p.daySerial == 0) return Ascii(time);
  return Ascii(std::string(date) + " " + time);
}

}  // namespace kv
