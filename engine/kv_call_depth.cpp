// Script call nesting and the stack backstop.
#include "engine/kv_call_depth.h"

#include <pthread.h>

#include <algorithm>
#include <cstdint>

#include "engine/kv_iconst.h"
#include "engine/kv_iinterpreter.h"
#include "host/core/exceptions.h"

namespace kv {

namespace {

thread_local int tDepth = 0;

// The lowest stack address this thread lets a script call start at: the stack's low end
// plus a margin that leaves room for the deepest host code a call may run (a binding
// callback, an exception unwinding) before the next check. 0 when the stack is unknown.
uintptr_t ComputeStackFloor() {
  pthread_attr_t attr;
  if (pthread_getattr_np(pthread_self(), &attr) != 0) return 0;
  void* low = nullptr;
  size_t size = 0;
  const int rc = pthread_attr_getstack(&attr, &low, &size);
  pthread_attr_destroy(&attr);
  if (rc != 0 || !low || size == 0) return 0;
  constexpr size_t kMinMargin = size_t{256} << 10;
  constexpr size_t kMaxMargin = size_t{2} << 20;
  const size_t margin = std::clamp(size / 4, kMinMargin, kMaxMargin);
  if (margin >= size) return 0;
  return reinterpret_cast<uintptr_t>(low) + margin;
}

uintptr_t StackFloor() {
  thread_local const uintptr_t floor = ComputeStackFloor();
  return floor;
}

// Stacks grow downward on every platform we build for.
bool StackNearlyExhausted() {
  const uintptr_t here = reinterpret_cast<uintptr_t>(__builtin_frame_address(0));
  return here < StackFloor();
}

}  // namespace

TkvCallDepthGuard::TkvCallDepthGuard() {
  if (tDepth >= kMaxCallDepth || StackNearlyExhausted()) throw EStackOverflow(UString(msg::StackOverflow));
  ++tDepth;
}

TkvCallDepthGuard::~TkvCallDepthGuard() { --tDepth; }

int TkvCallDepthGuard::Depth() { return tDepth; }

}  // namespace kv
