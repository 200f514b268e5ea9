#include "host/core/string_routines.h"

#include "host/core/exceptions.h"
#include "host/core/text_search.h"

namespace kv {

UString Copy(UStringView s, int32_t from, int32_t count) {
  int64_t start = int64_t{from} - 1;
  if (start < 0) start = 0;
  if (count < 0 || start >= static_cast<int64_t>(s.size())) return {};
  return UString(s.substr(static_cast<size_t>(start), static_cast<size_t>(count)));
}

int32_t Pos(UStringView sub, UStringView s) {
  if (sub.empty() || s.empty()) return 0;
  size_t at = FindText(s, sub);
  return at == UStringView::npos ? 0 : static_cast<int32_t>(at + 1);
}

void Delete(UString& s, int32_t from, int32_t count) {
  int64_t start = int64_t{from} - 1;
  if (s.empty() || start < 0 || start >= static_cast<int64_t>(s.size()) || count <= 0) return;
  s.erase(static_cast<size_t>(start), static_cast<size_t>(count));
}

void Insert(UStringView sub, UString& s, int32_t pos) {
  if (sub.empty()) return;
  int64_t start = int64_t{pos} - 1;
  if (start < 0) start = 0;
  if (start > static_cast<int64_t>(s.size())) start = static_cast<int64_t>(s.size());
  s.insert(static_cast<size_t>(start), sub);
}

UString Trim(UStringView s) {
  size_t first = 0, last = s.size();
  while (first < last && s[first] <= u' ') ++first;
  while (last > first && s[last - 1] <= u' ') --last;
  return UString(s.substr(first, last - first));
}

UString NameCase(UStringView s) {
  UString out(s);
  for (size_t i = 1; i < out.size(); ++i)
    if (out[i - 1] == u' ') out[i] = UpCase(out[i]);
  return out;
}

UString Chr(int32_t code) {
  if (code < 0) throw ERangeError(u"Chr: character code " + IntToUStr(code) + u" is negative");
  return UString(1, static_cast<char16_t>(code & 0xFFFF));
}

int32_t Ord(UStringView s) {
  if (s.empty()) throw ERangeError("Ord: the string is empty, it has no first character");
  return s[0];
}

void CheckStringLength(int64_t length) {
  if (length > kMaxStringLength)
    throw EOutOfMemory(u"A string of " + IntToUStr(length) + u" characters is too long (at most " +
                       IntToUStr(kMaxStringLength) + u")");
}

void SetLength(UString& s, int32_t length) {
  if (length > kMaxStringLength)
    throw EOutOfMemory(u"SetLength: " + IntToUStr(length) + u" characters is too long (at most " +
                       IntToUStr(kMaxStringLength) + u")");
  s.resize(length < 0 ? 0 : static_cast<size_t>(length), u' ');
}

}  // namespace kv
