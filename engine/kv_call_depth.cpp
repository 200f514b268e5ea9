// Script call nesting and the stack backstop.
#include "engine/kv_call_depth.h"

#include "engine/kv_iconst.h"
#include "engine/kv_script.h"
#include "host/core/exceptions.h"

namespace kv {

namespace call_depth {

thread_local constinit int tDepth KV_HOT_THREAD_LOCAL = 0;

void Overflow() { throw EStackOverflow(UString(msg::StackOverflow)); }

}  // namespace call_depth

int TkvCallDepthGuard::Depth() { return call_depth::tDepth; }

}  // namespace kv
