#include "cli/kv_startup.h"

#include "engine/kv_iinterpreter.h"
#include "frontend/kv_il_frontend.h"
#include "frontend/kv_ipascal.h"
#include "rtti/kv_iclassesrtti.h"
#include "rtti/kv_isysrtti.h"
#if KV_HAVE_GUI
#include "rtti/kv_iextctrlsrtti.h"
#include "rtti/kv_iformsrtti.h"
#include "rtti/kv_igraphicsrtti.h"
#endif

namespace kv {

void StartEngine() {
  InitInterpreter();
  RegisterPascalScript();
  InstallILFrontEnd();
  StartSysRtti();
  StartClassesRtti();
#if KV_HAVE_GUI
  StartGraphicsRtti();
  StartFormsRtti();
  StartExtCtrlsRtti();
#endif
}

void StopEngine() {
#if KV_HAVE_GUI
  StopExtCtrlsRtti();
  StopFormsRtti();
  StopGraphicsRtti();
#endif
  StopClassesRtti();
  StopSysRtti();
  SetFrontEnd(nullptr);
  DoneInterpreter();
  ClearLanguageRegistry();
}

}  // namespace kv
