#include "host/core/memory_stream.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "host/core/class_builder.h"
#include "host/core/exceptions.h"
#include "host/core/file_save.h"
#include "host/core/file_stream.h"

namespace kv {

namespace {

[[noreturn]] void OutOfMemory() {
  throw EStreamError(u"Out of memory while expanding memory stream");
}

}  // namespace

KV_DEFINE_CLASS(TMemoryStream, TStream) { c.Constructor(); }

int64_t TMemoryStream::Read(void* buffer, int64_t count) {
  const int64_t available = GetSize() - position_;
  if (count <= 0 || available <= 0) return 0;
  count = std::min(count, available);
  // memmove: a stream loading itself reads into its own bytes.
  std::memmove(buffer, data_.data() + position_, static_cast<size_t>(count));
  position_ += count;
  return count;
}

int64_t TMemoryStream::Write(const void* buffer, int64_t count) {
  if (count <= 0) return 0;
  if (count > kMaxSize - position_) OutOfMemory();
  const int64_t end = position_ + count;
  if (end > GetSize()) {
    const int64_t keep = position_;
    SetSize(end);
    position_ = keep;
  }
  std::memmove(data_.data() + position_, buffer, static_cast<size_t>(count));
  position_ = end;
  return count;
}

void TMemoryStream::SetSize(int64_t size) {
  if (size < 0) throw EStreamError(u"Stream size cannot be negative (" + IntToUStr(size) + u")");
  if (size > kMaxSize) OutOfMemory();
  try {
    data_.resize(static_cast<size_t>(size));
  } catch (const std::bad_alloc&) {
    OutOfMemory();
  }
  position_ = std::min(position_, size);
}

void TMemoryStream::Clear() {
  data_.clear();
  data_.shrink_to_fit();
  position_ = 0;
}

void TMemoryStream::LoadFromStream(TStream& stream) {
  if (&stream == this) return;  // reading itself from its start would leave it as it is
  stream.SetPosition(0);
  const int64_t size = stream.Size();
  if (size == 0) {
    // A pseudo-file or pipe may have content without a size.
    const std::string bytes = stream.ReadAllBytes();
    SetSize(static_cast<int64_t>(bytes.size()));
    std::copy(bytes.begin(), bytes.end(), data_.begin());
    return;
  }
  SetSize(size);
  stream.ReadBuffer(data_.data(), size);
}

void TMemoryStream::LoadFromFile(const UString& fileName) {
  TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(file);
}

void TMemoryStream::SaveToStream(TStream& stream) const {
  if (&stream == this) {
    // Writing may move the bytes being written; write a copy.
    const std::vector<char> copy = data_;
    stream.WriteBuffer(copy.data(), static_cast<int64_t>(copy.size()));
    return;
  }
  stream.WriteBuffer(data_.data(), GetSize());
}

void TMemoryStream::SaveToFile(const UString& fileName) const {
  SaveFileBytes(fileName, std::string_view(data_.data(), data_.size()));
}

}  // namespace kv
