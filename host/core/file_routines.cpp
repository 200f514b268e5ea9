#include "host/core/file_routines.h"

#include <sys/stat.h>
#include <unistd.h>

#include <string>

namespace kv {

std::optional<std::string> SystemFileName(UStringView fileName) {
  if (fileName.find(u'\0') != UStringView::npos) return std::nullopt;
  return ToUtf8(fileName);
}

bool FileExists(const UString& fileName) {
  const std::optional<std::string> path = SystemFileName(fileName);
  struct stat info {};
  return path && ::stat(path->c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

bool DeleteFile(const UString& fileName) {
  const std::optional<std::string> path = SystemFileName(fileName);
  return path && ::unlink(path->c_str()) == 0;
}

}  // namespace kv
