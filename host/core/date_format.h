// Dates and times as text by patterns (FormatDateTime) and the locale's standard forms.
#pragma once

#include "host/core/format_settings.h"
#include "host/core/ustring.h"

namespace kv {

// Pattern letters, in any letter case:
//   c       the short date, then a blank and the long time unless the time is 00:00:00.000
//   d dd    day without / with a leading zero;  ddd dddd  short / long day name
//   ddddd   the short date format;  dddddd  the long date format
//   m mm    month without / with a leading zero;  mmm mmmm  short / long month name
//           (m and mm right after an h or hh are minutes)
//   yy yyyy two-digit / four-digit year
//   h hh    hour;  n nn  minute;  s ss  second (without / with a leading zero)
//   z zzz   millisecond without / with leading zeros
//   t tt    the short / long time format
//   am/pm   12-hour clock for h and hh, showing "am" or "pm" in the letter case written;
//   a/p     the same with "a" or "p";  ampm  with the settings' AM and PM texts
//   /  :    the date and the time separator
//   "text" 'text'  literal text; any other character stands for itself
// An empty pattern is "c". Raises EConvertError for a serial outside the years 1..9999.
UString FormatDateTime(UStringView pattern, double dateTime,
                       const TFormatSettings& settings = FormatSettings());

UString DateToStr(double date, const TFormatSettings& settings = FormatSettings());
UString TimeToStr(double time, const TFormatSettings& settings = FormatSettings());
UString DateTimeToStr(double dateTime, const TFormatSettings& settings = FormatSettings());

}  // namespace kv
