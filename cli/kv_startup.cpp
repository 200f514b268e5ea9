#include "cli/kv_startup.h"

#include "engine/kv_iinterpreter.h"
#include "frontend/kv_il_frontend.h"
#include "frontend/kv_ipascal.h"
#include "rtti/kv_iclassesrtti.h"
#include "rtti/kv_isysrtti.h"

namespace kv {

void StartEngine() {
  InitInterpreter();
  RegisterPascalScript();
  InstallILFrontEnd();
  StartSysRtti();
  StartClassesRtti();
}

void StopEngine() {
  StopClassesRtti();
  StopSysRtti();
  SetFrontEnd(nullptr);
  DoneInterpreter();
  ClearLanguageRegistry();
}

}  // namespace kv
