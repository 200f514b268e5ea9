// What every fuzz target shares: turning the fuzzer's bytes into script text the way the
// command-line runner turns a file's bytes into it, and the one family of exceptions that
// counts as a clean answer to bad input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "host/core/ustring.h"

namespace kv::fuzz {

inline std::string_view Bytes(const uint8_t* data, size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// UTF-8 when valid, else Windows-1251: every byte string is some text.
inline UString DecodeInput(const uint8_t* data, size_t size) {
  return DecodeTextFile(Bytes(data, size));
}

// Inputs longer than this are skipped: the targets look for faults in the logic, not for
// the time a large input takes, and libFuzzer's own -max_len is easy to forget.
inline constexpr size_t kMaxInputSize = 64 * 1024;

}  // namespace kv::fuzz
