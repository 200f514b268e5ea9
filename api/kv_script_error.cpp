// Run-time errors as the public interface reports them.
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
ScriptError ToScriptError(const std::exception& e) {
  if (auto* already = dynamic_cast<const ScriptError*>(&e)) return *already;
  std::vector<ScriptFrame> stack;
  return ScriptError(ExceptionMessage(e), std::move(stack), std::current_exception());
}

}  // namespace kv
