// kvScript for host programs: start the engine, register what scripts may reach, compile
// and run scripts, call their routines and read and write their globals.
//
//   kv::Engine engine;                                  // one per process, used from one thread
//   engine.Host().Function(u"function Twice(i: Integer): Integer", u"host",
//                          [](kv::TkvParams& p) { return kv::IntArg(p, 0) * 2; });
//   kv::Script script;
//   if (kv::CompileResult r = script.Compile(u"var n: Integer; begin n := Twice(21) end.");
//       !r) { /* r.error.row, r.error.column, r.error.unit, r.error.message */ }
//   script.Run();                                       // raises kv::ScriptError
//   kv::Variant n = script.Global(u"n");                // 42
//
// Registration is the typed-handler interface of the binding libraries (rtti/kv_binding.h):
// declaration strings for routines and members, handlers that take the arguments as Variants
// and return a Variant or anything a Variant is made from. A declaration that does not parse
// or repeats a name raises at registration; a type name no registration has made known by
// the next compile makes that compile fail, naming the declaration (classes may name
// classes registered after them).
#pragma once

#include <functional>
#include <initializer_list>
#include <memory>
#include <vector>

#include "host/core/class_builder.h"
#include "host/core/exceptions.h"
#include "host/core/ustring.h"
#include "host/core/variant.h"
#include "rtti/kv_binding.h"
#include "rtti/kv_ievents.h"

namespace kv {

class TkvScript;

// ---------------------------------------------------------------------------------------
// Registration

// A binding library a host fills from outside: functions, constants, enumerations, types and
// classes with methods, properties and events. Everything it registered goes when it is
// destroyed; it must not outlive the engine.
class HostLibrary : public TkvBindingLibrary {
 public:
  explicit HostLibrary(UString name) : TkvBindingLibrary(std::move(name)) {}

  using TkvBindingLibrary::Class;
  using TkvBindingLibrary::Const;
  using TkvBindingLibrary::Enum;
  using TkvBindingLibrary::ExtendClass;
  using TkvBindingLibrary::FlagsEnum;
  using TkvBindingLibrary::Function;
  using TkvBindingLibrary::Type;
};

// ---------------------------------------------------------------------------------------
// The engine

// The binding libraries an engine may start (bits). The GUI ones need a build with the Qt
// layers and a QApplication the host created; forms and extended controls bring graphics.
enum EngineLibrary : unsigned {
  kSystemLibrary = 1,     // built-in routines: conversions, strings, dates, mathematics
  kClassesLibrary = 2,    // core classes: lists, string lists, streams, components
  kGraphicsLibrary = 4,   // colours, fonts, pens, brushes, canvases, bitmaps
  kFormsLibrary = 8,      // forms and standard controls
  kExtCtrlsLibrary = 16,  // extended controls
  kCoreLibraries = kSystemLibrary | kClassesLibrary,
  kAllLibraries = 31,  // every library this build has
};

// What ShowMessage shows, and what an input query asks (false: the user cancelled).
using ShowMessageHandler = std::function<void(const UString& text)>;
using InputQueryHandler =
    std::function<bool(const UString& caption, const UString& prompt, UString& value)>;

// Starts the engine and the libraries asked for; stops them when destroyed. One engine at a
// time per process: a second one raises while the first lives.
class Engine {
 public:
  explicit Engine(unsigned libraries = kAllLibraries);
  ~Engine();
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  // The host's own library; what it registers goes before the engine stops.
  HostLibrary& Host();

  // Redirects ShowMessage and input queries (standard output and input until then). An
  // empty handler puts the standard one back for that service.
  void SetMessageHandlers(ShowMessageHandler show, InputQueryHandler input = {});

 private:
  class Messages;
  std::unique_ptr<Messages> messages_;
  std::unique_ptr<HostLibrary> host_;
};

// ---------------------------------------------------------------------------------------
// Errors

// Where a compile stopped: 1-based row and column (0 when the fault has no place, such as an
// unknown language), the unit (empty for the script's own text) and the message.
struct CompileError {
  int row = 0;
  int column = 0;
  UString unit;
  UString message;
};

struct CompileResult {
  bool ok = true;
  CompileError error;  // when not ok
  explicit operator bool() const { return ok; }
};

// One level of the script call stack: the statement that was running in a routine (an empty
// routine name is the main program).
struct ScriptFrame {
  UString routine;
  UString unit;
  int row = 0;
  int column = 0;
};

// A run-time error that left a script: its message, the place of the statement that raised
// it and the call stack, innermost first (its first entry is that place). A fault outside
// any statement (an unknown routine name in Script::Call) has row 0 and no stack.
class ScriptError : public Exception {
 public:
  ScriptError(UString message, std::vector<ScriptFrame> callStack, std::exception_ptr cause);
  int Row() const;
  int Column() const;
  const UString& Unit() const;
  const std::vector<ScriptFrame>& CallStack() const { return stack_; }
  // The exception the script raised, for hosts that tell its class apart.
  std::exception_ptr Cause() const { return cause_; }

 private:
  std::vector<ScriptFrame> stack_;
  std::exception_ptr cause_;
};

// ---------------------------------------------------------------------------------------
// Scripts

// A PascalScript program. It sees everything registered with the engine. It must not
// outlive the engine.
class Script {
 public:
  Script();
  ~Script();
  Script(const Script&) = delete;
  Script& operator=(const Script&) = delete;

  // Compiles the text, replacing any program compiled before. Units the script uses are
  // looked up beside sourceFileName first when it is given.
  CompileResult Compile(UStringView text, UStringView sourceFileName = {});
  // Runs the main program; raises ScriptError.
  void Run();

  // Calls a procedure or function of the program by name, each argument converted to its
  // parameter's declared type; answers the function's result (Null for a procedure).
  // Raises ScriptError, also for an unknown name or a wrong argument count.
  Variant Call(UStringView routine, std::initializer_list<Variant> arguments = {});
  Variant Call(UStringView routine, const std::vector<Variant>& arguments);

  // A global variable of the program, of any type; unknown names raise.
  Variant Global(UStringView name) const;
  void SetGlobal(UStringView name, const Variant& value);

  // The engine's script object, for what this interface does not cover.
  TkvScript& Object() { return *script_; }

 private:
  std::unique_ptr<TkvScript> script_;
};

}  // namespace kv
