#include "host/core/format_settings.h"

#include <langinfo.h>
#include <locale.h>

#include <climits>
#include <clocale>
#include <cstring>
#include <string_view>

namespace kv {

namespace {

TFormatSettings& Current() {
  static TFormatSettings settings;
  return settings;
}

bool IsCLocaleName(std::string_view name) {
  return name.empty() || name == "C" || name == "POSIX" || name.starts_with("C.");
}

bool IsAsciiLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }

// A date or time pattern of ours from a strftime pattern of the C library. Literal letters
// are quoted so that the pattern does not read them as specifiers.
UString PatternFromStrftime(std::string_view f) {
  UString out;
  for (size_t i = 0; i < f.size(); ++i) {
    if (f[i] != '%' || i + 1 == f.size()) {
      UString text = FromUtf8(f.substr(i, 1));
      if (!text.empty() && IsAsciiLetter(text[0]))
        out += u'"' + text + u'"';
      else
        out += text;
      continue;
    }
    char d = f[++i];
    // glibc's flags and modifiers change padding or numerals; our patterns have their own.
    while (std::strchr("EO-_0^#", d) && i + 1 < f.size()) d = f[++i];
    switch (d) {
      case 'd':
        out += u"dd";
        break;
      case 'e':
        out += u"d";
        break;
      case 'm':
        out += u"mm";
        break;
      case 'y':
        out += u"yy";
        break;
      case 'Y':
      case 'G':
        out += u"yyyy";
        break;
      case 'b':
      case 'h':
        out += u"mmm";
        break;
      case 'B':
        out += u"mmmm";
        break;
      case 'a':
        out += u"ddd";
        break;
      case 'A':
        out += u"dddd";
        break;
      case 'H':
        out += u"hh";
        break;
      case 'k':
        out += u"h";
        break;
      case 'I':
        out += u"hh";
        break;
      case 'l':
        out += u"h";
        break;
      case 'M':
        out += u"nn";
        break;
      case 'S':
        out += u"ss";
        break;
      case 'p':
      case 'P':
        out += u"ampm";
        break;
      case 'T':
        out += u"hh:nn:ss";
        break;
      case 'R':
        out += u"hh:nn";
        break;
      case 'r':
        out += u"hh:nn:ss ampm";
        break;
      case 'D':
        out += u"mm/dd/yy";
        break;
      case 'F':
        out += u"yyyy-mm-dd";
        break;
      case 'n':
      case 't':
        out += u' ';
        break;
      case '%':
        out += u'%';
        break;
      default:
        break;  // time zones, week numbers and the like have no place in our patterns
    }
  }
  return out;
}

// The first separator character of a pattern: neither a letter nor a quote nor a blank.
char16_t SeparatorOf(const UString& pattern, char16_t fallback) {
  bool quoted = false;
  for (char16_t c : pattern) {
    if (c == u'"') quoted = !quoted;
    if (quoted || c == u'"' || c == u' ' || IsAsciiLetter(c)) continue;
    return c;
  }
  return fallback;
}

// The long date pattern in the order of the short one: day first, month first or year first.
UString LongDateFrom(const UString& shortDate) {
  for (char16_t c : shortDate) {
    switch (c) {
      case u'd':
      case u'D':
        return u"dddd, d mmmm yyyy";
      case u'm':
      case u'M':
        return u"dddd, mmmm d, yyyy";
      case u'y':
      case u'Y':
        return u"dddd, yyyy mmmm d";
      default:
        break;
    }
  }
  return u"dddd, mmmm d, yyyy";
}

// A time pattern with "ampm" asks for the 12-hour clock: its hours need no leading zero.
UString TwelveHourFriendly(UString pattern) {
  if (pattern.find(u"ampm") != UString::npos && pattern.starts_with(u"hh")) pattern.erase(0, 1);
  return pattern;
}

char16_t SingleUnit(const char* text, char16_t fallback) {
  UString s = FromUtf8(text ? text : "");
  return s.size() == 1 ? s[0] : fallback;
}

uint8_t NegativeCurrencyLayout(bool precedes, bool space, int signPosition) {
  static const uint8_t kLayouts[2][2][5] = {
      // symbol after the number: no space, space
      {{4, 5, 7, 6, 7}, {15, 8, 10, 13, 10}},
      // symbol before the number: no space, space
      {{0, 1, 3, 1, 2}, {14, 9, 11, 9, 12}},
  };
  if (signPosition < 0 || signPosition > 4) signPosition = 1;
  return kLayouts[precedes][space][signPosition];
}

void ReadNumeric(locale_t loc, TFormatSettings& s) {
  s.DecimalSeparator = SingleUnit(nl_langinfo_l(RADIXCHAR, loc), u'.');
  UString thousands = FromUtf8(nl_langinfo_l(THOUSEP, loc));
  s.ThousandSeparator = thousands.size() == 1 ? thousands[0] : 0;
}

void ReadMonetary(locale_t loc, TFormatSettings& s) {
  locale_t previous = uselocale(loc);
  const lconv* lc = localeconv();
  s.CurrencyString = FromUtf8(lc->currency_symbol);
  bool precedes = lc->p_cs_precedes == 1;
  bool space = lc->p_sep_by_space == 1;
  s.CurrencyFormat = static_cast<uint8_t>(precedes ? (space ? 2 : 0) : (space ? 3 : 1));
  bool negPrecedes = lc->n_cs_precedes == CHAR_MAX ? precedes : lc->n_cs_precedes == 1;
  bool negSpace = lc->n_sep_by_space == CHAR_MAX ? space : lc->n_sep_by_space == 1;
  s.NegCurrFormat = NegativeCurrencyLayout(negPrecedes, negSpace, lc->n_sign_posn);
  if (lc->frac_digits >= 0 && lc->frac_digits <= 10) s.CurrencyDecimals = uint8_t(lc->frac_digits);
  uselocale(previous);
}

void ReadTime(locale_t loc, TFormatSettings& s) {
  s.ShortDateFormat = PatternFromStrftime(nl_langinfo_l(D_FMT, loc));
  s.DateSeparator = SeparatorOf(s.ShortDateFormat, u'/');
  s.LongDateFormat = LongDateFrom(s.ShortDateFormat);
  s.LongTimeFormat = TwelveHourFriendly(PatternFromStrftime(nl_langinfo_l(T_FMT, loc)));
  s.TimeSeparator = SeparatorOf(s.LongTimeFormat, u':');
  // The short time is the long one without its seconds.
  s.ShortTimeFormat = s.LongTimeFormat;
  for (auto seconds : {u":ss", u".ss"}) {
    size_t at = s.ShortTimeFormat.find(seconds);
    if (at != UString::npos) s.ShortTimeFormat.erase(at, 3);
  }
  UString am = FromUtf8(nl_langinfo_l(AM_STR, loc));
  UString pm = FromUtf8(nl_langinfo_l(PM_STR, loc));
  if (!am.empty() && !pm.empty()) {
    s.TimeAMString = am;
    s.TimePMString = pm;
  }
  for (int m = 0; m < 12; ++m) {
    s.ShortMonthNames[m] = FromUtf8(nl_langinfo_l(static_cast<nl_item>(ABMON_1 + m), loc));
    s.LongMonthNames[m] = FromUtf8(nl_langinfo_l(static_cast<nl_item>(MON_1 + m), loc));
  }
  for (int d = 0; d < 7; ++d) {
    s.ShortDayNames[d] = FromUtf8(nl_langinfo_l(static_cast<nl_item>(ABDAY_1 + d), loc));
    s.LongDayNames[d] = FromUtf8(nl_langinfo_l(static_cast<nl_item>(DAY_1 + d), loc));
  }
}

// The name the C library resolved for the time category of a locale object.
std::string_view LocaleName(locale_t loc) {
#ifdef _NL_LOCALE_NAME
  const char* name = nl_langinfo_l(_NL_LOCALE_NAME(LC_TIME), loc);
  return name ? name : "";
#else
  (void)loc;
  return "";
#endif
}

}  // namespace

const TFormatSettings& FormatSettings() { return Current(); }

void SetFormatSettings(const TFormatSettings& settings) { Current() = settings; }

void ResetFormatSettings() { Current() = TFormatSettings(); }

void InitFormatSettings() {
  TFormatSettings settings;
  locale_t loc = newlocale(LC_CTYPE_MASK | LC_NUMERIC_MASK | LC_MONETARY_MASK | LC_TIME_MASK, "",
                           static_cast<locale_t>(0));
  if (loc) {
    bool utf8 = std::string_view(nl_langinfo_l(CODESET, loc)) == "UTF-8";
    if (utf8 && !IsCLocaleName(LocaleName(loc))) {
      ReadNumeric(loc, settings);
      ReadMonetary(loc, settings);
      ReadTime(loc, settings);
    }
    freelocale(loc);
  }
  Current() = settings;
}

}  // namespace kv
