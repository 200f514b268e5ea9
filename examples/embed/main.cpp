// A host program that embeds kvScript: it registers a function and a class, compiles a
// script with an error and reports it, runs a script, calls a script function, reads and
// writes globals and catches a run-time error with its position.
#include <kvscript/kvscript.h>

#include <iostream>
#include <string>

#include "thermostat.h"

namespace {

std::string Text(const kv::UString& text) { return kv::ToUtf8(text); }

// A deliberate fault on row 3: the function Log takes one argument.
constexpr char16_t kBrokenScript[] = u"begin\n  Log('one');\n  Log('two', 2);\nend.";

constexpr char16_t kScript[] =
    uR"(var
  Greeting: String;
  Runs: Integer;
  Room: TThermostat;

procedure Overheated(Sender: TObject);
begin
  Log('too hot: ' + FloatToStr(TThermostat(Sender).Target));
end;

function Mix(A: Integer; B: Double; Name: String): String;
begin
  Result := Name + ' = ' + FloatToStr(A * B);
end;

function Ratio(A, B: Integer): Integer;
begin
  Result := A div B;
end;

begin
  Runs := Runs + 1;
  Room := TThermostat.Create;
  Room.OnOverheat := 'Overheated';
  Room.Target := 25;
  Room.Adjust(7.5);
  ShowMessage(Greeting + ', run ' + IntToStr(Runs));
end.
)";

bool ReportsCompileError(kv::Script& script) {
  const kv::CompileResult result = script.Compile(kBrokenScript);
  if (result) return false;
  const kv::CompileError& e = result.error;
  std::cout << "compile error at " << e.row << ':' << e.column << ": " << Text(e.message) << '\n';
  return e.row == 3;
}

void RunsScript(kv::Script& script) {
  const kv::CompileResult result = script.Compile(kScript);
  if (!result) throw std::runtime_error("unexpected compile error: " + Text(result.error.message));
  script.SetGlobal(u"Greeting", kv::Variant(u"hello"));
  script.Run();
  script.SetGlobal(u"Runs", kv::Variant(41));
  script.Run();
  std::cout << "Runs = " << script.Global(u"Runs").ToInt() << '\n';
}

void CallsFunction(kv::Script& script) {
  // The text "6" becomes the Integer 6 the function declares.
  const kv::Variant mixed =
      script.Call(u"Mix", {kv::Variant(u"6"), kv::Variant(1.5), kv::Variant(u"x")});
  std::cout << "Mix: " << Text(mixed.ToString()) << '\n';
}

bool CatchesRunTimeError(kv::Script& script) {
  try {
    script.Call(u"Ratio", {kv::Variant(1), kv::Variant(0)});
  } catch (const kv::ScriptError& e) {
    std::cout << "run-time error at " << e.Row() << ':' << e.Column() << ": " << Text(e.Message())
              << '\n';
    for (const kv::ScriptFrame& frame : e.CallStack())
      std::cout << "  in " << (frame.routine.empty() ? "main program" : Text(frame.routine))
                << " at " << frame.row << ':' << frame.column << '\n';
    return true;
  }
  return false;
}

}  // namespace

int main() {
  try {
    // One engine per process, used from this thread; the core libraries need no GUI.
    kv::Engine engine(kv::kCoreLibraries);
    engine.SetMessageHandlers(
        [](const kv::UString& text) { std::cout << "message: " << Text(text) << '\n'; });
    demo::RegisterHostApi(engine.Host());

    kv::Script script;
    if (!ReportsCompileError(script)) {
      std::cout << "the broken script was not reported as expected\n";
      return 1;
    }
    RunsScript(script);
    CallsFunction(script);
    if (!CatchesRunTimeError(script)) {
      std::cout << "division by zero was not reported\n";
      return 1;
    }
  } catch (const kv::Exception& e) {
    std::cout << "unexpected error: " << Text(e.Message()) << '\n';
    return 1;
  } catch (const std::exception& e) {
    std::cout << "unexpected error: " << e.what() << '\n';
    return 1;
  }
  return 0;
}
