// Script call nesting and the stack backstop.
#include "engine/kv_call_depth.h"

#include "engine/kv_iconst.h"
#include "engine/kv_script.h"
#include "host/core/exceptions.h"
#include "host/core/stack_budget.h"

namespace kv {

namespace {

thread_local int tDepth = 0;

}  // namespace

TkvCallDepthGuard::TkvCallDepthGuard() {
  if (tDepth >= kMaxCallDepth || !StackHasRoom(0))
    throw EStackOverflow(UString(msg::StackOverflow));
  ++tDepth;
}

TkvCallDepthGuard::~TkvCallDepthGuard() { --tDepth; }

int TkvCallDepthGuard::Depth() { return tDepth; }

}  // namespace kv
