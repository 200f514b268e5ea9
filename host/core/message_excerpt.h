// Source text quoted in a message: a name, a literal or a file name may be any length, and a
// message that echoes a 100,000-character token whole is unreadable.
#pragma once

#include <cstddef>

#include "host/core/ustring.h"

namespace kv {

inline constexpr std::size_t kMessageExcerptLength = 64;

// `text` itself when it has at most kMessageExcerptLength code units, else its beginning and
// "...". A surrogate pair is never cut in half, so the excerpt stays printable.
inline UString MessageExcerpt(UStringView text) {
  if (text.size() <= kMessageExcerptLength) return UString(text);
  std::size_t kept = kMessageExcerptLength;
  const char16_t last = text[kept - 1];
  if (last >= 0xD800 && last <= 0xDBFF) --kept;
  UString shown(text.substr(0, kept));
  shown += u"...";
  return shown;
}

}  // namespace kv
