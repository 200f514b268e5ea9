#include "host/core/file_stream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "host/core/class_builder.h"
#include "host/core/exceptions.h"
#include "host/core/file_errors.h"
#include "host/core/file_routines.h"
#include "host/core/stream_file_kind.h"

namespace kv {

namespace {

template <class E>
[[noreturn]] void RaiseSystem(const char16_t* what, int error) {
  throw E(UString(what) + u" (" + SystemErrorText(error) + u")");
}

// The open(2) flags of a file mode; -1 for an access mode of 3, which names none.
int AccessFlags(uint16_t mode) {
  if (mode == fmCreate) return O_RDWR | O_CREAT | O_TRUNC;
  switch (mode & 3) {
    case fmOpenRead:
      return O_RDONLY;
    case fmOpenWrite:
      return O_WRONLY;
    case fmOpenReadWrite:
      return O_RDWR;
    default:
      return -1;
  }
}

// Opening must not wait: a device (a serial line without carrier, say) may block in open()
// until something happens outside the process. -1 with errno on failure.
int OpenWithoutBlocking(const std::string& path, int access) {
  int fd = -1;
  do {
    fd = ::open(path.c_str(), access | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

// Reads and writes of an accepted file block as usual, so that a device that delivers its
// data slowly is read to its end rather than failing with "try again".
void ResumeBlocking(int fd) {
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
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
  if (::ftruncate(handle_, size) != 0)
    RaiseSystem<EStreamError>(u"Cannot set the file size", errno);
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
    if (create) throw EFCreateError(FileErrorMessage(u"Cannot create", fileName, reason));
    throw EFOpenError(FileErrorMessage(u"Cannot open", fileName, reason));
  };
  const std::optional<std::string> systemName = SystemFileName(fileName);
  if (!systemName) return failWith(u"A file name cannot contain the character #0");
  const int access = AccessFlags(mode);
  if (access < 0) return failWith(u"Invalid file mode (" + IntToUStr(mode & 3) + u")");
  if (std::optional<UString> refusal = WhyStreamsRefuseName(*systemName)) return failWith(*refusal);
  const int fd = OpenWithoutBlocking(*systemName, access);
  if (fd < 0) return failWith(SystemErrorText(errno));
  if (std::optional<UString> refusal = WhyStreamsRefuse(fd)) {
    ::close(fd);
    return failWith(*refusal);
  }
  ResumeBlocking(fd);
  return fd;
}

}  // namespace kv
