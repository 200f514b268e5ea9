#include "tests/rtti/script_runner.h"

#include "engine/kv_iinterpreter.h"
#include "frontend/kv_il_frontend.h"
#include "frontend/kv_ipascal.h"
#include "host/core/exceptions.h"

namespace kv {

namespace {

class CollectingMessages : public TMessageService {
 public:
  void ShowMessage(const UString& text) override { out += ToUtf8(text) + "\n"; }
  bool InputQuery(const UString&, const UString&, UString&) override { return false; }
  std::string out;
};

}  // namespace

void StartTestEngine() {
  InitInterpreter();
  RegisterPascalScript();
  InstallILFrontEnd();
}

void StopTestEngine() {
  DoneInterpreter();
  ClearLanguageRegistry();
}

std::string RunScript(const std::string& source) {
  CollectingMessages messages;
  SetMessageService(&messages);
  TkvScript script;
  script.Parent = GlobalScript();
  script.Lines()->SetText(FromUtf8(source));
  try {
    if (!script.Compile()) {
      messages.out += "compile error: " + ToUtf8(script.ErrorText);
    } else {
      script.Execute();
    }
  } catch (const std::exception& e) {
    messages.out += "error: " + ToUtf8(ExceptionMessage(e));
  }
  SetMessageService(nullptr);
  return messages.out;
}

}  // namespace kv
