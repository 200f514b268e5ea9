// Fuzz target: compile and run a script under a statement budget. The script's OnRunLine
// handler raises once the budget is spent, and then at every later statement, so no
// try..except can keep a runaway script going. A kv::Exception out of Execute (a run-time
// error of the script, or the budget) is a clean end; any other exception is a fault.
//
// OnRunLine fires once per statement, so a loop whose body can finish a pass without running
// a statement (`while True do ;`, `repeat until False`, a body that starts with continue)
// would never meet the budget: such scripts are compiled but not run. Message boxes are
// swallowed; the fuzzer runs the scripts in a scratch folder (see README.md), since scripts
// may write files.
#include <cstdint>
#include <cstdlib>
#include <typeinfo>
#include <vector>

#include "api/kv_gui_session.h"
#include "api/kv_startup.h"
#include "engine/kv_iinterpreter.h"
#include "host/core/exceptions.h"
#include "host/core/message_service.h"
#include "tests/fuzz/fuzz_input.h"

namespace {

using kv::TkvStatement;

constexpr int kStatementBudget = 20000;

class SilentMessages : public kv::TMessageService {
 public:
  void ShowMessage(const kv::UString&) override {}
  bool InputQuery(const kv::UString&, const kv::UString&, kv::UString&) override { return false; }
};

// Scripts may create windows: they run on Qt's offscreen platform like the runner's.
bool StartOnce() {
  static int argc = 1;
  static char name[] = "fuzz";
  static char* argv[] = {name, nullptr};
  kv::StartGuiSession(argc, argv);
  kv::StartEngine();
  static SilentMessages messages;
  kv::SetMessageService(&messages);
  return true;
}

// What running a statement (list) does before control can leave it early.
enum class Reach {
  kHook,     // OnRunLine certainly fires first
  kEscape,   // break, continue or exit may come first, or the statement is not known here
  kNothing,  // it can finish without either
};

Reach ReachOfList(const TkvStatement& list);

// Statements whose Execute starts with the OnRunLine hook.
bool Hooks(const TkvStatement& s) {
  return dynamic_cast<const kv::TkvAssignmentStmt*>(&s) ||
         dynamic_cast<const kv::TkvCallStmt*>(&s) || dynamic_cast<const kv::TkvIfStmt*>(&s) ||
         dynamic_cast<const kv::TkvCaseStmt*>(&s) || dynamic_cast<const kv::TkvTryStmt*>(&s) ||
         dynamic_cast<const kv::TkvRepeatStmt*>(&s) || dynamic_cast<const kv::TkvWhileStmt*>(&s) ||
         dynamic_cast<const kv::TkvForStmt*>(&s) || dynamic_cast<const kv::TkvVbForStmt*>(&s) ||
         dynamic_cast<const kv::TkvCppForStmt*>(&s);
}

Reach ReachOf(const TkvStatement& s) {
  if (Hooks(s)) return Reach::kHook;
  // A plain block, and a with statement, run their list as it stands.
  if (typeid(s) == typeid(TkvStatement) || dynamic_cast<const kv::TkvWithStmt*>(&s))
    return ReachOfList(s);
  return Reach::kEscape;
}

Reach ReachOfList(const TkvStatement& list) {
  for (int i = 0; i < list.ItemCount(); ++i) {
    const Reach reach = ReachOf(*list.StatementAt(i));
    if (reach != Reach::kNothing) return reach;
  }
  return Reach::kNothing;
}

bool IsLoop(const TkvStatement& s) {
  return dynamic_cast<const kv::TkvRepeatStmt*>(&s) || dynamic_cast<const kv::TkvWhileStmt*>(&s) ||
         dynamic_cast<const kv::TkvForStmt*>(&s) || dynamic_cast<const kv::TkvVbForStmt*>(&s) ||
         dynamic_cast<const kv::TkvCppForStmt*>(&s);
}

// Every statement below `root`, nested lists included, in no particular order.
bool AllLoopsMeetBudget(const TkvStatement& root) {
  std::vector<const TkvStatement*> pending{&root};
  while (!pending.empty()) {
    const TkvStatement& s = *pending.back();
    pending.pop_back();
    if (IsLoop(s) && ReachOfList(s) != Reach::kHook) return false;
    for (int i = 0; i < s.ItemCount(); ++i) pending.push_back(s.StatementAt(i));
    if (auto* branch = dynamic_cast<const kv::TkvIfStmt*>(&s))
      pending.push_back(branch->ElseStatements.get());
    if (auto* choice = dynamic_cast<const kv::TkvCaseStmt*>(&s))
      pending.push_back(choice->ElseStatements.get());
    if (auto* guarded = dynamic_cast<const kv::TkvTryStmt*>(&s))
      pending.push_back(guarded->HandlerStatements.get());
    if (auto* loop = dynamic_cast<const kv::TkvCppForStmt*>(&s)) {
      pending.push_back(loop->FirstStatements.get());
      pending.push_back(loop->SecondStatements.get());
    }
  }
  return true;
}

// The script's main list and those of its routines, nested routines included.
bool ScriptMeetsBudget(const kv::TkvScript& root) {
  std::vector<const kv::TkvScript*> pending{&root};
  while (!pending.empty()) {
    const kv::TkvScript& script = *pending.back();
    pending.pop_back();
    if (!AllLoopsMeetBudget(*script.MainStatements())) return false;
    for (int i = 0; i < script.ItemCount(); ++i) {
      auto* routine = dynamic_cast<const kv::TkvProcVariable*>(script.ItemAt(i));
      if (routine && routine->LocalScript) pending.push_back(routine->LocalScript);
    }
  }
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
  try {
    if (!script.Compile()) return 0;
  } catch (const kv::Exception&) {
    return 0;
  }
  if (!ScriptMeetsBudget(script)) return 0;

  int statements = 0;
  script.SetOnRunLine([&statements](kv::TkvScript*, const kv::UString&, const kv::UString&) {
    if (++statements > kStatementBudget) throw kv::Exception("Statement budget spent");
  });
  try {
    script.Execute();
  } catch (const kv::Exception&) {
  }
  return 0;
}
