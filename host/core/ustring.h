// Script text: sequences of UTF-16 code units, and the conversions at the edges of the
// system (UTF-8 files and terminals, Windows-1251 bytes in streams and old files).
#pragma once

#include <string>
#include <string_view>

namespace kv {

using UString = std::u16string;
using UStringView = std::u16string_view;

// UTF-8 <-> UTF-16. Decoding replaces malformed sequences with U+FFFD.
UString FromUtf8(std::string_view utf8);
std::string ToUtf8(UStringView text);
// Appends a code point (at most U+10FFFF) as one code unit or a surrogate pair.
void AppendCodePoint(UString& out, char32_t code);
bool IsValidUtf8(std::string_view bytes);

// Equality by code units through memcmp: for caches that check a name at every access, where
// the character-by-character comparison of the string type costs more.
inline bool SameCodeUnits(UStringView a, UStringView b) {
  return a.size() == b.size() &&
         (a.empty() || std::char_traits<char>::compare(reinterpret_cast<const char*>(a.data()),
                                                       reinterpret_cast<const char*>(b.data()),
                                                       a.size() * sizeof(char16_t)) == 0);
}

// Shorthand for literals and other UTF-8 text written in our own sources.
inline UString U(std::string_view utf8) { return FromUtf8(utf8); }

// Windows-1251: one byte per character. The unassigned byte 0x98 maps to U+0098 so that all
// 256 byte values round-trip; a character the code page lacks encodes as '?'.
UString FromCp1251(std::string_view bytes);
std::string ToCp1251(UStringView text);

// Bytes of a text file: a UTF-8 byte-order mark is skipped; valid UTF-8 is decoded as such,
// anything else as Windows-1251. `wasUtf8` tells the caller how to write the file back.
UString DecodeTextFile(std::string_view bytes, bool* wasUtf8 = nullptr);

// Unicode simple case mapping of single code units (surrogates map to themselves). ASCII is
// mapped inline: names and keywords are compared letter by letter all through a compile.
char16_t UpCaseBeyondAscii(char16_t c);
char16_t LoCaseBeyondAscii(char16_t c);
inline char16_t UpCase(char16_t c) {
  if (c < 0x80) return (c >= u'a' && c <= u'z') ? char16_t(c - 32) : c;
  return UpCaseBeyondAscii(c);
}
inline char16_t LoCase(char16_t c) {
  if (c < 0x80) return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c;
  return LoCaseBeyondAscii(c);
}
UString UpperCase(UStringView s);
UString LowerCase(UStringView s);
// ASCII-only variants: member names reach callbacks upper-cased in ASCII.
UString UpperAscii(UStringView s);
bool SameTextAscii(UStringView a, UStringView b);

// Case-insensitive comparison under Unicode case rules: <0, 0, >0.
int CompareText(UStringView a, UStringView b);
inline bool SameText(UStringView a, UStringView b) {
  return a.size() == b.size() && CompareText(a, b) == 0;
}

// Decimal text of an integer, for messages and conversions.
UString IntToUStr(long long value);

}  // namespace kv
