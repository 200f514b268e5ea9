#include "host/core/ustring.h"

#include <locale.h>

#include <clocale>
#include <cwctype>

namespace kv {

namespace {

// Decodes one UTF-8 sequence at s[i]; returns the code point or -1 when malformed, and
// advances i past what it consumed (at least one byte).
long DecodeUtf8At(std::string_view s, size_t& i) {
  unsigned char c = s[i++];
  if (c < 0x80) return c;
  int extra;
  long cp;
  if (c >= 0xC2 && c <= 0xDF) {
    extra = 1;
    cp = c & 0x1F;
  } else if (c >= 0xE0 && c <= 0xEF) {
    extra = 2;
    cp = c & 0x0F;
  } else if (c >= 0xF0 && c <= 0xF4) {
    extra = 3;
    cp = c & 0x07;
  } else
    return -1;
  for (int k = 0; k < extra; ++k) {
    if (i >= s.size()) return -1;
    unsigned char d = s[i];
    if ((d & 0xC0) != 0x80) return -1;
    cp = (cp << 6) | (d & 0x3F);
    ++i;
  }
  // Overlong forms, surrogates and values past U+10FFFF are malformed.
  if ((extra == 2 && cp < 0x800) || (extra == 3 && cp < 0x10000) || cp > 0x10FFFF ||
      (cp >= 0xD800 && cp <= 0xDFFF))
    return -1;
  return cp;
}

// Windows-1251 bytes 0x80..0xBF; 0xC0..0xFF are U+0410..U+044F.
const char16_t kCp1251High[64] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409,
    0x2039, 0x040A, 0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0,
    0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB,
    0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6,
    0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457};

// The C.UTF-8 locale carries the full Unicode case tables; the process locale may not.
locale_t CaseLocale() {
  static locale_t loc = [] {
    locale_t l = newlocale(LC_CTYPE_MASK, "C.UTF-8", (locale_t)0);
    return l ? l : newlocale(LC_CTYPE_MASK, "C", (locale_t)0);
  }();
  return loc;
}

}  // namespace

// Whole source files go through here: the text is written in place, and ASCII bytes are
// copied without decoding.
UString FromUtf8(std::string_view utf8) {
  // No sequence gives more UTF-16 units than it has bytes (a malformed byte gives one).
  UString out(utf8.size(), u'\0');
  char16_t* to = out.data();
  size_t i = 0;
  while (i < utf8.size()) {
    const auto byte = static_cast<unsigned char>(utf8[i]);
    if (byte < 0x80) {
      *to++ = byte;
      ++i;
      continue;
    }
    long cp = DecodeUtf8At(utf8, i);
    if (cp < 0) cp = 0xFFFD;
    if (cp <= 0xFFFF) {
      *to++ = static_cast<char16_t>(cp);
    } else {
      cp -= 0x10000;
      *to++ = static_cast<char16_t>(0xD800 + (cp >> 10));
      *to++ = static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    }
  }
  out.resize(static_cast<size_t>(to - out.data()));
  return out;
}

void AppendCodePoint(UString& out, char32_t code) {
  if (code <= 0xFFFF) {
    out.push_back(static_cast<char16_t>(code));
    return;
  }
  code -= 0x10000;
  out.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
  out.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
}

std::string ToUtf8(UStringView text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    unsigned long cp = text[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = 0xFFFD;  // a lone surrogate has no UTF-8 form
    }
    if (cp < 0x80) {
      out.push_back(char(cp));
    } else if (cp < 0x800) {
      out.push_back(char(0xC0 | (cp >> 6)));
      out.push_back(char(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
      out.push_back(char(0xE0 | (cp >> 12)));
      out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(char(0x80 | (cp & 0x3F)));
    } else {
      out.push_back(char(0xF0 | (cp >> 18)));
      out.push_back(char(0x80 | ((cp >> 12) & 0x3F)));
      out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(char(0x80 | (cp & 0x3F)));
    }
  }
  return out;
}

bool IsValidUtf8(std::string_view bytes) {
  size_t i = 0;
  while (i < bytes.size())
    if (DecodeUtf8At(bytes, i) < 0) return false;
  return true;
}

UString FromCp1251(std::string_view bytes) {
  UString out;
  out.reserve(bytes.size());
  for (unsigned char b : bytes) {
    if (b < 0x80)
      out.push_back(b);
    else if (b < 0xC0)
      out.push_back(kCp1251High[b - 0x80]);
    else
      out.push_back(char16_t(0x0410 + (b - 0xC0)));
  }
  return out;
}

std::string ToCp1251(UStringView text) {
  std::string out;
  out.reserve(text.size());
  for (char16_t c : text) {
    if (c < 0x80) {
      out.push_back(char(c));
      continue;
    }
    if (c >= 0x0410 && c <= 0x044F) {
      out.push_back(char(0xC0 + (c - 0x0410)));
      continue;
    }
    char mapped = '?';
    for (int k = 0; k < 64; ++k)
      if (kCp1251High[k] == c) {
        mapped = char(0x80 + k);
        break;
      }
    out.push_back(mapped);
  }
  return out;
}

UString DecodeTextFile(std::string_view bytes, bool* wasUtf8) {
  if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  bool utf8 = IsValidUtf8(bytes);
  if (wasUtf8) *wasUtf8 = utf8;
  return utf8 ? FromUtf8(bytes) : FromCp1251(bytes);
}

char16_t UpCaseBeyondAscii(char16_t c) {
  if (c >= 0xD800 && c <= 0xDFFF) return c;
  wint_t r = towupper_l(c, CaseLocale());
  return r <= 0xFFFF ? char16_t(r) : c;
}

char16_t LoCaseBeyondAscii(char16_t c) {
  if (c >= 0xD800 && c <= 0xDFFF) return c;
  wint_t r = towlower_l(c, CaseLocale());
  return r <= 0xFFFF ? char16_t(r) : c;
}

UString UpperCase(UStringView s) {
  UString out(s);
  for (auto& c : out) c = UpCase(c);
  return out;
}

UString LowerCase(UStringView s) {
  UString out(s);
  for (auto& c : out) c = LoCase(c);
  return out;
}

UString UpperAscii(UStringView s) {
  UString out(s);
  for (auto& c : out)
    if (c >= 'a' && c <= 'z') c = char16_t(c - 32);
  return out;
}

bool SameTextAscii(UStringView a, UStringView b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char16_t x = a[i], y = b[i];
    if (x == y) continue;
    if (x >= 'a' && x <= 'z') x = char16_t(x - 32);
    if (y >= 'a' && y <= 'z') y = char16_t(y - 32);
    if (x != y) return false;
  }
  return true;
}

int CompareText(UStringView a, UStringView b) {
  size_t n = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < n; ++i) {
    char16_t x = a[i], y = b[i];
    if (x == y) continue;
    x = UpCase(x);
    y = UpCase(y);
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

UString IntToUStr(long long value) {
  std::string s = std::to_string(value);
  return UString(s.begin(), s.end());
}

}  // namespace kv
