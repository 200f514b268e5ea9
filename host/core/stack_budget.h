// How much of the current thread's C++ stack is left. Work that recurses as deep as its
// input nests (parsing, compiling, running a script) asks before each level, so that input
// nested too deeply ends in a clear error on any stack, the small stacks of worker threads
// included, instead of overflowing it.
#pragma once

#include <cstddef>
#include <cstdint>

// For the thread-local counters every script call touches. The libraries are
// position-independent, and there the default model reaches a thread-local variable through
// a call that also makes the caller save its registers around it; initial-exec is a plain
// load. It takes room in the static TLS block, which a library loaded later has little of,
// so only small variables may use it.
#define KV_HOT_THREAD_LOCAL __attribute__((tls_model("initial-exec")))

namespace kv {

namespace stack_budget {

inline constexpr std::uintptr_t kNotLearnt = UINTPTR_MAX;
// The lowest address work may reach on this thread's stack: its low end plus the reserve;
// 0 when the bounds are unknown, kNotLearnt until the thread first asks. Constant-initialised,
// so reading it costs no initialisation check per request (each script call asks).
extern thread_local constinit std::uintptr_t tFloor KV_HOT_THREAD_LOCAL;
std::uintptr_t LearnFloor();

}  // namespace stack_budget

// Whether `bytes` more can be taken from this thread's stack while still leaving its
// reserve: a quarter of the stack, at most 2 MB, kept for what runs after the last check
// (host code a script calls, the unwinding of the exception that reports the overflow).
// The reserve grows with the stack, so small stacks keep most of their room for work.
// Always true when the stack's bounds cannot be learnt. (Stacks grow downward on every
// platform we build for.)
inline bool StackHasRoom(std::size_t bytes) {
  using namespace stack_budget;
  if (tFloor == kNotLearnt) [[unlikely]]
    tFloor = LearnFloor();
  const auto here = reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0));
  return here >= tFloor && here - tFloor >= bytes;
}

}  // namespace kv
