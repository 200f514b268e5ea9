// Fuzz target: the whole compile of a script, as the command-line runner does it with every
// binding library registered. Compile faults never raise: Compile answers false and records
// the error; only configuration faults raise, as kv::Exception. Nothing is executed here
// (a script may loop for ever); execute_fuzz.cpp runs scripts under a statement budget.
#include <cstdint>
#include <cstdlib>

#include "api/kv_gui_session.h"
#include "api/kv_startup.h"
#include "engine/kv_iinterpreter.h"
#include "host/core/exceptions.h"
#include "tests/fuzz/fuzz_input.h"

namespace {

// Scripts may create windows: they run on Qt's offscreen platform like the runner's.
bool StartOnce() {
  static int argc = 1;
  static char name[] = "fuzz";
  static char* argv[] = {name, nullptr};
  kv::StartGuiSession(argc, argv);
  kv::StartEngine();
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool started = StartOnce();
  (void)started;
  if (size > kv::fuzz::kMaxInputSize) return -1;

  kv::TkvScript script;
  script.Parent = kv::GlobalScript();
  script.Lines()->SetText(kv::fuzz::DecodeInput(data, size));
  bool compiled = false;
  try {
    compiled = script.Compile();
  } catch (const kv::Exception&) {
    return 0;
  }
  if (compiled != script.ErrorText.empty()) std::abort();
  if (!compiled && script.ErrorPosition.empty()) std::abort();
  return 0;
}
