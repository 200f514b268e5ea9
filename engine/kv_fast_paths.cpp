#include "engine/kv_fast_paths.h"

namespace kv {

namespace detail {
std::atomic<bool> fastPathsEnabled{true};
}

void SetFastPathsEnabled(bool enabled) {
  detail::fastPathsEnabled.store(enabled, std::memory_order_relaxed);
}

}  // namespace kv
