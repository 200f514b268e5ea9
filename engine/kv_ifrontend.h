// The small interface through which the engine reaches the language front end. The front
// end registers an implementation at start-up; the engine never includes the parser, so the
// two layers do not form a cycle.
#pragma once

#include <memory>

namespace kv {

class TkvScript;
class TkvDesignator;

// Front-end code whose compilation was put off until first use (an IL element, to the
// engine an opaque object).
class TkvDeferredCode {
 public:
  virtual ~TkvDeferredCode() = default;
};

class TkvFrontEnd {
 public:
  virtual ~TkvFrontEnd() = default;
  // Parses the script's Lines in its SyntaxType and compiles them into the script. Records
  // a failure in ErrorText, ErrorPosition and ErrorUnitName; raises only for configuration
  // faults (unknown language, broken grammar).
  virtual void Compile(TkvScript& script) = 0;
  // Compiles deferred code into a fresh designator of the target's script, which the engine
  // then takes over into the target. Raises the compiler's error on failure.
  virtual std::unique_ptr<TkvDesignator> CompileDeferred(TkvScript& script,
                                                         TkvDeferredCode& code) = 0;
};

// The registered front end, or nullptr. The front end owns the object.
void SetFrontEnd(TkvFrontEnd* frontEnd);
TkvFrontEnd* FrontEnd();

}  // namespace kv
