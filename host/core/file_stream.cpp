#include "host/core/file_stream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "host/core/class_builder.h"
#include "host/core/exceptions.h"
#include "host/core/file_routines.h"

namespace kv {

namespace {

UString SystemMessage(int error) {
  return FromUtf8(std::error_code(error, std::generic_category()).message());
}

template <class E>
[[noreturn]] void RaiseSystem(const char16_t* what, int error) {
  throw E(UString(what) + u" (" + SystemMessage(error) + u")");
}

}  // namespace

// ---------------------------------------------------------------------------------------
// THandleStream

KV_DEFINE_CLASS(THandleStream, TStream) {}

int64_t THandleStream::Read(void* buffer, int64_t count) {
  auto* out = static_cast<char*>(buffer);
  int64_t done = 0;
  // A regular file returns fewer bytes only at its end; pipes and terminals may return
  // fewer at any time, and a signal may interrupt the call.
  while (done < count) {
    const ssize_t got = ::read(handle_, out + done, static_cast<size_t>(count - done));
    if (got < 0) {
      if (errno == EINTR) continue;
      RaiseSystem<EReadError>(u"Stream read error", errno);
    }
    if (got == 0) break;
    done += got;
  }
  return done;
}

int64_t THandleStream::Write(const void* buffer, int64_t count) {
  const auto* in = static_cast<const char*>(buffer);
  int64_t done = 0;
  while (done < count) {
    const ssize_t put = ::write(handle_, in + done, static_cast<size_t>(count - done));
    if (put < 0) {
      if (errno == EINTR) continue;
      RaiseSystem<EWriteError>(u"Stream write error", errno);
    }
    done += put;
  }
  return done;
}

void THandleStream::SetSize(int64_t size) {
  if (size < 0) throw EStreamError(u"Stream size cannot be negative (" + IntToUStr(size) + u")");
  if (::ftruncate(handle_, size) != 0) RaiseSystem<EStreamError>(u"Cannot set the file size", errno);
}

int64_t THandleStream::GetPosition() const {
  const off_t at = ::lseek(handle_, 0, SEEK_CUR);
  if (at < 0) RaiseSystem<EStreamError>(u"Cannot get the stream position", errno);
  return at;
}

void THandleStream::MoveTo(int64_t position) {
  if (::lseek(handle_, position, SEEK_SET) < 0)
    RaiseSystem<EStreamError>(u"Cannot set the stream position", errno);
}

int64_t THandleStream::GetSize() const {
  struct stat info {};
  if (::fstat(handle_, &info) != 0) RaiseSystem<EStreamError>(u"Cannot get the stream size", errno);
  return info.st_size;
}

// ---------------------------------------------------------------------------------------
// TFileStream

KV_DEFINE_CLASS(TFileStream, THandleStream) {}

TFileStream::TFileStream(const UString& fileName, uint16_t mode)
    : THandleStream(OpenFile(fileName, mode)), fileName_(fileName) {}

TFileStream::~TFileStream() { ::close(handle_); }

int TFileStream::OpenFile(const UString& fileName, uint16_t mode) {
  const bool create = mode == fmCreate;
  const auto failWith = [&](const UString& reason) -> int {
    UString shown;  // a #0 in the name would end the message where it is shown
    for (char16_t c : fileName) shown += c == 0 ? UString(u"#0") : UString(1, c);
    if (create) throw EFCreateError(u"Cannot create file \"" + shown + u"\". " + reason);
    throw EFOpenError(u"Cannot open file \"" + shown + u"\". " + reason);
  };
  const auto fail = [&](int error) -> int {
    return failWith(error ? SystemMessage(error)
                          : u"Invalid file mode (" + IntToUStr(mode & 3) + u")");
  };
  const std::optional<std::string> systemName = SystemFileName(fileName);
  if (!systemName) return failWith(u"A file name cannot contain the character #0");
  const std::string& path = *systemName;
  int flags = O_CLOEXEC;
  if (create) {
    flags |= O_RDWR | O_CREAT | O_TRUNC;
  } else {
    switch (mode & 3) {
      case fmOpenRead: flags |= O_RDONLY; break;
      case fmOpenWrite: flags |= O_WRONLY; break;
      case fmOpenReadWrite: flags |= O_RDWR; break;
      default: return fail(0);
    }
  }
  int fd = -1;
  do {
    fd = ::open(path.c_str(), flags, 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return fail(errno);
  // Reading a directory's descriptor fails only later, with a less helpful message.
  struct stat info {};
  if (::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
    ::close(fd);
    return fail(EISDIR);
  }
  return fd;
}

}  // namespace kv
