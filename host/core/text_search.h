// Finding one text inside another in time linear in both lengths, whatever the texts: a
// script's needle may be megabytes long and as repetitive as it likes.
#pragma once

#include <cstddef>

#include "host/core/ustring.h"

namespace kv {

// The index of the first occurrence of needle in haystack, or UStringView::npos; an empty
// needle is found at 0.
size_t FindText(UStringView haystack, UStringView needle);

}  // namespace kv
