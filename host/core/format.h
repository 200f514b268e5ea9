// Format: the host's printf-like formatting over a list of argument records.
#pragma once

#include <vector>

#include "host/core/arg_record.h"
#include "host/core/format_settings.h"
#include "host/core/ustring.h"

namespace kv {

// A specifier is "%" [index ":"] ["-"] [width] ["." precision] type; index, width and
// precision are decimal numbers or "*" (taken from the next argument, which must be an
// integer); "%%" is a percent sign. Arguments are used in order; an index moves the position
// to that argument (0-based) and later specifiers go on from there.
//
//   d  an integer; precision: least number of digits ("%.4d" of -12 is "-0012")
//   u  an integer read as unsigned (32 bits for an integer record)
//   x  an integer in upper-case hexadecimal; precision as for d
//   e  a float in scientific form, precision significant digits (15)
//   f  a float in fixed form, precision decimals (2)
//   g  a float in the general form, precision significant digits (15)
//   n  as f, with thousands separators
//   m  a float as currency (the settings' decimals unless a precision is given)
//   p  an object reference (integer or object record) as 8 hexadecimal digits
//   s  a string or character (a Variant record is converted); precision: most characters
//
// The width pads with spaces on the left, or on the right after "-". Letter case of the type
// does not matter. A type that does not fit its argument, an unknown type, a missing type or
// a width or precision above 1,000,000 raise EConvertError "Format '%s' invalid or
// incompatible with argument"; a specifier past the last argument raises EConvertError "No
// argument for format '%s'" (both with the whole format text). Strings are never cut except
// by a precision.
UString Format(UStringView format, const std::vector<TVarRec>& args,
               const TFormatSettings& settings = FormatSettings());

}  // namespace kv
