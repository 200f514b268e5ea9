// Saving a whole file so that a failure never costs the user the file that was there.
#pragma once

#include <string_view>

#include "host/core/ustring.h"

namespace kv {

// Makes the file `fileName` hold exactly `bytes`. A regular file (or a new one) is replaced
// whole: the bytes go to a temporary file in the same folder, which is flushed to the disk
// and then renamed over the target, so the target holds either its old content or the new
// one, never a part; the temporary file is removed when anything fails. A replaced file keeps
// its permission bits, and its owner when the process may set it.
//
// A symbolic link is followed: the file it leads to is replaced and the link stays a link.
// A target that cannot be replaced by renaming (a character device such as /dev/null, a
// pseudo-file under /proc or /sys) is written in place through a file stream, with that
// stream's refusals.
//
// Raises EFCreateError "Cannot create file \"NAME\". REASON" when the temporary file cannot
// be made (a folder without write permission, a name holding #0), EWriteError "Cannot write
// file \"NAME\". REASON" when the bytes cannot be written, flushed or moved into place.
void SaveFileBytes(const UString& fileName, std::string_view bytes);

}  // namespace kv
