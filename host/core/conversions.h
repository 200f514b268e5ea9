// Numbers from and to text as scripts convert them, with the locale's decimal separator.
#pragma once

#include <cstdint>

#include "host/core/format_settings.h"
#include "host/core/ustring.h"

namespace kv {

UString IntToStr(int64_t value);

// Decimal text, or hexadecimal after "$", with an optional sign and blanks around, in the
// 32-bit range. StrToInt raises EConvertError "'%s' is not a valid integer value".
bool TryStrToInt(UStringView text, int32_t& out);
int32_t StrToInt(UStringView text);

// A decimal number with the settings' decimal separator and an optional exponent ("1.5",
// "-2E10"), blanks around allowed. When the separator is not ".", a "." makes the text
// invalid. StrToFloat raises EConvertError "'%s' is not a valid floating point value".
bool TryStrToFloat(UStringView text, double& out, const TFormatSettings& s = FormatSettings());
double StrToFloat(UStringView text, const TFormatSettings& s = FormatSettings());

}  // namespace kv
