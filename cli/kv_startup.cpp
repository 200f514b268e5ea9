#include "cli/kv_startup.h"

#include "engine/kv_iinterpreter.h"
#include "frontend/kv_il_frontend.h"
#include "frontend/kv_ipascal.h"
#include "rtti/kv_isysrtti.h"

namespace kv {

void StartEngine() {
  InitInterpreter();
  RegisterPascalScript();
  InstallILFrontEnd();
  StartSysRtti();
}

void StopEngine() {
  StopSysRtti();
  UninstallILFrontEnd();
  DoneInterpreter();
  ClearLanguageRegistry();
}

}  // namespace kv
