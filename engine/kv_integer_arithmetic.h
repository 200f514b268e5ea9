// The integer rule of script arithmetic, one for every path that computes x op y (the
// operator nodes, the compound and folded assignments, increment calls): two operands of
// static kind Integer that hold integers are combined in 32 bits with wrap-around, as typed
// Pascal integers are. Any other pair takes the Variant operation, which redoes an
// overflowing integer operation in floating point.
#pragma once

#include <cstdint>

#include "host/core/variant.h"

namespace kv {

// Static kind is not enough: "/" of two integers has integer kind but a real value, an
// array element starts Empty, and an Integer variable may have been given a real by a
// Variant operation. Rounding such values to 32 bits would give wrong results; the Variant
// operation gives the right result or the right error.
inline bool HoldsInteger(const Variant& v) {
  const uint16_t type = v.Type();
  return type == varInteger || type == varSmallint || type == varByte;
}

inline int32_t AsInt32(const Variant& v) { return v.Type() == varInteger ? v.RawInt() : v.ToInt(); }

// Wrap-around arithmetic in unsigned, where overflow is defined.
inline int32_t WrapAdd(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
inline int32_t WrapSub(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}
inline int32_t WrapMul(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b));
}

}  // namespace kv
