// The stack budget of the current thread.
#include "host/core/stack_budget.h"

#include <pthread.h>

#include <algorithm>
#include <cstdint>

namespace kv {

namespace {

constexpr std::size_t kMaxReserve = std::size_t{2} << 20;
constexpr std::uintptr_t kNotLearnt = UINTPTR_MAX;

// The lowest address work may reach on this thread's stack: its low end plus the reserve.
// 0 when the bounds are unknown, which lets every request through. A thread's stack never
// moves, so each thread learns it once.
std::uintptr_t LearnFloor() {
  pthread_attr_t attr;
  if (pthread_getattr_np(pthread_self(), &attr) != 0) return 0;
  void* low = nullptr;
  std::size_t size = 0;
  const int rc = pthread_attr_getstack(&attr, &low, &size);
  pthread_attr_destroy(&attr);
  if (rc != 0 || !low || size == 0) return 0;
  const std::size_t reserve = std::min(size / 4, kMaxReserve);
  return reinterpret_cast<std::uintptr_t>(low) + reserve;
}

// Constant-initialised, so reading it costs no initialisation check per request.
thread_local std::uintptr_t tFloor = kNotLearnt;

}  // namespace

// Stacks grow downward on every platform we build for.
bool StackHasRoom(std::size_t bytes) {
  if (tFloor == kNotLearnt) tFloor = LearnFloor();
  const auto here = reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0));
  return here >= tFloor && here - tFloor >= bytes;
}

}  // namespace kv
