// How much of the current thread's C++ stack is left. Work that recurses as deep as its
// input nests (parsing, compiling, running a script) asks before each level, so that input
// nested too deeply ends in a clear error on any stack, the small stacks of worker threads
// included, instead of overflowing it.
#pragma once

#include <cstddef>

namespace kv {

// Whether `bytes` more can be taken from this thread's stack while still leaving its
// reserve: a quarter of the stack, at most 2 MB, kept for what runs after the last check
// (host code a script calls, the unwinding of the exception that reports the overflow).
// The reserve grows with the stack, so small stacks keep most of their room for work.
// Always true when the stack's bounds cannot be learnt.
bool StackHasRoom(std::size_t bytes);

}  // namespace kv
