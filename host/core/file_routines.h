// Routines on files by name, for scripts that manage the files their streams and lists use.
#pragma once

#include "host/core/ustring.h"

namespace kv {

// True when `fileName` names an existing file that is not a directory.
bool FileExists(const UString& fileName);
// Deletes the file; false when it could not be deleted (missing, a directory, no right).
bool DeleteFile(const UString& fileName);

}  // namespace kv
