// A place in source text as row and column, and its "row:column" text. The parser keeps
// places as numbers and the text is made only where a message or a document shows it.
#pragma once

#include <cstdint>

#include "host/core/ustring.h"

namespace kv {

struct SourcePlace {
  int32_t row = 0;
  int32_t column = 0;
};

// Replaces the contents of `out` with "row:column", reusing its storage. Neither number is
// ever negative.
void AssignPlaceText(UString& out, SourcePlace place);
UString PlaceText(SourcePlace place);

// Items of a compiled program keep their place as numbers: {0, 0} is no place, written "".
inline bool HasPlace(SourcePlace place) { return place.row != 0 || place.column != 0; }
UString KnownPlaceText(SourcePlace place);
// The place a "row:column" text names; no place for any other text, the empty one included.
SourcePlace ParsePlace(UStringView text);

}  // namespace kv
