// Routines on files by name, for scripts that manage the files their streams and lists use.
#pragma once

#include <optional>
#include <string>

#include "host/core/ustring.h"

namespace kv {

// File names are bytes to the system, mostly UTF-8. A byte that is not part of valid UTF-8
// (a name written under a single-byte locale) becomes the lone surrogate U+DC80..U+DCFF, a
// code valid UTF-8 never decodes to, and turns back into that byte: every name the system
// gives us opens the same file again.
UString FileNameFromSystem(std::string_view bytes);
// A file name as the system takes it (UTF-8, with the escaped bytes above restored), or
// nothing for a name that holds the character #0: the system would read such a name only up
// to that character, and so name another file.
std::optional<std::string> SystemFileName(UStringView fileName);

// True when `fileName` names an existing file that is not a directory (false for a name
// that holds #0).
bool FileExists(const UString& fileName);
// Deletes the file; false when it could not be deleted (missing, a directory, no right, a
// name that holds #0).
bool DeleteFile(const UString& fileName);

}  // namespace kv
