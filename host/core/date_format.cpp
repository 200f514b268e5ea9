#include "host/core/date_format.h"

#include <string>

#include "host/core/date_time.h"
#include "host/core/string_routines.h"

namespace kv {

namespace {

// Patterns from the settings may name other patterns (a short date inside "c"); two levels
// are all a sane setting needs, and the limit stops a setting that names itself.
constexpr int kMaxNesting = 3;

char16_t Lower(char16_t c) { return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c; }

bool StartsWithNoCase(UStringView s, size_t at, UStringView word) {
  if (s.size() - at < word.size()) return false;
  for (size_t k = 0; k < word.size(); ++k)
    if (Lower(s[at + k]) != word[k]) return false;
  return true;
}

UString Number(int value, int minDigits) {
  std::string s = std::to_string(value);
  if (static_cast<int>(s.size()) < minDigits)
    s.insert(0, static_cast<size_t>(minDigits) - s.size(), '0');
  return UString(s.begin(), s.end());
}

class DateFormatter {
 public:
  DateFormatter(double serial, const TFormatSettings& s)
      : p_(DecodeDateTime(serial)), dayOfWeek_(DayOfWeek(serial)), s_(s) {}

  UString Run(UStringView pattern) {
    Append(pattern.empty() ? UStringView(u"c") : pattern, 0);
    return std::move(out_);
  }

 private:
  bool HasTime() const { return p_.hour || p_.minute || p_.second || p_.msec; }

  static bool UsesTwelveHours(UStringView pattern) {
    for (size_t i = 0; i < pattern.size(); ++i) {
      char16_t c = pattern[i];
      if (c == u'"' || c == u'\'') {
        size_t close = pattern.find(c, i + 1);
        if (close == UStringView::npos) break;
        i = close;
      } else if (StartsWithNoCase(pattern, i, u"am/pm") || StartsWithNoCase(pattern, i, u"a/p") ||
                 StartsWithNoCase(pattern, i, u"ampm")) {
        return true;
      }
    }
    return false;
  }

  // Called only for letters whose count matters, and the caller skips the whole run, so each
  // character is looked at once: a long run of a literal character must not be rescanned
  // from every one of its positions.
  static size_t RunLength(UStringView s, size_t at) {
    size_t n = 1;
    while (at + n < s.size() && Lower(s[at + n]) == Lower(s[at])) ++n;
    return n;
  }

  int Hour(bool twelve) const {
    if (!twelve) return p_.hour;
    int h = p_.hour % 12;
    return h == 0 ? 12 : h;
  }

  void Append(UStringView pattern, int depth) {
    if (depth >= kMaxNesting) return;
    const bool twelve = UsesTwelveHours(pattern);
    bool afterHour = false;
    size_t i = 0;
    while (i < pattern.size()) {
      char16_t c = pattern[i];
      char16_t lc = Lower(c);
      if (c == u'"' || c == u'\'') {
        size_t close = pattern.find(c, i + 1);
        if (close == UStringView::npos) close = pattern.size();
        out_.append(pattern.substr(i + 1, close - i - 1));
        i = close + 1;
        continue;
      }
      if (lc == u'a') {
        i += AmPm(pattern, i);
        continue;
      }
      size_t n = 1;
      if (UStringView(u"dymhnszt").find(lc) != UStringView::npos) n = RunLength(pattern, i);
      bool specifier = true;
      switch (lc) {
        case u'c':
          Append(s_.ShortDateFormat, depth + 1);
          if (HasTime()) {
            out_ += u' ';
            Append(s_.LongTimeFormat, depth + 1);
          }
          break;
        case u'd':
          Day(n, depth);
          break;
        case u'y':
          out_ += n <= 2 ? Number(p_.year % 100, 2) : Number(p_.year, 4);
          break;
        case u'm':
          if (afterHour && n <= 2)
            out_ += Number(p_.minute, static_cast<int>(n));
          else
            Month(n);
          break;
        case u'h':
          out_ += Number(Hour(twelve), n >= 2 ? 2 : 1);
          break;
        case u'n':
          out_ += Number(p_.minute, n >= 2 ? 2 : 1);
          break;
        case u's':
          out_ += Number(p_.second, n >= 2 ? 2 : 1);
          break;
        case u'z':
          out_ += Number(p_.msec, n >= 3 ? 3 : 1);
          break;
        case u't':
          Append(n == 1 ? s_.ShortTimeFormat : s_.LongTimeFormat, depth + 1);
          break;
        default:
          specifier = false;
          if (c == u'/')
            out_ += s_.DateSeparator;
          else if (c == u':')
            out_ += s_.TimeSeparator;
          else
            out_ += c;
      }
      if (specifier) afterHour = lc == u'h';
      i += n;
      CheckStringLength(static_cast<int64_t>(out_.size()));
    }
  }

  void Day(size_t n, int depth) {
    switch (n) {
      case 1:
        out_ += Number(p_.day, 1);
        break;
      case 2:
        out_ += Number(p_.day, 2);
        break;
      case 3:
        out_ += s_.ShortDayNames[size_t(dayOfWeek_ - 1)];
        break;
      case 4:
        out_ += s_.LongDayNames[size_t(dayOfWeek_ - 1)];
        break;
      case 5:
        Append(s_.ShortDateFormat, depth + 1);
        break;
      default:
        Append(s_.LongDateFormat, depth + 1);
        break;
    }
  }

  void Month(size_t n) {
    switch (n) {
      case 1:
        out_ += Number(p_.month, 1);
        break;
      case 2:
        out_ += Number(p_.month, 2);
        break;
      case 3:
        out_ += s_.ShortMonthNames[size_t(p_.month - 1)];
        break;
      default:
        out_ += s_.LongMonthNames[size_t(p_.month - 1)];
        break;
    }
  }

  // "am/pm", "a/p" or "ampm" at i; a lone "a" is literal. Returns the characters used.
  size_t AmPm(UStringView pattern, size_t i) {
    bool pm = p_.hour >= 12;
    if (StartsWithNoCase(pattern, i, u"am/pm")) {
      out_.append(pattern.substr(pm ? i + 3 : i, 2));
      return 5;
    }
    if (StartsWithNoCase(pattern, i, u"a/p")) {
      out_ += pattern[pm ? i + 2 : i];
      return 3;
    }
    if (StartsWithNoCase(pattern, i, u"ampm")) {
      out_ += pm ? s_.TimePMString : s_.TimeAMString;
      return 4;
    }
    out_ += pattern[i];
    return 1;
  }

  DateTimeParts p_;
  int dayOfWeek_;
  const TFormatSettings& s_;
  UString out_;
};

}  // namespace

UString FormatDateTime(UStringView pattern, double dateTime, const TFormatSettings& settings) {
  return DateFormatter(dateTime, settings).Run(pattern);
}

UString DateToStr(double date, const TFormatSettings& settings) {
  return FormatDateTime(u"ddddd", date, settings);
}

UString TimeToStr(double time, const TFormatSettings& settings) {
  return FormatDateTime(u"tt", time, settings);
}

UString DateTimeToStr(double dateTime, const TFormatSettings& settings) {
  return FormatDateTime(u"c", dateTime, settings);
}

}  // namespace kv
