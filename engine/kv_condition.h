// The truth of a condition's value: the host's boolean conversion, with a boolean (what
// comparisons and the Boolean operators yield) read without a call.
#pragma once

#include "host/core/variant.h"

namespace kv {

inline bool IsTrue(const Variant& value) {
  return value.Type() == varBoolean ? value.RawBool() : value.ToBool();
}

}  // namespace kv
