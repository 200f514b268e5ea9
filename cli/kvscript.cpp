// kvscript: the command-line runner.
//
//   kvscript FILE.pas          compile and run
//   kvscript --check FILE.pas  compile only; prints Ok
//   kvscript --il FILE.pas     print the IL document, indented, and exit
//
// Exit codes: 0 success, 1 compile error, 2 uncaught run-time error, 3 bad usage, an
// unreadable file or standard output that could not be written (whatever else happened:
// output that was lost must not pass for success). ShowMessage writes to standard output.
//
// Scripts may build windows: without a display they run on Qt's offscreen platform and the
// runner ends with the script; with one, it waits until the windows the script left open
// are closed. An error that escapes an event handler is written to standard error, the
// program goes on, and the runner exits 2 at the end.
//
// KV_NO_FAST_PATHS=1 in the environment runs with the engine's fast paths switched off,
// which must change no result (the script tests run both ways).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>

#include "api/kv_gui_session.h"
#include "api/kv_startup.h"
#include "cli/kv_heap_pages.h"
#include "cli/kv_il_dump.h"
#include "cli/kv_standard_streams.h"
#include "engine/kv_fast_paths.h"
#include "engine/kv_iinterpreter.h"
#include "host/core/exceptions.h"
#include "host/core/file_routines.h"
#include "host/core/file_stream.h"
#include "host/core/text_file_limit.h"

namespace {

void ApplyFastPathSwitch() {
  const char* value = std::getenv("KV_NO_FAST_PATHS");
  if (value != nullptr && *value != '\0' && std::strcmp(value, "0") != 0) {
    kv::SetFastPathsEnabled(false);
  }
}

enum ExitCode { kOk = 0, kCompileError = 1, kRunError = 2, kUsage = 3 };
enum class Mode { Run, Check, IL };

void PrintLine(FILE* to, const kv::UString& text) {
  std::string line = kv::ToUtf8(text);
  line.push_back('\n');
  std::fwrite(line.data(), 1, line.size(), to);
  std::fflush(to);
}

int Usage(const char* reason) {
  std::fprintf(stderr, "kvscript: %s\nusage: kvscript [--check | --il] FILE.pas\n", reason);
  return kUsage;
}

// The host's file stream refuses a directory and will not read a device without end
// forever; its exception says why a file could not be read.
std::optional<std::string> ReadFileBytes(const std::string& path) {
  try {
    kv::TFileStream file(kv::FileNameFromSystem(path), kv::fmOpenRead);
    kv::CheckTextFileSize(kv::FileNameFromSystem(path), file.Size());
    return file.ReadAllBytes();
  } catch (const kv::Exception& e) {
    PrintLine(stderr, u"kvscript: cannot read " + kv::FromUtf8(path) + u": " + e.Message());
    return std::nullopt;
  }
}

// "Error in 3:9 -> ';' expected", or with the unit for an error inside a used unit.
kv::UString CompileErrorLine(const kv::TkvScript& script) {
  kv::UString where = script.ErrorUnitName.empty()
                          ? script.ErrorPosition
                          : script.ErrorUnitName + u" " + script.ErrorPosition;
  return u"Error in " + where + u" -> " + script.ErrorText;
}

// A script that never ran is left to the end of the process instead of being freed: its
// program is memory alone (none of its statements ran, so it made no objects and attached
// no handlers that its end would release), and the system takes that back at once, where
// freeing a large program object by object costs several percent of its compile. It stays
// reachable, so leak checkers do not count it. The runner runs one script per process.
void LeaveUntilExit(std::unique_ptr<kv::TkvScript> script) {
  static kv::TkvScript* left = nullptr;  // a plain pointer: nothing frees it at exit
  if (left != nullptr || script->ComponentCount() != 0) return;  // freed as usual
  left = script.release();
}

// `path` is the argument's bytes, which need not be UTF-8: FileNameFromSystem keeps them.
int RunFile(Mode mode, const std::string& path) {
  auto owned = std::make_unique<kv::TkvScript>();
  kv::TkvScript& script = *owned;
  script.Parent = kv::GlobalScript();
  script.SourceFileName = kv::FileNameFromSystem(path);
  {
    // The file's bytes and their decoding go once the lines hold the text.
    std::optional<std::string> bytes = ReadFileBytes(path);
    if (!bytes) return kUsage;
    script.Lines()->SetText(kv::DecodeTextFile(*bytes));
  }

  // Configuration faults (an unknown language, a broken grammar, an unreadable unit) raise
  // out of the compile; they are the source's fault as far as a user can tell.
  try {
    if (mode == Mode::IL) {
      kv::UString il;
      if (!kv::SourceToILText(script, il)) {
        PrintLine(stderr, CompileErrorLine(script));
        return kCompileError;
      }
      std::string out = kv::ToUtf8(il);
      std::fwrite(out.data(), 1, out.size(), stdout);
      return kOk;
    }
    if (!script.Compile()) {
      PrintLine(stderr, CompileErrorLine(script));
      LeaveUntilExit(std::move(owned));
      return kCompileError;
    }
  } catch (const std::exception& e) {
    PrintLine(stderr, kv::ExceptionMessage(e));
    return kCompileError;
  }
  if (mode == Mode::Check) {
    PrintLine(stdout, u"Ok");
    LeaveUntilExit(std::move(owned));
    return kOk;
  }
  try {
    script.Execute();
  } catch (const std::exception& e) {
    PrintLine(stderr, kv::ExceptionMessage(e));
    return kRunError;
  }
  kv::FinishGuiSession();
  return kv::GuiErrorCount() > 0 ? kRunError : kOk;
}

}  // namespace

int main(int argc, char** argv) {
  kv::MergeFreedHeapBlocks();
  kv::RequestLargeHeapPages();
  Mode mode = Mode::Run;
  const char* file = nullptr;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--check") == 0 && mode == Mode::Run)
      mode = Mode::Check;
    else if (std::strcmp(argv[i], "--il") == 0 && mode == Mode::Run)
      mode = Mode::IL;
    else if (argv[i][0] == '-' && argv[i][1] != '\0')
      return Usage("unknown or repeated option");
    else if (file)
      return Usage("more than one file given");
    else
      file = argv[i];
  }
  if (!file) return Usage("no script file given");

  kv::ReserveStandardDescriptors();
  ApplyFastPathSwitch();
  kv::StartGuiSession(argc, argv);
  kv::StartEngine();
  const int code = RunFile(mode, file);
  kv::StopEngine();
  kv::StopGuiSession();
  return kv::StandardOutputDelivered() ? code : kUsage;
}
