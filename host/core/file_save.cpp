#include "host/core/file_save.h"

#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <random>
#include <string>

#include "host/core/exceptions.h"
#include "host/core/file_errors.h"
#include "host/core/file_routines.h"
#include "host/core/file_stream.h"

namespace kv {

namespace {

constexpr int kMaxLinkHops = 40;       // as the kernel allows; more is a loop
constexpr int kMaxNameAttempts = 100;  // temporary names are random; a clash is rare

[[noreturn]] void RaiseCreate(const UString& fileName, int error) {
  throw EFCreateError(FileErrorMessage(u"Cannot create", fileName, SystemErrorText(error)));
}

[[noreturn]] void RaiseWrite(const UString& fileName, int error) {
  throw EWriteError(FileErrorMessage(u"Cannot write", fileName, SystemErrorText(error)));
}

// The folder part of `path` with its final '/', or "" for a name in the current folder.
std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The file that saving `path` replaces: symbolic links at the end of the path are followed,
// a dangling one to the file it names. Links among the folders need no following, since the
// temporary file is made in whichever folder they lead to.
std::string FollowLinks(const std::string& path, const UString& fileName) {
  std::string at = path;
  for (int hop = 0; hop < kMaxLinkHops; ++hop) {
    struct stat info {};
    if (::lstat(at.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return at;
    char target[4096];
    const ssize_t length = ::readlink(at.c_str(), target, sizeof target);
    if (length < 0) RaiseCreate(fileName, errno);
    if (length == 0 || static_cast<size_t>(length) >= sizeof target)
      RaiseCreate(fileName, ENAMETOOLONG);
    const std::string next(target, static_cast<size_t>(length));
    at = next.front() == '/' ? next : FolderOf(at) + next;
  }
  RaiseCreate(fileName, ELOOP);
}

// Files of the kernel's pseudo file systems are views of its state: they have no content to
// lose, and no temporary file can be made beside them.
bool IsOnPseudoFileSystem(const std::string& path) {
  struct statfs fileSystem {};
  if (::statfs(path.c_str(), &fileSystem) != 0) return false;
  switch (fileSystem.f_type) {
    case PROC_SUPER_MAGIC:
    case SYSFS_MAGIC:
    case CGROUP_SUPER_MAGIC:
    case CGROUP2_SUPER_MAGIC:
    case DEBUGFS_MAGIC:
    case TRACEFS_MAGIC:
    case SECURITYFS_MAGIC:
      return true;
    default:
      return false;
  }
}

// Renaming over a device node or a pseudo-file would put a plain file where the system
// expects the node; those are written in place. So is a name that cannot be a file (empty,
// or ending in '/'), for the file stream to refuse with its usual reason.
bool MustWriteInPlace(const std::string& path, const std::optional<struct stat>& existing) {
  if (path.empty() || path.back() == '/') return true;
  if (!existing) return false;
  return !S_ISREG(existing->st_mode) || IsOnPseudoFileSystem(path);
}

void WriteInPlace(const UString& fileName, std::string_view bytes) {
  TFileStream file(fileName, fmCreate);
  file.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
}

std::string RandomSuffix() {
  static std::random_device source;
  const uint64_t value = (uint64_t{source()} << 32) | source();
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
  return text;
}

// A new file beside the target, removed again unless Commit moved it into the target's
// place. Invariant: while fd_ >= 0 the file is open; path_ names it until Commit.
class TemporaryFile {
 public:
  TemporaryFile(const std::string& target, const UString& fileName) : fileName_(fileName) {
    for (int attempt = 0; attempt < kMaxNameAttempts; ++attempt) {
      path_ = FolderOf(target) + ".kvsave-" + RandomSuffix() + ".tmp";
      // 0666 as for any new file: the umask applies, as it would to the target itself.
      fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
      if (fd_ >= 0) return;
      if (errno != EEXIST && errno != EINTR) RaiseCreate(fileName_, errno);
    }
    RaiseCreate(fileName_, EEXIST);
  }

  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  ~TemporaryFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!committed_) ::unlink(path_.c_str());
  }

  // Owner first: changing it may clear set-id bits that the mode then restores.
  void TakeOwnerAndMode(const struct stat& original) {
    if (::fchown(fd_, original.st_uid, original.st_gid) != 0) {
      // Only a privileged process may give a file away; the file is then the saver's own.
    }
    if (::fchmod(fd_, original.st_mode & 07777) != 0) RaiseWrite(fileName_, errno);
  }

  void Write(std::string_view bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t put = ::write(fd_, bytes.data() + done, bytes.size() - done);
      if (put < 0 && errno == EINTR) continue;
      if (put < 0) RaiseWrite(fileName_, errno);
      if (put == 0) RaiseWrite(fileName_, EIO);  // no progress and no reason: give up
      done += static_cast<size_t>(put);
    }
  }

  // The bytes reach the disk before the rename, so that after a crash the target holds
  // either content whole, never a renamed file whose data was still in memory.
  void FlushAndClose() {
    if (::fsync(fd_) != 0) RaiseWrite(fileName_, errno);
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) RaiseWrite(fileName_, errno);
  }

  void Commit(const std::string& target) {
    if (::rename(path_.c_str(), target.c_str()) != 0) RaiseWrite(fileName_, errno);
    committed_ = true;
  }

 private:
  UString fileName_;
  std::string path_;
  int fd_ = -1;
  bool committed_ = false;
};

void ReplaceFile(const UString& fileName, const std::string& target,
                 const std::optional<struct stat>& existing, std::string_view bytes) {
  TemporaryFile temporary(target, fileName);
  if (existing) temporary.TakeOwnerAndMode(*existing);
  temporary.Write(bytes);
  temporary.FlushAndClose();
  temporary.Commit(target);
}

}  // namespace

void SaveFileBytes(const UString& fileName, std::string_view bytes) {
  const std::optional<std::string> systemName = SystemFileName(fileName);
  if (!systemName)
    throw EFCreateError(FileErrorMessage(u"Cannot create", fileName,
                                         u"A file name cannot contain the character #0"));
  const std::string target = FollowLinks(*systemName, fileName);
  std::optional<struct stat> existing;
  if (struct stat info{}; ::stat(target.c_str(), &info) == 0) existing = info;
  if (MustWriteInPlace(target, existing)) {
    WriteInPlace(fileName, bytes);
    return;
  }
  ReplaceFile(fileName, target, existing, bytes);
}

}  // namespace kv
