#include "cli/kv_startup.h"

#include "engine/kv_iinterpreter.h"
#include "frontend/kv_il_frontend.h"
#include "frontend/kv_ipascal.h"
#include "host/core/message_service.h"

namespace kv {

namespace {

// Until the built-in routine library lands, the runner registers the one routine every
// script needs to show a result.
int gBuiltinsRegistrar;

void RegisterShowMessage() {
  TkvScript* global = GlobalScript();
  global->CurrentRegistrar = &gBuiltinsRegistrar;
  global->DefineFunction(
      u"procedure ShowMessage(Msg: Variant)",
      [](int32_t, TClass*, const UString&, TkvParams& params) {
        MessageService().ShowMessage(params[0].ToString());
        return Variant();
      },
      u"ctOther", u"ShowMessage");
  global->CurrentRegistrar = nullptr;
}

}  // namespace

void StartEngine() {
  InitInterpreter();
  RegisterPascalScript();
  InstallILFrontEnd();
  RegisterShowMessage();
}

void StopEngine() {
  if (TkvScript* global = GlobalScript()) global->RemoveOwnedBy(&gBuiltinsRegistrar);
  UninstallILFrontEnd();
  DoneInterpreter();
  ClearLanguageRegistry();
}

}  // namespace kv
