#include "host/core/variant_ops.h"

#include "host/core/exceptions.h"

namespace kv {
}  // namespace kv
