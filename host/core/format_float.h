// Floats as text with the locale's separators (format_settings.h): the host's general,
// exponent, fixed, number and currency formats, and FormatFloat's picture patterns.
// NaN and the infinities are "NAN", "INF" and "-INF" in every format.
#pragma once

#include "host/core/format_settings.h"
#include "host/core/ustring.h"

namespace kv {

enum class TFloatFormat : uint8_t { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };

// - ffGeneral: the shortest of fixed and scientific with at most `precision` significant
//   digits and no trailing zeros; scientific when the number has more than `precision`
//   integer digits or is below 0.0001 ("1E20", "1.5E-5"). `digits` is the least number of
//   exponent digits; when it is above 0 the exponent also shows a "+" ("1E+020").
// - ffExponent: "-d.dddE+ddd" with `precision` significant digits and at least `digits`
//   exponent digits.
// - ffFixed, ffNumber: `digits` decimals; ffNumber groups thousands. A number with more than
//   `precision` integer digits is written in ffExponent form instead.
// - ffCurrency: as ffNumber with the currency symbol and layouts of the settings.
// Precision is at most 15 significant digits of the number itself; longer requests are
// filled with zeros. A result that rounds to zero has no minus sign.
UString FloatToStrF(double value, TFloatFormat format, int precision, int digits,
                    const TFormatSettings& settings = FormatSettings());

// The general format with 15 significant digits.
UString FloatToStr(double value, const TFormatSettings& settings = FormatSettings());

// A picture pattern: up to three sections separated by ";" for positive, negative and zero
// values. In a section: "0" a digit that always shows, "#" a digit that shows when
// significant, "." the decimal separator, "," anywhere: thousands grouping, "E+" "E-" "e+"
// "e-" followed by zeros: scientific notation with that many exponent digits at least ("+"
// always signs the exponent, "-" only a negative one), text in "..." or '...' literally, any
// other character as itself. An empty pattern (or empty first section) gives FloatToStr. An
// empty negative or zero section falls back to the first, which then shows a "-" for
// negative numbers; a negative section shows no sign of its own.
UString FormatFloat(UStringView pattern, double value,
                    const TFormatSettings& settings = FormatSettings());

}  // namespace kv
