// The size limit of a text file read whole into one string: a source file, a used unit, a
// string list's file, an XML document. Every byte gives at most one character, so a file
// within the limit decodes to a string a script may hold; the limit is checked from the
// file's size before anything is read, so a huge file fails at once instead of filling
// memory several times over.
#pragma once

#include <cstdint>

#include "host/core/string_routines.h"
#include "host/core/ustring.h"

namespace kv {

inline constexpr int64_t kMaxTextFileBytes = kMaxStringLength;

// Raises EReadError "Cannot read file "NAME". It has N bytes, more than a text can hold
// (at most kMaxTextFileBytes)" for a size above the limit.
void CheckTextFileSize(UStringView fileName, int64_t size);

}  // namespace kv
