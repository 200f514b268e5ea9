// Coding of attribute values: "&#N;" with N the decimal code of the character.
#include <string>

#include "host/core/exceptions.h"
#include "xml/kv_xml.h"
#include "xml/kv_xml_io.h"

namespace kv {

namespace {

constexpr char32_t kMaxCodePoint = 0x10FFFF;

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// Whether s[i] must be coded in an attribute value: line breaks and tabs (an XML reader turns
// them into spaces), the characters that would end or break a value or a tag, "&" so that
// coded text never reads as a code, and what a file cannot hold raw.
bool NeedsCode(UStringView s, size_t i) {
  switch (s[i]) {
    case 9:
    case 13:
    case 10:
    case u'"':
    case u'<':
    case u'>':
    case u'&':
      return true;
    default:
      return NeedsCharacterReference(s, i);
  }
}

void AppendCode(UString& out, char16_t c) {
  out += u"&#";
  out += IntToUStr(c);
  out += u';';
}

// Shown in messages: a code with no ";" for a long way makes a long run of "digits".
UString Excerpt(UStringView s) {
  constexpr size_t kShown = 40;
  return s.size() <= kShown ? UString(s) : UString(s.substr(0, kShown)) + u"...";
}

// The character code between "&#" and ";": decimal digits only, at most U+10FFFF.
char32_t ParseCharCode(UStringView digits) {
  if (digits.empty())
    throw EConvertError(u"'" + UString(digits) + u"' is not a valid integer value");
  char32_t code = 0;
  for (char16_t d : digits) {
    if (d < u'0' || d > u'9')
      throw EConvertError(u"'" + Excerpt(digits) + u"' is not a valid integer value");
    code = code * 10 + (d - u'0');
    if (code > kMaxCodePoint)
      throw EConvertError(u"'&#" + Excerpt(digits) + u";' is not a valid character code");
  }
  return code;
}

}  // namespace

bool NeedsCharacterReference(UStringView s, size_t i) {
  const char16_t c = s[i];
  if (c < 0x20) return c != 9 && c != 10 && c != 13;
  if (c >= 0x7F && c <= 0x9F) return true;
  if (c == 0xFFFE || c == 0xFFFF) return true;
  if (IsHighSurrogate(c)) return i + 1 >= s.size() || !IsLowSurrogate(s[i + 1]);
  if (IsLowSurrogate(c)) return i == 0 || !IsHighSurrogate(s[i - 1]);
  return false;
}

UString EncodeAttrValue(UStringView s) {
  UString out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    if (NeedsCode(s, i))
      AppendCode(out, s[i]);
    else
      out.push_back(s[i]);
  }
  return out;
}

UString DecodeAttrValue(UStringView s) {
  UString out;
  out.reserve(s.size());
  size_t i = 0;
  while (i < s.size()) {
    const size_t amp = s.find(u"&#", i);
    if (amp == UStringView::npos) break;
    const size_t semicolon = s.find(u';', amp + 2);
    // No ";" anywhere after it: this "&#" and every later one stay as they are.
    if (semicolon == UStringView::npos) break;
    out.append(s.substr(i, amp - i));
    AppendCodePoint(out, ParseCharCode(s.substr(amp + 2, semicolon - amp - 2)));
    i = semicolon + 1;
  }
  out.append(s.substr(i));
  return out;
}

}  // namespace kv
