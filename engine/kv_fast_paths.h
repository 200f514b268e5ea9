// The process-wide switch of the engine's fast paths: shortcuts that skip the general
// evaluation (classified designators, direct operand reads, prepared assignment operands,
// folded self-assignments, in-place integer arithmetic, ...) and must give the same result.
// Switched off, only the general paths run, so that a test run can compare the two.
#pragma once

#include <atomic>

namespace kv {

namespace detail {
extern std::atomic<bool> fastPathsEnabled;
}

// Every fast path consults this before it is chosen (at compile, prepare or run time); a new
// fast path must too.
inline bool FastPathsEnabled() { return detail::fastPathsEnabled.load(std::memory_order_relaxed); }

// Takes effect for code compiled (and statements prepared) afterwards; set it before
// compiling scripts. On by default.
void SetFastPathsEnabled(bool enabled);

}  // namespace kv
