// Dates and times from text in the locale's order and separators.
#pragma once

#include "host/core/format_settings.h"
#include "host/core/ustring.h"

namespace kv {

// A date is two or three numbers separated by the date separator (or "/"), in the order of
// the short date format (day, month, year; month, day, year; or year, month, day); without a
// year it is the current year. A year of one or two digits lies in the settings' century
// window. Blanks around are allowed.
bool TryStrToDate(UStringView text, double& out, const TFormatSettings& s = FormatSettings());
// A time is hour and minute, optionally seconds and a fraction of a second after "." (or
// the decimal separator), separated by the time separator (or ":"), optionally followed by
// the AM or PM text ("AM"/"PM"/"A"/"P" in any letter case also do) for the 12-hour clock;
// with an AM or PM text the hour alone is enough ("3 PM").
bool TryStrToTime(UStringView text, double& out, const TFormatSettings& s = FormatSettings());
// A date followed by a time, or either alone.
bool TryStrToDateTime(UStringView text, double& out, const TFormatSettings& s = FormatSettings());

// The same, raising EConvertError "'%s' is not a valid date", "'%s' is not a valid time"
// and "'%s' is not a valid date and time".
double StrToDate(UStringView text, const TFormatSettings& s = FormatSettings());
double StrToTime(UStringView text, const TFormatSettings& s = FormatSettings());
double StrToDateTime(UStringView text, const TFormatSettings& s = FormatSettings());

}  // namespace kv
