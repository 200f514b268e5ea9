#include "host/core/mask_text.h"

#include <vector>

namespace kv {

namespace {

enum class Accepts : uint8_t { Literal, Letter, LetterOrDigit, AnyChar, Digit, DigitOrSign };
enum class CaseMode : uint8_t { AsTyped, Upper, Lower };

struct MaskPosition {
  Accepts accepts = Accepts::Literal;
  char16_t literal = 0;
  // A separator position ("/" or ":") shows the locale's separator but also takes the
  // picture's own character from a value, so "29/02/2024" fills "00/00/0000" everywhere.
  char16_t alsoTakes = 0;
  CaseMode caseMode = CaseMode::AsTyped;
};

struct ParsedMask {
  std::vector<MaskPosition> positions;
  bool valueHasLiterals = true;
  bool emptyFirst = false;  // "!"
  int placeholders = 0;
};

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
// Letters are the characters that have a case, in any script.
bool IsLetter(char16_t c) { return UpCase(c) != LoCase(c); }

bool Fits(char16_t c, Accepts accepts) {
  switch (accepts) {
    case Accepts::Letter:
      return IsLetter(c);
    case Accepts::LetterOrDigit:
      return IsLetter(c) || IsDigit(c);
    case Accepts::AnyChar:
      return true;
    case Accepts::Digit:
      return IsDigit(c);
    case Accepts::DigitOrSign:
      return IsDigit(c) || c == u'+' || c == u'-';
    case Accepts::Literal:
      return false;
  }
  return false;
}

Accepts PlaceholderOf(char16_t c) {
  switch (c) {
    case u'L':
    case u'l':
      return Accepts::Letter;
    case u'A':
    case u'a':
      return Accepts::LetterOrDigit;
    case u'C':
    case u'c':
      return Accepts::AnyChar;
    case u'0':
    case u'9':
      return Accepts::Digit;
    case u'#':
      return Accepts::DigitOrSign;
    default:
      return Accepts::Literal;
  }
}

ParsedMask Parse(UStringView mask, const TFormatSettings& settings) {
  ParsedMask m;
  CaseMode caseMode = CaseMode::AsTyped;
  size_t i = 0;
  auto literal = [&](char16_t c, char16_t alsoTakes = 0) {
    MaskPosition p;
    p.literal = c;
    p.alsoTakes = alsoTakes;
    m.positions.push_back(p);
  };
  for (; i < mask.size() && mask[i] != u';'; ++i) {
    char16_t c = mask[i];
    if (c == u'\\') {
      if (++i < mask.size()) literal(mask[i]);
    } else if (c == u'<' && i + 1 < mask.size() && mask[i + 1] == u'>') {
      caseMode = CaseMode::AsTyped;
      ++i;
    } else if (c == u'>') {
      caseMode = CaseMode::Upper;
    } else if (c == u'<') {
      caseMode = CaseMode::Lower;
    } else if (c == u'!') {
      m.emptyFirst = true;
    } else if (c == u'_') {
      literal(u' ');
    } else if (c == u':') {
      literal(settings.TimeSeparator, u':');
    } else if (c == u'/') {
      literal(settings.DateSeparator, u'/');
    } else if (Accepts a = PlaceholderOf(c); a != Accepts::Literal) {
      MaskPosition p;
      p.accepts = a;
      p.caseMode = caseMode;
      m.positions.push_back(p);
      ++m.placeholders;
    } else {
      literal(c);
    }
  }
  // The second field: "0" says the value holds only the typed characters.
  if (i + 1 < mask.size() && mask[i + 1] == u'0') m.valueHasLiterals = false;
  return m;
}

char16_t Cased(char16_t c, CaseMode mode) {
  switch (mode) {
    case CaseMode::Upper:
      return UpCase(c);
    case CaseMode::Lower:
      return LoCase(c);
    case CaseMode::AsTyped:
      return c;
  }
  return c;
}

// One pass of the value through the picture; `skip` placeholders at the start stay empty.
// Counts the placeholders that took a character of the value (fitting or not).
UString Pour(const ParsedMask& m, UStringView value, int skip, int& used) {
  UString out;
  size_t vi = 0;
  used = 0;
  for (const MaskPosition& p : m.positions) {
    if (p.accepts == Accepts::Literal) {
      out += p.literal;
      if (m.valueHasLiterals && vi < value.size() &&
          (value[vi] == p.literal || (p.alsoTakes && value[vi] == p.alsoTakes)))
        ++vi;
      continue;
    }
    if (skip > 0 || vi >= value.size()) {
      --skip;
      out += u' ';
      continue;
    }
    char16_t c = value[vi++];
    ++used;
    out += Fits(c, p.accepts) ? Cased(c, p.caseMode) : u' ';
  }
  return out;
}

}  // namespace

UString FormatMaskText(UStringView editMask, UStringView value, const TFormatSettings& settings) {
  ParsedMask m = Parse(editMask, settings);
  int used = 0;
  UString out = Pour(m, value, 0, used);
  if (m.emptyFirst && used < m.placeholders) {
    // The same characters, with the empty positions moved to the front.
    int again = 0;
    out = Pour(m, value, m.placeholders - used, again);
  }
  return out;
}

}  // namespace kv
