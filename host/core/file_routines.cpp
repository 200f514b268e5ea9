#include "host/core/file_routines.h"

#include <sys/stat.h>
#include <unistd.h>

#include <string>

namespace kv {

bool FileExists(const UString& fileName) {
  struct stat info {};
  return ::stat(ToUtf8(fileName).c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

bool DeleteFile(const UString& fileName) { return ::unlink(ToUtf8(fileName).c_str()) == 0; }

}  // namespace kv
