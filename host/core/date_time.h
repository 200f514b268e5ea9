// Dates and times as the host counts them: a date-time is a double holding days since
// 1899-12-30, its fraction the time of day. Before that day the serial is negative and the
// fraction's magnitude is still the time (-1.25 is 1899-12-29 06:00).
#pragma once

#include <cstdint>

#include "host/core/number_text.h"

namespace kv {

inline constexpr double kMsecsPerDay = 86400000.0;

bool IsLeapYear(int year);
// Raises EConvertError for a month outside 1..12.
int DaysInMonth(int year, int month);

// Years 1..9999, months 1..12, days within the month; the encoders raise EConvertError
// "Invalid argument to date encode" / "Invalid argument to time encode" otherwise.
bool TryEncodeDate(int year, int month, int day, double& out);
double EncodeDate(int year, int month, int day);
// Hours 0..23, minutes and seconds 0..59, milliseconds 0..999.
bool TryEncodeTime(int hour, int minute, int second, int msec, double& out);
double EncodeTime(int hour, int minute, int second, int msec);
// A date and a time of day as one serial; for dates before 1899-12-30 the time is
// subtracted, so that the fraction's magnitude stays the time.
double ComposeDateTime(double date, double time);

// The parts of a serial, rounded to the millisecond. Raise EConvertError for a serial
// outside the years 1..9999 (or not finite).
DateTimeParts DecodeDateTime(double serial);
void DecodeDate(double serial, int& year, int& month, int& day);
void DecodeTime(double serial, int& hour, int& minute, int& second, int& msec);
// 1 for Sunday up to 7 for Saturday.
int DayOfWeek(double serial);

// The local clock.
double Now();
double Date();  // today at 00:00
double Time();  // the time of day on day 0

}  // namespace kv
