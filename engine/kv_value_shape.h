// The shape of a Variant's value that a member path on it is compiled for: a string, an
// array, or an object (or unconstructed instance) of one class. A late-bound path stays
// valid while the value keeps the shape it had when the path was compiled.
#pragma once

#include <cstdint>

#include "host/core/object.h"
#include "host/core/variant.h"

namespace kv {

struct TkvValueShape {
  enum Holder : uint8_t { kOther, kString, kArray, kObject };
  Holder holder = kOther;
  const TClass* cls = nullptr;  // kObject only
  bool operator==(const TkvValueShape&) const = default;
};

// Never raises: a value no path can be compiled for (Null, a number that is no live object)
// is kOther, which no compiled path has.
TkvValueShape ShapeOf(const Variant& value);

}  // namespace kv
