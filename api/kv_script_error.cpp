// Run-time errors as the public interface reports them.
#include "engine/kv_error_frames.h"
#include "kvscript/kvscript.h"

namespace kv {

ScriptError::ScriptError(UString message, std::vector<ScriptFrame> callStack,
                         std::exception_ptr cause)
    : Exception(std::move(message)), stack_(std::move(callStack)), cause_(std::move(cause)) {}

int ScriptError::Row() const { return stack_.empty() ? 0 : stack_.front().row; }
int ScriptError::Column() const { return stack_.empty() ? 0 : stack_.front().column; }
const UString& ScriptError::Unit() const {
  static const UString kNone;
  return stack_.empty() ? kNone : stack_.front().unit;
}

// Called inside a catch block: the cause is the exception being handled.
// A ScriptError that passes through a script again (a host routine called back into a
// script, which raised) keeps its stack and gains the outer levels.
ScriptError ToScriptError(const std::exception& e) {
  std::vector<ScriptFrame> stack;
  std::exception_ptr cause = std::current_exception();
  auto* already = dynamic_cast<const ScriptError*>(&e);
  if (already) {
    stack = already->CallStack();
    cause = already->Cause();
  }
  for (const TkvErrorFrame& frame : ErrorFramesOf(e))
    stack.push_back({frame.routine, frame.unit, frame.place.row, frame.place.column});
  return ScriptError(ExceptionMessage(e), std::move(stack), std::move(cause));
}

}  // namespace kv
