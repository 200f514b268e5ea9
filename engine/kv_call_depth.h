// The guard against script recursion overflowing the C++ stack. Every script procedure call
// holds one for its duration: it counts nesting against kMaxCallDepth and, as a backstop for
// deep host code between calls, compares the current stack address with the lowest address
// this thread may safely reach.
#pragma once

#include "engine/kv_script.h"  // kMaxCallDepth
#include "host/core/stack_budget.h"

namespace kv {

namespace call_depth {
// The nesting of script procedure calls on this thread.
extern thread_local constinit int tDepth KV_HOT_THREAD_LOCAL;
[[noreturn]] void Overflow();
}  // namespace call_depth

// Inline: every script call takes one.
class TkvCallDepthGuard {
 public:
  // Raises EStackOverflow "Stack overflow" when the call would nest too deep.
  TkvCallDepthGuard() {
    if (call_depth::tDepth >= kMaxCallDepth || !StackHasRoom(0)) [[unlikely]]
      call_depth::Overflow();
    ++call_depth::tDepth;
  }
  ~TkvCallDepthGuard() { --call_depth::tDepth; }
  TkvCallDepthGuard(const TkvCallDepthGuard&) = delete;
  TkvCallDepthGuard& operator=(const TkvCallDepthGuard&) = delete;

  // The nesting of script procedure calls on this thread right now.
  static int Depth();
};

}  // namespace kv
