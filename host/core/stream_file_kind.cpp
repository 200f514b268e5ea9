#include "host/core/stream_file_kind.h"

#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <string_view>

#include "host/core/file_errors.h"

namespace kv {

namespace {

const char16_t kMemoryRefusal[] = u"The memory of a process or of the machine is not a file";

// The memory character devices: major 1 is the kernel's "mem" driver, whose minors 1, 2 and 4
// are physical memory, kernel memory and I/O ports. Its other minors (null, zero, full,
// random, ...) are harmless.
bool IsMemoryDevice(dev_t device) {
  if (::major(device) != 1) return false;
  const unsigned minor = ::minor(device);
  return minor == 1 || minor == 2 || minor == 4;
}

std::optional<UString> RefusalForKind(const struct stat& info) {
  if (S_ISDIR(info.st_mode)) return SystemErrorText(EISDIR);
  if (S_ISFIFO(info.st_mode)) return UString(u"A named pipe cannot be opened as a file");
  if (S_ISSOCK(info.st_mode)) return UString(u"A socket cannot be opened as a file");
  if (S_ISCHR(info.st_mode) && IsMemoryDevice(info.st_rdev)) return UString(kMemoryRefusal);
  return std::nullopt;
}

// The path the kernel knows an open file by; empty when it cannot say (no /proc).
std::string OpenFilePath(int fd) {
  const std::string link = "/proc/self/fd/" + std::to_string(fd);
  char target[4096];
  const ssize_t length = ::readlink(link.c_str(), target, sizeof target);
  if (length <= 0 || static_cast<size_t>(length) >= sizeof target) return {};
  return std::string(target, static_cast<size_t>(length));
}

// A process's memory is the procfs file "mem" of the process or of one of its threads; the
// kernel's is "kcore". When the file's own path cannot be learnt, no procfs file is trusted.
bool IsProcessMemoryFile(int fd) {
  struct statfs fileSystem {};
  if (::fstatfs(fd, &fileSystem) != 0 || fileSystem.f_type != PROC_SUPER_MAGIC) return false;
  const std::string path = OpenFilePath(fd);
  if (path.empty()) return true;
  const std::string_view leaf = std::string_view(path).substr(path.rfind('/') + 1);
  return leaf == "mem" || leaf == "kcore";
}

}  // namespace

std::optional<UString> WhyStreamsRefuseName(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return std::nullopt;  // opening will say why
  return RefusalForKind(info);
}

std::optional<UString> WhyStreamsRefuse(int fd) {
  struct stat info {};
  if (::fstat(fd, &info) != 0) return SystemErrorText(errno);
  if (std::optional<UString> refusal = RefusalForKind(info)) return refusal;
  if (S_ISREG(info.st_mode) && IsProcessMemoryFile(fd)) return UString(kMemoryRefusal);
  return std::nullopt;
}

}  // namespace kv
