// The guard against script recursion overflowing the C++ stack. Every script procedure call
// holds one for its duration: it counts nesting against kMaxCallDepth and, as a backstop for
// deep host code between calls, compares the current stack address with the lowest address
// this thread may safely reach.
#pragma once

namespace kv {

class TkvCallDepthGuard {
 public:
  // Raises EStackOverflow "Stack overflow" when the call would nest too deep.
  TkvCallDepthGuard();
  ~TkvCallDepthGuard();
  TkvCallDepthGuard(const TkvCallDepthGuard&) = delete;
  TkvCallDepthGuard& operator=(const TkvCallDepthGuard&) = delete;

  // The nesting of script procedure calls on this thread right now.
  static int Depth();
};

}  // namespace kv
