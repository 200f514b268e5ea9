// TStream, the host's abstract sequence of bytes with a position. Descendants: THandleStream
// and TFileStream (file_stream.h), TMemoryStream (memory_stream.h).
//
// Positions and sizes are 64-bit. A count that is negative moves nothing. Text crosses a
// stream one byte per character in the Windows-1251 code page (ReadString, WriteString), so
// a string's Length is its byte count and every byte value round-trips.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "host/core/object.h"
#include "host/core/ustring.h"

namespace kv {

// Seek origins, with the host's numbers.
enum TSeekOrigin : uint16_t { soFromBeginning = 0, soFromCurrent = 1, soFromEnd = 2 };

class TStream : public TObject {
  KV_CLASS(TStream, TObject)

 public:
  // Reads up to `count` bytes into `buffer` and moves the position past them; returns how
  // many were read (fewer at the end of the data, 0 for count <= 0).
  virtual int64_t Read(void* buffer, int64_t count) = 0;
  // Writes `count` bytes at the position and moves past them; returns how many were written.
  virtual int64_t Write(const void* buffer, int64_t count) = 0;

  // Moves to `offset` from `origin` and returns the new position. Raises EStreamError for
  // an origin other than the so constants ("Invalid seek origin (N)") and for a position
  // before the start ("Stream position cannot be negative (N)"). A position beyond the end
  // is allowed: reading there gives nothing, writing fills the gap with zeros.
  int64_t Seek(int64_t offset, int origin);
  int64_t Position() const { return GetPosition(); }
  void SetPosition(int64_t position) { Seek(position, soFromBeginning); }
  int64_t Size() const { return GetSize(); }
  // Truncates or extends the data. A negative size raises EStreamError.
  virtual void SetSize(int64_t size) = 0;

  // Read and Write that move exactly `count` bytes or raise EReadError "Stream read error"
  // / EWriteError "Stream write error".
  void ReadBuffer(void* buffer, int64_t count);
  void WriteBuffer(const void* buffer, int64_t count);

  // Copies `count` bytes from the source's position (count 0: the whole source, from its
  // start; a negative count copies nothing) and returns the number copied. A source with
  // fewer bytes raises EReadError after copying what it had.
  int64_t CopyFrom(TStream& source, int64_t count);

  // Up to `count` bytes from the position as text (one character per byte, Windows-1251).
  // Memory grows with the data actually read, so a huge count costs nothing extra.
  UString ReadString(int64_t count);
  // The first `count` characters of `text` (clipped to 0..its length) as Windows-1251 bytes;
  // returns the number of bytes written.
  int64_t WriteString(UStringView text, int64_t count);
  // All bytes from the position to the end: as many as Size says (fewer raise EReadError),
  // or, when Size says there are none, whatever reads give until they give no more (a
  // pseudo-file or a pipe has content but size 0). More than kMaxReadAll bytes (a sparse
  // file of many gigabytes), or more than kMaxUnsizedRead without a size (a device that
  // never ends), raise EReadError instead of filling memory.
  std::string ReadAllBytes();
  static constexpr int64_t kMaxReadAll = int64_t{1} << 30;
  static constexpr int64_t kMaxUnsizedRead = int64_t{64} << 20;

 protected:
  virtual int64_t GetPosition() const = 0;
  // `position` is at least 0.
  virtual void MoveTo(int64_t position) = 0;
  virtual int64_t GetSize() const = 0;
};

}  // namespace kv
