#include "host/core/text_search.h"

#include <vector>

namespace kv {

namespace {

// Up to this needle length the library's character-skipping search is faster, and its worst
// case (haystack length times needle length) is still linear in the haystack.
constexpr size_t kShortNeedle = 64;

// border[i]: the length of the longest proper prefix of needle[0..i] that is also its suffix.
std::vector<size_t> Borders(UStringView needle) {
  std::vector<size_t> border(needle.size(), 0);
  size_t k = 0;
  for (size_t i = 1; i < needle.size(); ++i) {
    while (k > 0 && needle[i] != needle[k]) k = border[k - 1];
    if (needle[i] == needle[k]) ++k;
    border[i] = k;
  }
  return border;
}

// Knuth-Morris-Pratt: the haystack is read once; `matched` never falls back further than it
// rose, so the fall-backs together cost at most the haystack's length.
size_t FindLong(UStringView haystack, UStringView needle) {
  const std::vector<size_t> border = Borders(needle);
  size_t matched = 0;
  for (size_t i = 0; i < haystack.size(); ++i) {
    while (matched > 0 && haystack[i] != needle[matched]) matched = border[matched - 1];
    if (haystack[i] == needle[matched]) ++matched;
    if (matched == needle.size()) return i + 1 - needle.size();
  }
  return UStringView::npos;
}

}  // namespace

size_t FindText(UStringView haystack, UStringView needle) {
  if (needle.size() > haystack.size()) return UStringView::npos;
  if (needle.size() <= kShortNeedle) return haystack.find(needle);
  return FindLong(haystack, needle);
}

}  // namespace kv
