#include "host/core/file_routines.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <string>

namespace kv {

namespace {

constexpr char16_t kEscapedByteBase = 0xDC00;

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }

// The length a UTF-8 sequence announces by its first byte; 1 for a byte that starts none.
std::size_t SequenceLength(unsigned char lead) {
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 1;
}

// A low surrogate standing for a byte FileNameFromSystem escaped: not the second half of
// a pair.
bool IsEscapedByte(UStringView s, std::size_t i) {
  return s[i] >= kEscapedByteBase + 0x80 && s[i] <= kEscapedByteBase + 0xFF &&
         (i == 0 || !IsHighSurrogate(s[i - 1]));
}

}  // namespace

UString FileNameFromSystem(std::string_view bytes) {
  UString name;
  name.reserve(bytes.size());
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    const std::string_view sequence = bytes.substr(i, SequenceLength(lead));
    if (lead < 0x80 || (sequence.size() > 1 && IsValidUtf8(sequence))) {
      name += FromUtf8(sequence);
      i += sequence.size();
    } else {
      name.push_back(static_cast<char16_t>(kEscapedByteBase + lead));
      ++i;
    }
  }
  return name;
}

std::optional<std::string> SystemFileName(UStringView fileName) {
  if (fileName.find(u'\0') != UStringView::npos) return std::nullopt;
  std::string path;
  path.reserve(fileName.size());
  std::size_t start = 0;  // of the run not yet encoded
  for (std::size_t i = 0; i < fileName.size(); ++i) {
    if (!IsEscapedByte(fileName, i)) continue;
    path += ToUtf8(fileName.substr(start, i - start));
    path.push_back(static_cast<char>(fileName[i] - kEscapedByteBase));
    start = i + 1;
  }
  path += ToUtf8(fileName.substr(start));
  return path;
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
