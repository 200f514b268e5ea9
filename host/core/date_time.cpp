#include "host/core/date_time.h"

#include <cmath>
#include <ctime>

#include "host/core/exceptions.h"
#include "host/core/format_float.h"

namespace kv {

namespace {

constexpr int kDaysInMonth[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

// Days from 0001-01-01 to the given date (proleptic Gregorian calendar).
int64_t DaysFromYearOne(int year, int month, int day) {
  int64_t y = year - 1;
  int64_t days = y * 365 + y / 4 - y / 100 + y / 400;
  for (int m = 1; m < month; ++m) days += DaysInMonth(year, m);
  return days + day - 1;
}

// 1899-12-30 counted from 0001-01-01.
constexpr int64_t kSerialZeroFromYearOne = 693593;

}  // namespace

bool IsLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int DaysInMonth(int year, int month) {
  if (month < 1 || month > 12)
    throw EConvertError(u"Invalid month " + IntToUStr(month) + u": months run from 1 to 12");
  return kDaysInMonth[month - 1] + (month == 2 && IsLeapYear(year) ? 1 : 0);
}

bool TryEncodeDate(int year, int month, int day, double& out) {
  if (year < 1 || year > 9999 || month < 1 || month > 12) return false;
  if (day < 1 || day > DaysInMonth(year, month)) return false;
  out = static_cast<double>(DaysFromYearOne(year, month, day) - kSerialZeroFromYearOne);
  return true;
}

double EncodeDate(int year, int month, int day) {
  double out;
  if (!TryEncodeDate(year, month, day, out)) throw EConvertError("Invalid argument to date encode");
  return out;
}

bool TryEncodeTime(int hour, int minute, int second, int msec, double& out) {
  if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || msec < 0 ||
      msec > 999)
    return false;
  out = ((hour * 60.0 + minute) * 60.0 + second) * 1000.0 + msec;
  out /= kMsecsPerDay;
  return true;
}

double EncodeTime(int hour, int minute, int second, int msec) {
  double out;
  if (!TryEncodeTime(hour, minute, second, msec, out))
    throw EConvertError("Invalid argument to time encode");
  return out;
}

double ComposeDateTime(double date, double time) { return date < 0 ? date - time : date + time; }

DateTimeParts DecodeDateTime(double serial) {
  DateTimeParts p;
  if (!TryDecodeDateTime(serial, p))
    throw EConvertError(u"Invalid date/time value " + FloatToStr(serial) +
                        u": outside the years 1 to 9999");
  return p;
}

void DecodeDate(double serial, int& year, int& month, int& day) {
  DateTimeParts p = DecodeDateTime(serial);
  year = p.year;
  month = p.month;
  day = p.day;
}

void DecodeTime(double serial, int& hour, int& minute, int& second, int& msec) {
  DateTimeParts p = DecodeDateTime(serial);
  hour = p.hour;
  minute = p.minute;
  second = p.second;
  msec = p.msec;
}

int DayOfWeek(double serial) {
  int64_t days = DecodeDateTime(serial).daySerial;
  // Day 0 was a Saturday.
  return static_cast<int>(((days + 6) % 7 + 7) % 7) + 1;
}

double Now() {
  timespec ts{};
  clock_gettime(CLOCK_REALTIME, &ts);
  tm local{};
  localtime_r(&ts.tv_sec, &local);
  double date = EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
  // A leap second shows as the 59th.
  int second = local.tm_sec > 59 ? 59 : local.tm_sec;
  double time =
      EncodeTime(local.tm_hour, local.tm_min, second, static_cast<int>(ts.tv_nsec / 1000000));
  return ComposeDateTime(date, time);
}

double Date() { return std::trunc(Now()); }

double Time() {
  double now = Now();
  return now - std::trunc(now);
}

}  // namespace kv
