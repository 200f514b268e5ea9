#include "host/core/date_parse.h"

#include <cmath>

#include "host/core/date_time.h"
#include "host/core/exceptions.h"

namespace kv {

namespace {

enum class DateOrder { DMY, MDY, YMD };

char16_t Lower(char16_t c) { return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c; }

DateOrder OrderOf(const UString& shortDate) {
  bool quoted = false;
  for (char16_t c : shortDate) {
    if (c == u'"' || c == u'\'') quoted = !quoted;
    if (quoted) continue;
    switch (Lower(c)) {
      case u'd':
        return DateOrder::DMY;
      case u'm':
        return DateOrder::MDY;
      case u'y':
        return DateOrder::YMD;
      default:
        break;
    }
  }
  return DateOrder::YMD;
}

// A cursor over the text being read.
class Scanner {
 public:
  explicit Scanner(UStringView text) : s_(text) {}

  void SkipBlanks() {
    while (i_ < s_.size() && (s_[i_] == u' ' || s_[i_] == u'\t')) ++i_;
  }
  bool AtEnd() const { return i_ >= s_.size(); }
  size_t Position() const { return i_; }
  void Rewind(size_t to) { i_ = to; }

  // Up to `maxDigits` decimal digits; false when there is none.
  bool Number(int& value, int& digits, int maxDigits = 9) {
    value = 0;
    digits = 0;
    while (i_ < s_.size() && s_[i_] >= u'0' && s_[i_] <= u'9') {
      if (++digits > maxDigits) return false;
      value = value * 10 + (s_[i_++] - u'0');
    }
    return digits > 0;
  }
  bool Number(int& value) {
    int digits;
    return Number(value, digits);
  }

  bool Char(char16_t a, char16_t b) {
    if (i_ < s_.size() && (s_[i_] == a || s_[i_] == b)) {
      ++i_;
      return true;
    }
    return false;
  }

  // A word in any letter case.
  bool Word(UStringView word) {
    if (word.empty() || s_.size() - i_ < word.size()) return false;
    for (size_t k = 0; k < word.size(); ++k)
      if (Lower(s_[i_ + k]) != Lower(word[k])) return false;
    i_ += word.size();
    return true;
  }

 private:
  UStringView s_;
  size_t i_ = 0;
};

int CurrentYear() {
  int year, month, day;
  DecodeDate(Now(), year, month, day);
  return year;
}

// A year of one or two digits, placed in the century window.
int WindowedYear(int year, int window) {
  int current = CurrentYear();
  int threshold = current - window;
  int result = threshold / 100 * 100 + year;
  if (result < threshold) result += 100;
  return result;
}

bool ScanDate(Scanner& in, double& out, const TFormatSettings& s) {
  int n[3] = {0, 0, 0}, digits[3] = {0, 0, 0};
  int count = 0;
  while (count < 3) {
    if (count > 0) {
      size_t before = in.Position();
      if (!in.Char(s.DateSeparator, u'/')) break;
      if (!in.Number(n[count], digits[count], 4)) {
        in.Rewind(before);
        break;
      }
    } else if (!in.Number(n[0], digits[0], 4)) {
      return false;
    }
    ++count;
  }
  if (count < 2) return false;
  int year, month, day, yearDigits;
  DateOrder order = OrderOf(s.ShortDateFormat);
  if (count == 2) {
    year = CurrentYear();
    yearDigits = 4;
    bool dayFirst = order == DateOrder::DMY;
    day = dayFirst ? n[0] : n[1];
    month = dayFirst ? n[1] : n[0];
  } else {
    int y = order == DateOrder::YMD ? 0 : 2;
    int m = order == DateOrder::MDY ? 0 : 1;
    int d = order == DateOrder::DMY ? 0 : (order == DateOrder::MDY ? 1 : 2);
    year = n[y];
    yearDigits = digits[y];
    month = n[m];
    day = n[d];
  }
  if (yearDigits <= 2) year = WindowedYear(year, s.TwoDigitYearCenturyWindow);
  return TryEncodeDate(year, month, day, out);
}

// "AM", "PM", the settings' texts, "A" or "P": 0 for none, 1 for AM, 2 for PM.
int ScanAmPm(Scanner& in, const TFormatSettings& s) {
  if (in.Word(s.TimeAMString) || in.Word(u"AM")) return 1;
  if (in.Word(s.TimePMString) || in.Word(u"PM")) return 2;
  if (in.Word(u"A")) return 1;
  if (in.Word(u"P")) return 2;
  return 0;
}

bool ScanTime(Scanner& in, double& out, const TFormatSettings& s) {
  int hour = 0, minute = 0, second = 0, msec = 0;
  if (!in.Number(hour)) return false;
  bool hasMinute = false;
  if (in.Char(s.TimeSeparator, u':')) {
    if (!in.Number(minute)) return false;
    hasMinute = true;
    if (in.Char(s.TimeSeparator, u':')) {
      if (!in.Number(second)) return false;
      if (in.Char(u'.', s.DecimalSeparator)) {
        int fraction, digits;
        if (!in.Number(fraction, digits, 3)) return false;
        for (int k = digits; k < 3; ++k) fraction *= 10;
        msec = fraction;
      }
    }
  }
  in.SkipBlanks();
  int ampm = ScanAmPm(in, s);
  if (ampm != 0) {
    if (hour < 1 || hour > 12) return false;
    hour = hour % 12 + (ampm == 2 ? 12 : 0);
  } else if (!hasMinute) {
    return false;
  }
  return TryEncodeTime(hour, minute, second, msec, out);
}

bool Finished(Scanner& in) {
  in.SkipBlanks();
  return in.AtEnd();
}

[[noreturn]] void NotValid(UStringView text, const char16_t* what) {
  throw EConvertError(u"'" + UString(text) + u"' is not a valid " + what);
}

}  // namespace

bool TryStrToDate(UStringView text, double& out, const TFormatSettings& s) {
  Scanner in(text);
  in.SkipBlanks();
  double date;
  if (!ScanDate(in, date, s) || !Finished(in)) return false;
  out = date;
  return true;
}

bool TryStrToTime(UStringView text, double& out, const TFormatSettings& s) {
  Scanner in(text);
  in.SkipBlanks();
  double time;
  if (!ScanTime(in, time, s) || !Finished(in)) return false;
  out = time;
  return true;
}

bool TryStrToDateTime(UStringView text, double& out, const TFormatSettings& s) {
  Scanner in(text);
  in.SkipBlanks();
  double date, time = 0;
  if (ScanDate(in, date, s)) {
    in.SkipBlanks();
    if (!in.AtEnd() && !ScanTime(in, time, s)) return false;
    if (!Finished(in)) return false;
    out = ComposeDateTime(date, time);
    return true;
  }
  return TryStrToTime(text, out, s);
}

double StrToDate(UStringView text, const TFormatSettings& s) {
  double out;
  if (!TryStrToDate(text, out, s)) NotValid(text, u"date");
  return out;
}

double StrToTime(UStringView text, const TFormatSettings& s) {
  double out;
  if (!TryStrToTime(text, out, s)) NotValid(text, u"time");
  return out;
}

double StrToDateTime(UStringView text, const TFormatSettings& s) {
  double out;
  if (!TryStrToDateTime(text, out, s)) NotValid(text, u"date and time");
  return out;
}

}  // namespace kv
