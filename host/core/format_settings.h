// The text conventions of the user's locale that the runtime routines follow: decimal and
// thousands separators, currency layout, date and time patterns, month and day names.
//
// The settings start as the C locale's (what tests and CI run in) and are read from the
// user's locale once, by InitFormatSettings in the start-up sequence; nothing reads the
// locale behind the program's back afterwards, so a run is deterministic for a given
// environment.
#pragma once

#include <array>
#include <cstdint>

#include "host/core/ustring.h"

namespace kv {

struct TFormatSettings {
  char16_t DecimalSeparator = u'.';
  char16_t ThousandSeparator = u',';  // 0: no grouping in this locale
  // Currency: CurrencyFormat 0..3 places the symbol ($1, 1$, $ 1, 1 $); NegCurrFormat 0..15
  // picks one of the host's negative layouts (0 "($1)", 1 "-$1", 2 "$-1", 3 "$1-", 4 "(1$)",
  // 5 "-1$", 6 "1-$", 7 "1$-", 8 "-1 $", 9 "-$ 1", 10 "1 $-", 11 "$ 1-", 12 "$ -1",
  // 13 "1- $", 14 "($ 1)", 15 "(1 $)").
  UString CurrencyString = u"$";
  uint8_t CurrencyFormat = 0;
  uint8_t NegCurrFormat = 1;
  uint8_t CurrencyDecimals = 2;
  // In date patterns "/" stands for DateSeparator and ":" for TimeSeparator; other
  // characters are literal. StrToDate reads the order of year, month and day from
  // ShortDateFormat and expects DateSeparator (or "/") between them.
  char16_t DateSeparator = u'-';
  char16_t TimeSeparator = u':';
  UString ShortDateFormat = u"yyyy-mm-dd";
  UString LongDateFormat = u"dddd, mmmm d, yyyy";
  UString ShortTimeFormat = u"hh:nn";
  UString LongTimeFormat = u"hh:nn:ss";
  UString TimeAMString = u"AM";
  UString TimePMString = u"PM";
  std::array<UString, 12> ShortMonthNames{u"Jan", u"Feb", u"Mar", u"Apr", u"May", u"Jun",
                                          u"Jul", u"Aug", u"Sep", u"Oct", u"Nov", u"Dec"};
  std::array<UString, 12> LongMonthNames{u"January",   u"February", u"March",    u"April",
                                         u"May",       u"June",     u"July",     u"August",
                                         u"September", u"October",  u"November", u"December"};
  // Sunday first, as DayOfWeek counts.
  std::array<UString, 7> ShortDayNames{u"Sun", u"Mon", u"Tue", u"Wed", u"Thu", u"Fri", u"Sat"};
  std::array<UString, 7> LongDayNames{u"Sunday",   u"Monday", u"Tuesday", u"Wednesday",
                                      u"Thursday", u"Friday", u"Saturday"};
  // A two-digit year yy is read as the year ending in yy that lies in the 100 years
  // starting this many years before the current one.
  int TwoDigitYearCenturyWindow = 50;
};

// The settings in force (the C locale's until InitFormatSettings or SetFormatSettings).
const TFormatSettings& FormatSettings();
// Reads the user's locale (LC_ALL, LC_NUMERIC, LC_MONETARY, LC_TIME, LANG as the C library
// resolves them). The C and POSIX locales, a locale that is not installed and one whose
// texts are not UTF-8 keep the C settings above.
void InitFormatSettings();
// Hosts and tests may install other conventions.
void SetFormatSettings(const TFormatSettings& settings);
// Back to the C locale's settings.
void ResetFormatSettings();

}  // namespace kv
