// Runs script text in-process against the global script object, collecting what ShowMessage
// shows, for the tests of the binding libraries.
#pragma once

#include <string>

#include "host/core/message_service.h"

namespace kv {

// Starts the interpreter, the PascalScript grammar and the front end once for the test
// binary (a GoogleTest environment calls it).
void StartTestEngine();
void StopTestEngine();

// The lines ShowMessage showed, each followed by "\n"; a compile error gives
// "compile error: MESSAGE" and an uncaught run-time error appends "error: MESSAGE".
std::string RunScript(const std::string& source);

}  // namespace kv
