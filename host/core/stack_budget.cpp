// The stack budget of the current thread.
#include "host/core/stack_budget.h"

#include <pthread.h>

#include <algorithm>
#include <cstdint>

namespace kv::stack_budget {

namespace {

constexpr std::size_t kMaxReserve = std::size_t{2} << 20;

}  // namespace

thread_local constinit std::uintptr_t tFloor KV_HOT_THREAD_LOCAL = kNotLearnt;

// A thread's stack never moves, so each thread learns its floor once.
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

}  // namespace kv::stack_budget
