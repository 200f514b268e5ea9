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

UString KnownPlaceText(SourcePlace place) { return HasPlace(place) ? PlaceText(place) : UString(); }

namespace {

// A decimal number of at most nine digits, so that it fits an int32_t.
bool ReadNumber(UStringView text, int32_t& out) {
  if (text.empty() || text.size() > 9) return false;
  int32_t value = 0;
  for (char16_t c : text) {
    if (c < u'0' || c > u'9') return false;
    value = value * 10 + (c - u'0');
  }
  out = value;
  return true;
}

}  // namespace

SourcePlace ParsePlace(UStringView text) {
  const size_t colon = text.find(u':');
  SourcePlace place;
  if (colon == UStringView::npos || !ReadNumber(text.substr(0, colon), place.row) ||
      !ReadNumber(text.substr(colon + 1), place.column)) {
    return SourcePlace{};
  }
  return place;
}

UString PlaceText(SourcePlace place) {
  UString text;
  AssignPlaceText(text, place);
  return text;
}

}  // namespace kv
