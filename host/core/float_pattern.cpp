// FormatFloat: picture patterns (declared in format_float.h).
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "host/core/float_digits.h"
#include "host/core/format_float.h"

namespace kv {

namespace {

bool IsQuote(char16_t c) { return c == u'"' || c == u'\''; }
bool IsPlaceholder(char16_t c) { return c == u'0' || c == u'#'; }

// Whether an "E" or "e" at i starts an exponent ("E+", "E-").
bool ExponentAt(UStringView s, size_t i) {
  return (s[i] == u'E' || s[i] == u'e') && i + 1 < s.size() &&
         (s[i + 1] == u'+' || s[i + 1] == u'-');
}

// Index just past a quoted literal starting at i (an unclosed quote runs to the end).
size_t SkipQuoted(UStringView s, size_t i) {
  size_t close = s.find(s[i], i + 1);
  return close == UStringView::npos ? s.size() : close + 1;
}

std::vector<UStringView> SplitSections(UStringView pattern) {
  std::vector<UStringView> sections;
  size_t start = 0, i = 0;
  while (i < pattern.size()) {
    if (IsQuote(pattern[i])) {
      i = SkipQuoted(pattern, i);
    } else if (pattern[i] == u';') {
      sections.push_back(pattern.substr(start, i - start));
      start = ++i;
    } else {
      ++i;
    }
  }
  sections.push_back(pattern.substr(start));
  if (sections.size() > 3) sections.resize(3);
  return sections;
}

// What a section asks for, from one pass over it.
struct SectionLayout {
  int intPlaceholders = 0;
  int minIntDigits = 0;  // placeholders from the first "0" before the point on
  int fracPlaceholders = 0;
  int minFracDigits = 0;  // up to the last "0" after the point
  bool hasPoint = false;
  bool grouping = false;
  bool scientific = false;
  int exponentDigits = 0;
};

SectionLayout Analyse(UStringView s) {
  SectionLayout l;
  int firstZero = -1;
  for (size_t i = 0; i < s.size();) {
    char16_t c = s[i];
    if (IsQuote(c)) {
      i = SkipQuoted(s, i);
      continue;
    }
    if (IsPlaceholder(c)) {
      if (!l.hasPoint) {
        if (c == u'0' && firstZero < 0) firstZero = l.intPlaceholders;
        ++l.intPlaceholders;
      } else {
        ++l.fracPlaceholders;
        if (c == u'0') l.minFracDigits = l.fracPlaceholders;
      }
    } else if (c == u'.' && !l.hasPoint) {
      l.hasPoint = true;
    } else if (c == u',') {
      l.grouping = true;
    } else if (!l.scientific && ExponentAt(s, i)) {
      l.scientific = true;
      i += 2;
      while (i < s.size() && s[i] == u'0') {
        ++l.exponentDigits;
        ++i;
      }
      // Placeholders after the exponent would be read as mantissa digits: there are none
      // in a sensible pattern, and the rest is taken literally.
      break;
    }
    ++i;
  }
  if (firstZero >= 0) l.minIntDigits = l.intPlaceholders - firstZero;
  return l;
}

// The digits a section shows: integer digits (each with the separator that follows it),
// fraction digits and the exponent, ready to be poured into the placeholders.
struct SectionDigits {
  std::vector<UString> intPieces;
  std::string fraction;
  UString exponentDigits;  // without the letter and sign
  bool exponentNegative = false;
  bool zero = true;
};

std::vector<UString> IntegerPieces(const std::string& digits, bool grouping, char16_t sep) {
  std::vector<UString> pieces;
  size_t n = digits.size();
  for (size_t k = 0; k < n; ++k) {
    UString piece(1, static_cast<char16_t>(digits[k]));
    size_t left = n - 1 - k;
    if (grouping && sep != 0 && left > 0 && left % 3 == 0) piece += sep;
    pieces.push_back(std::move(piece));
  }
  return pieces;
}

void TrimFraction(std::string& fraction, int minDigits) {
  while (static_cast<int>(fraction.size()) > minDigits && fraction.back() == '0')
    fraction.pop_back();
}

SectionDigits FixedDigits(double absValue, const SectionLayout& l, char16_t thousandSep) {
  TFloatDigits d = FloatDigits(absValue);
  RoundToDecimals(d, l.fracPlaceholders);
  SectionDigits out;
  out.zero = d.IsZero();
  std::string intDigits = d.exponent > 0 ? IntegerDigits(d) : "";
  if (static_cast<int>(intDigits.size()) < l.minIntDigits)
    intDigits.insert(0, static_cast<size_t>(l.minIntDigits) - intDigits.size(), '0');
  out.intPieces = IntegerPieces(intDigits, l.grouping, thousandSep);
  out.fraction = FractionDigits(d, l.fracPlaceholders);
  TrimFraction(out.fraction, l.minFracDigits);
  return out;
}

SectionDigits ScientificDigits(double absValue, const SectionLayout& l) {
  int intDigits = std::max(1, l.minIntDigits);
  TFloatDigits d = FloatDigits(absValue);
  RoundToSignificant(d, intDigits + l.fracPlaceholders);
  SectionDigits out;
  out.zero = d.IsZero();
  std::string mantissa;
  for (int k = 0; k < intDigits; ++k) mantissa += d.DigitAt(k);
  out.intPieces = IntegerPieces(mantissa, false, 0);
  for (int k = 0; k < l.fracPlaceholders; ++k) out.fraction += d.DigitAt(intDigits + k);
  TrimFraction(out.fraction, l.minFracDigits);
  int exponent = out.zero ? 0 : d.exponent - intDigits;
  out.exponentNegative = exponent < 0;
  std::string e = std::to_string(std::abs(exponent));
  if (static_cast<int>(e.size()) < l.exponentDigits)
    e.insert(0, static_cast<size_t>(l.exponentDigits) - e.size(), '0');
  out.exponentDigits = UString(e.begin(), e.end());
  return out;
}

// Pours the digits into the section's placeholders, copying everything else. Integer
// digits fill the placeholders from the right; those that do not fit go to the first one.
UString Render(UStringView s, const SectionLayout& l, const SectionDigits& d,
               const TFormatSettings& settings) {
  UString out;
  const int pieceCount = static_cast<int>(d.intPieces.size());
  int intSeen = 0, fracSeen = 0;
  bool afterPoint = false;
  for (size_t i = 0; i < s.size();) {
    char16_t c = s[i];
    if (IsQuote(c)) {
      size_t end = SkipQuoted(s, i);
      bool closed = end - 1 > i && s[end - 1] == c;
      out.append(s.substr(i + 1, (closed ? end - 1 : end) - i - 1));
      i = end;
      continue;
    }
    if (IsPlaceholder(c) && !afterPoint) {
      int fromRight = l.intPlaceholders - 1 - intSeen;
      if (intSeen == 0) {
        for (int k = 0; k <= pieceCount - 1 - fromRight; ++k) out += d.intPieces[size_t(k)];
      } else if (pieceCount - 1 - fromRight >= 0) {
        out += d.intPieces[size_t(pieceCount - 1 - fromRight)];
      }
      ++intSeen;
    } else if (IsPlaceholder(c)) {
      if (fracSeen < static_cast<int>(d.fraction.size()))
        out += static_cast<char16_t>(d.fraction[size_t(fracSeen)]);
      ++fracSeen;
    } else if (c == u'.' && !afterPoint && l.hasPoint) {
      afterPoint = true;
      // Without integer placeholders (".00") the integer digits stand before the point.
      if (l.intPlaceholders == 0)
        for (const UString& p : d.intPieces) out += p;
      if (!d.fraction.empty()) out += settings.DecimalSeparator;
    } else if (c == u',') {
      // grouping was noted by Analyse
    } else if (l.scientific && ExponentAt(s, i)) {
      out += c;
      if (d.exponentNegative)
        out += u'-';
      else if (s[i + 1] == u'+')
        out += u'+';
      out += d.exponentDigits;
      i += 2;
      while (i < s.size() && s[i] == u'0') ++i;
      out.append(s.substr(i));  // the rest is literal (see Analyse)
      return out;
    } else {
      out += c;
    }
    ++i;
  }
  return out;
}

UString FormatSection(UStringView section, double absValue, const TFormatSettings& settings,
                      bool& roundedToZero) {
  SectionLayout l = Analyse(section);
  SectionDigits d = l.scientific ? ScientificDigits(absValue, l)
                                 : FixedDigits(absValue, l, settings.ThousandSeparator);
  roundedToZero = d.zero;
  return Render(section, l, d, settings);
}

}  // namespace

UString FormatFloat(UStringView pattern, double value, const TFormatSettings& settings) {
  if (!std::isfinite(value)) return FloatToStrF(value, TFloatFormat::ffGeneral, 15, 0, settings);
  std::vector<UStringView> sections = SplitSections(pattern);
  if (sections[0].empty()) return FloatToStr(value, settings);
  auto present = [&](size_t k) { return sections.size() > k && !sections[k].empty(); };

  UStringView section = sections[0];
  bool ownNegativeSection = false;
  if (value < 0 && present(1)) {
    section = sections[1];
    ownNegativeSection = true;
  } else if (value == 0 && present(2)) {
    section = sections[2];
  }
  bool roundedToZero = false;
  UString text = FormatSection(section, std::fabs(value), settings, roundedToZero);
  if (value != 0 && roundedToZero && present(2))
    return FormatSection(sections[2], 0.0, settings, roundedToZero);
  if (value < 0 && !ownNegativeSection && !roundedToZero) return u"-" + text;
  return text;
}

}  // namespace kv
