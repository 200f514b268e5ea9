// Streams over operating-system file descriptors. I/O is unbuffered (plain read/write
// calls), so bytes written are in the file at once, for other streams and processes too.
#pragma once

#include <cstdint>

#include "host/core/stream.h"
#include "host/core/ustring.h"

namespace kv {

// File modes, with the host's numbers. The access mode is the low two bits; the share flags
// have no meaning on this platform and are accepted and ignored.
inline constexpr uint16_t fmCreate = 0xFFFF;
inline constexpr uint16_t fmOpenRead = 0x0000;
inline constexpr uint16_t fmOpenWrite = 0x0001;
inline constexpr uint16_t fmOpenReadWrite = 0x0002;
inline constexpr uint16_t fmShareExclusive = 0x0010;
inline constexpr uint16_t fmShareDenyWrite = 0x0020;
inline constexpr uint16_t fmShareDenyNone = 0x0040;

// A stream over a descriptor it does not own. A failing system call raises EReadError
// "Stream read error (reason)", EWriteError "Stream write error (reason)" or EStreamError.
class THandleStream : public TStream {
  KV_CLASS(THandleStream, TStream)

 public:
  explicit THandleStream(int handle) : handle_(handle) {}

  int Handle() const { return handle_; }

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  // Truncates or extends the file; the position stays where it was.
  void SetSize(int64_t size) override;

 protected:
  int64_t GetPosition() const override;
  void MoveTo(int64_t position) override;
  int64_t GetSize() const override;

  int handle_;
};

// A stream over a named file, which it opens and closes.
//
// fmCreate creates the file or empties an existing one, for reading and writing.
// fmOpenRead, fmOpenWrite and fmOpenReadWrite open an existing file without changing it
// (fmOpenWrite does not truncate). Failures raise EFCreateError "Cannot create file \"NAME\".
// REASON" or EFOpenError "Cannot open file \"NAME\". REASON". Opening never waits; besides
// an access mode of 3, the stream refuses what stream_file_kind.h rules out: directories,
// named pipes, sockets and memory pseudo-files.
class TFileStream : public THandleStream {
  KV_CLASS(TFileStream, THandleStream)

 public:
  TFileStream(const UString& fileName, uint16_t mode);
  ~TFileStream() override;

  const UString& FileName() const { return fileName_; }

 private:
  static int OpenFile(const UString& fileName, uint16_t mode);

  UString fileName_;
};

}  // namespace kv
