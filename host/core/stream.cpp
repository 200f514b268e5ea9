#include "host/core/stream.h"

#include <algorithm>
#include <vector>

#include "host/core/class_builder.h"
#include "host/core/exceptions.h"
#include "host/core/string_routines.h"

namespace kv {

namespace {

// Bytes moved per step by CopyFrom and the reads of unknown length.
constexpr int64_t kChunkSize = 0xF000;

}  // namespace

KV_DEFINE_CLASS(TStream, TObject) {}

int64_t TStream::Seek(int64_t offset, int origin) {
  int64_t base = 0;
  switch (origin) {
    case soFromBeginning:
      break;
    case soFromCurrent:
      base = GetPosition();
      break;
    case soFromEnd:
      base = GetSize();
      break;
    default:
      throw EStreamError(u"Invalid seek origin (" + IntToUStr(origin) + u")");
  }
  int64_t target = 0;
  if (__builtin_add_overflow(base, offset, &target))
    throw EStreamError(u"Stream position out of range");
  if (target < 0)
    throw EStreamError(u"Stream position cannot be negative (" + IntToUStr(target) + u")");
  MoveTo(target);
  return target;
}

void TStream::ReadBuffer(void* buffer, int64_t count) {
  if (count > 0 && Read(buffer, count) != count) throw EReadError(u"Stream read error");
}

void TStream::WriteBuffer(const void* buffer, int64_t count) {
  if (count > 0 && Write(buffer, count) != count) throw EWriteError(u"Stream write error");
}

int64_t TStream::CopyFrom(TStream& source, int64_t count) {
  if (count == 0) {
    source.SetPosition(0);
    count = source.Size();
  }
  if (count <= 0) return 0;
  std::vector<char> buffer(static_cast<size_t>(std::min(count, kChunkSize)));
  for (int64_t left = count; left > 0;) {
    const int64_t step = std::min<int64_t>(left, static_cast<int64_t>(buffer.size()));
    source.ReadBuffer(buffer.data(), step);
    WriteBuffer(buffer.data(), step);
    left -= step;
  }
  return count;
}

UString TStream::ReadString(int64_t count) {
  // One byte more than a string holds is enough to know the data is too long for one.
  count = std::min<int64_t>(count, int64_t{kMaxStringLength} + 1);
  std::string bytes;
  while (count > 0) {
    const int64_t step = std::min(count, kChunkSize);
    const size_t old = bytes.size();
    bytes.resize(old + static_cast<size_t>(step));
    const int64_t got = Read(bytes.data() + old, step);
    bytes.resize(old + static_cast<size_t>(std::max<int64_t>(got, 0)));
    if (got < step) break;
    count -= step;
  }
  CheckStringLength(static_cast<int64_t>(bytes.size()));
  return FromCp1251(bytes);
}

int64_t TStream::WriteString(UStringView text, int64_t count) {
  count = std::clamp<int64_t>(count, 0, static_cast<int64_t>(text.size()));
  const std::string bytes = ToCp1251(text.substr(0, static_cast<size_t>(count)));
  return Write(bytes.data(), static_cast<int64_t>(bytes.size()));
}

std::string TStream::ReadAllBytes() {
  const int64_t count = std::max<int64_t>(GetSize() - GetPosition(), 0);
  if (count > kMaxReadAll)
    throw EReadError(u"Stream read error: " + IntToUStr(count) +
                     u" bytes are too many to read at once (at most " + IntToUStr(kMaxReadAll) +
                     u")");
  std::string bytes(static_cast<size_t>(count), '\0');
  ReadBuffer(bytes.data(), count);
  if (count > 0) return bytes;
  for (;;) {
    const size_t old = bytes.size();
    bytes.resize(old + static_cast<size_t>(kChunkSize));
    const int64_t got = Read(bytes.data() + old, kChunkSize);
    bytes.resize(old + static_cast<size_t>(std::max<int64_t>(got, 0)));
    if (got <= 0) return bytes;
    if (static_cast<int64_t>(bytes.size()) > kMaxUnsizedRead)
      throw EReadError(u"Stream read error: the data does not end within " +
                       IntToUStr(kMaxUnsizedRead) + u" bytes (a device without end?)");
  }
}

}  // namespace kv
