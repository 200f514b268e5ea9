// TMemoryStream: a stream over bytes held in memory, which other host code may read and
// write directly through Memory().
#pragma once

#include <cstdint>
#include <vector>

#include "host/core/stream.h"
#include "host/core/ustring.h"

namespace kv {

class TMemoryStream : public TStream {
  KV_CLASS(TMemoryStream, TStream)

 public:
  // The most bytes a memory stream holds; growing beyond it (or running out of memory)
  // raises EStreamError "Out of memory while expanding memory stream".
  static constexpr int64_t kMaxSize = 0x7FFFFFFF;

  TMemoryStream() = default;

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  // New bytes are zeros; a position beyond the new end moves to the end.
  void SetSize(int64_t size) override;

  char* Memory() { return data_.data(); }
  const char* Memory() const { return data_.data(); }

  // Empties the stream and moves to 0.
  void Clear();
  // Replaces the data with the whole of `stream` (read from its start); the position stays,
  // moved to the end when the new data is shorter. Loading a stream from itself keeps it.
  void LoadFromStream(TStream& stream);
  void LoadFromFile(const UString& fileName);
  // Writes the whole data at `stream`'s position, this stream's own position untouched.
  void SaveToStream(TStream& stream) const;
  // The data as the file's whole content; a failed save leaves the file as it was (see
  // SaveFileBytes).
  void SaveToFile(const UString& fileName) const;

 protected:
  int64_t GetPosition() const override { return position_; }
  void MoveTo(int64_t position) override { position_ = position; }
  int64_t GetSize() const override { return static_cast<int64_t>(data_.size()); }

 private:
  // Invariant: data_.size() <= kMaxSize; position_ >= 0 (it may lie beyond the end).
  std::vector<char> data_;
  int64_t position_ = 0;
};

}  // namespace kv
