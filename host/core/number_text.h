// Text of numbers and dates in the host's invariant formats: "." is always the decimal point,
// whatever the process locale says, so scripts behave the same on every desktop.
#pragma once

#include <cstdint>

#include "host/core/ustring.h"

namespace kv {

// Round to the nearest integer, ties to the even one (2.5 -> 2, 3.5 -> 4). NaN and the
// infinities come back unchanged.
double RoundHalfEven(double x);

// The host's general float format: at most `precision` significant digits (15 for doubles,
// 7 for singles), no trailing zeros, fixed notation while the decimal exponent lies in
// -4..precision-1 ("0.0001", "100000000000000") and "1.5E-5" / "1E15" otherwise. NaN and the
// infinities are "NAN", "INF",
// "-INF".
UString FloatToText(double value, int precision = 15);

// Parsing. Blanks (spaces and tabs) around the number are allowed; anything else that is not
// part of the number makes the parse fail and leaves `out` unchanged.
//
// A decimal float: optional sign, digits with an optional "." part (at least one digit in
// all), optional exponent "E[+|-]digits". Overflow fails; underflow gives zero.
bool TryTextToFloat(UStringView text, double& out);
// A decimal integer, or hexadecimal after "$", with an optional sign before either.
// Out of range fails, except that hexadecimal text is a bit pattern of the result's width:
// "$FFFFFFFF" is -1 as a 32-bit and 4294967295 as a 64-bit integer; more hex digits than
// the width holds fail.
bool TryTextToInt32(UStringView text, int32_t& out);
bool TryTextToInt64(UStringView text, int64_t& out);
// A currency value (scaled by 10000) from plain decimal text, exact to the 4th decimal with
// further decimals rounded half to even. Exponent forms and out-of-range values fail.
bool TryTextToCurrency(UStringView text, int64_t& out);

// Currency (value * 10000) as text: up to four decimals, no trailing zeros ("12.5", "-0.0001").
UString CurrencyToText(int64_t scaled);

// Date serials count days from 1899-12-30; the fraction is the time of day (for negative
// serials the fraction's magnitude). Times are rounded to the millisecond.
struct DateTimeParts {
  int year = 1899, month = 12, day = 30;
  int hour = 0, minute = 0, second = 0, msec = 0;
  int64_t daySerial = 0;  // whole days after rounding the time (0 for 1899-12-30)
};
// False for a non-finite serial or one outside the years 1..9999.
bool TryDecodeDateTime(double serial, DateTimeParts& out);
// "yyyy-mm-dd" for a whole date, "hh:nn:ss" for a time on day 0, "yyyy-mm-dd hh:nn:ss"
// otherwise (0 itself is the date "1899-12-30"). Raises EConvertError for a serial outside
// the years 1..9999.
UString DateTimeToText(double serial);

}  // namespace kv
