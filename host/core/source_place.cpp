#include "host/core/source_place.h"

namespace kv {

namespace {

char16_t* PutDigits(char16_t* out, int32_t value) {
  char16_t digits[12];
  int n = 0;
  uint32_t rest = value < 0 ? 0u : uint32_t(value);
  do {
    digits[n++] = char16_t(u'0' + rest % 10);
    rest /= 10;
  } while (rest > 0);
  while (n > 0) *out++ = digits[--n];
  return out;
}

}  // namespace

void AssignPlaceText(UString& out, SourcePlace place) {
  char16_t buffer[32];
  char16_t* end = PutDigits(buffer, place.row);
  *end++ = u':';
  end = PutDigits(end, place.column);
  out.assign(buffer, std::size_t(end - buffer));
}

UString PlaceText(SourcePlace place) {
  UString text;
  AssignPlaceText(text, place);
  return text;
}

}  // namespace kv
