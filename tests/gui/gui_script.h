// Scripts run in-process against every binding library, kept alive after they ran so that
// their handlers answer the events a test then simulates.
#pragma once

#include <memory>
#include <string>

#include "engine/kv_iinterpreter.h"
#include "host/core/handles.h"
#include "host/core/message_service.h"

namespace kv {

// Starts the engine, the libraries and the application object once per test binary.
void StartGuiTestEngine();

class TGuiScript {
 public:
  // Compiles and runs `source`; a compile or run error fails the test.
  explicit TGuiScript(const std::string& source);
  ~TGuiScript();

  // The object a global variable of the script holds, checked to be a T.
  template <class T>
  T* Object(const char16_t* variable) const {
    return HandleTo<T>(Value(variable).ToInt());
  }
  Variant Value(const char16_t* variable) const;
  void SetValue(const char16_t* variable, const Variant& value);
  // Calls a procedure of the script without arguments.
  void Call(const char16_t* procedure);
  // What ShowMessage showed, one line per message, and forgets it.
  std::string TakeMessages();

 private:
  class Messages;
  std::unique_ptr<Messages> messages_;
  std::unique_ptr<TkvScript> script_;
};

}  // namespace kv
