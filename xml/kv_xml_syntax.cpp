// What a file of ours may hold so that any XML reader accepts it: element names, attribute
// lists, and the coding of character data between an element's tags.
#include <algorithm>
#include <array>
#include <string>
#include <unordered_set>

#include "host/core/exceptions.h"
#include "xml/kv_xml_io.h"

namespace kv {

namespace {

bool IsXmlBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }
bool IsAsciiLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }
bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool IsHexDigit(char16_t c) {
  return IsDigit(c) || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

// Every code above ASCII counts as a letter: the names of our documents are ASCII or words
// of a natural language, and the few non-ASCII codes XML leaves out of names never come up.
bool IsNameStart(char16_t c) { return IsAsciiLetter(c) || c == u'_' || c == u':' || c >= 0x80; }
bool IsNameChar(char16_t c) { return IsNameStart(c) || IsDigit(c) || c == u'-' || c == u'.'; }

UString Quoted(UStringView s) {
  constexpr size_t kShown = 60;  // a hostile text may be megabytes long
  const UString shown = s.size() <= kShown ? UString(s) : UString(s.substr(0, kShown)) + u"...";
  return u"\"" + shown + u"\"";
}

// The length of the reference starting with "&" at `at` ("&amp;", "&#38;", "&#x26;"), or 0
// when there is none.
size_t ReferenceLength(UStringView s, size_t at) {
  for (UStringView named : {u"&amp;", u"&lt;", u"&gt;", u"&quot;", u"&apos;"})
    if (s.substr(at).starts_with(named)) return named.size();
  size_t i = at + 1;
  if (i >= s.size() || s[i] != u'#') return 0;
  ++i;
  const bool hex = i < s.size() && s[i] == u'x';
  if (hex) ++i;
  const size_t digits = i;
  while (i < s.size() && (hex ? IsHexDigit(s[i]) : IsDigit(s[i]))) ++i;
  if (i == digits || i >= s.size() || s[i] != u';') return 0;
  return i + 1 - at;
}

char32_t ReferencedCode(UStringView reference) {
  if (reference == u"&amp;") return u'&';
  if (reference == u"&lt;") return u'<';
  if (reference == u"&gt;") return u'>';
  if (reference == u"&quot;") return u'"';
  if (reference == u"&apos;") return u'\'';
  const bool hex = reference[2] == u'x';
  char32_t code = 0;
  for (char16_t d : reference.substr(hex ? 3 : 2, reference.size() - (hex ? 4 : 3))) {
    const unsigned digit = IsDigit(d) ? d - u'0' : (d | 0x20) - u'a' + 10;
    code = code * (hex ? 16 : 10) + digit;
    if (code > 0x10FFFF)
      throw Exception(u"The character reference " + Quoted(reference) +
                      u" names no Unicode character");
  }
  return code;
}

[[noreturn]] void BadAttrText(UStringView text, const UString& reason) {
  throw Exception(u"Invalid XML attribute text " + Quoted(text) + u": " + reason);
}

// Reads one attribute of an attribute list; `at` stands on its name and ends after the value.
// Returns the name.
UStringView ReadAttribute(UStringView text, size_t& at) {
  const auto fail = [text](const UString& reason) { BadAttrText(text, reason); };
  const size_t nameStart = at;
  if (!IsNameStart(text[at])) fail(u"an attribute name is expected at " + Quoted(text.substr(at)));
  while (at < text.size() && IsNameChar(text[at])) ++at;
  const UStringView name = text.substr(nameStart, at - nameStart);
  while (at < text.size() && IsXmlBlank(text[at])) ++at;
  if (at >= text.size() || text[at] != u'=')
    fail(u"attribute " + Quoted(name) + u" needs \"=\" and a quoted value");
  ++at;
  while (at < text.size() && IsXmlBlank(text[at])) ++at;
  if (at >= text.size() || (text[at] != u'"' && text[at] != u'\''))
    fail(u"the value of attribute " + Quoted(name) + u" must be in quotes");
  const char16_t quote = text[at++];
  for (; at < text.size() && text[at] != quote; ++at) {
    // XML allows ">" in a value, but our reader ends a tag at the first one.
    if (text[at] == u'<' || text[at] == u'>')
      fail(u"the value of attribute " + Quoted(name) + u" holds \"" + text[at] +
           u"\" (code values with EncodeAttrValue)");
    if (text[at] == u'&' && ReferenceLength(text, at) == 0)
      fail(u"the value of attribute " + Quoted(name) +
           u" holds an \"&\" that starts no "
           u"character reference (code values with EncodeAttrValue)");
  }
  if (at >= text.size()) fail(u"the value of attribute " + Quoted(name) + u" is not closed");
  ++at;
  return name;
}

// The attribute names met so far in one list, each once. Lists are short, so the first few
// are compared in place without allocating; a hash set takes over for a long (hostile) list.
class SeenNames {
 public:
  // False when `name` was met before.
  bool Insert(UStringView name) {
    if (many_.empty() && count_ < few_.size()) {
      if (std::find(few_.begin(), few_.begin() + count_, name) != few_.begin() + count_)
        return false;
      few_[count_++] = name;
      return true;
    }
    if (many_.empty()) many_.insert(few_.begin(), few_.end());
    return many_.insert(name).second;
  }

 private:
  std::array<UStringView, 8> few_;
  size_t count_ = 0;
  std::unordered_set<UStringView> many_;
};

}  // namespace

bool IsXmlName(UStringView name) {
  if (name.empty() || !IsNameStart(name.front())) return false;
  for (char16_t c : name)
    if (!IsNameChar(c)) return false;
  return true;
}

void CheckAttrText(UStringView text) {
  SeenNames names;  // XML allows each attribute once per element
  size_t at = 0;
  for (;;) {
    const size_t blanks = at;
    while (at < text.size() && IsXmlBlank(text[at])) ++at;
    if (at >= text.size()) return;
    if (at == blanks && at > 0) BadAttrText(text, u"attributes must be separated by blanks");
    const UStringView name = ReadAttribute(text, at);
    if (!names.Insert(name)) BadAttrText(text, u"attribute " + Quoted(name) + u" is given twice");
  }
}

UString CodeStrayAmpersands(UStringView text) {
  UString out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'&' && ReferenceLength(text, i) == 0)
      out += u"&#38;";
    else
      out.push_back(text[i]);
  }
  return out;
}

bool IsXmlBlankText(UStringView s) {
  for (char16_t c : s)
    if (!IsXmlBlank(c)) return false;
  return true;
}

// A content of blanks alone is coded throughout, because blanks between tags are layout to
// the reader. A carriage return is always coded: XML readers turn a raw one into a line feed.
// Control characters and lone surrogates are coded (NeedsCharacterReference).
UString EncodeCharData(UStringView s) {
  const bool blanksOnly = IsXmlBlankText(s);
  UString out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    const char16_t c = s[i];
    if (c == u'&')
      out += u"&amp;";
    else if (c == u'<')
      out += u"&lt;";
    else if (c == u'>')
      out += u"&gt;";
    else if (c == u'\r' || (blanksOnly && IsXmlBlank(c)) || NeedsCharacterReference(s, i))
      out += u"&#" + IntToUStr(c) + u";";
    else
      out.push_back(c);
  }
  return out;
}

UString DecodeCharData(UStringView s) {
  UString out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) {
    if (s[i] != u'&') {
      out.push_back(s[i++]);
      continue;
    }
    const size_t length = ReferenceLength(s, i);
    if (length == 0)
      throw Exception(
          u"an \"&\" in character data must start a reference such as \"&amp;\" "
          u"or \"&#38;\", at " +
          Quoted(s.substr(i)));
    AppendCodePoint(out, ReferencedCode(s.substr(i, length)));
    i += length;
  }
  return out;
}

}  // namespace kv
