#include "api/kv_startup.h"

#include "engine/kv_iinterpreter.h"
#include "engine/kv_registration_checks.h"
#include "frontend/kv_il_frontend.h"
#include "frontend/kv_ipascal.h"
#include "host/core/exceptions.h"
#include "rtti/kv_iclassesrtti.h"
#include "rtti/kv_isysrtti.h"
#ifndef KV_HAVE_GUI
#define KV_HAVE_GUI 0
#endif
#if KV_HAVE_GUI
#include "rtti/kv_iextctrlsrtti.h"
#include "rtti/kv_iformsrtti.h"
#include "rtti/kv_igraphicsrtti.h"
#endif

namespace kv {

namespace {

constexpr unsigned kGuiLibraries = klGraphics | klForms | klExtCtrls;

// Forms and extended controls are built on graphics, and the GUI libraries on the core
// classes; a request names what it uses and gets what that needs.
unsigned WithPrerequisites(unsigned libraries) {
  if (libraries & (klForms | klExtCtrls)) libraries |= klForms | klGraphics;
  if (libraries & kGuiLibraries) libraries |= klClasses;
  return libraries;
}

// Each library's type names are checked once it has registered all its classes.
void StartLibrary(void (*start)()) {
  start();
  CheckNotedTypeNames();
}

void StartLibraries(unsigned libraries) {
  if (libraries & klSystem) StartLibrary(StartSysRtti);
  if (libraries & klClasses) StartLibrary(StartClassesRtti);
#if KV_HAVE_GUI
  if (libraries & klGraphics) StartLibrary(StartGraphicsRtti);
  if (libraries & klForms) StartLibrary(StartFormsRtti);
  if (libraries & klExtCtrls) StartLibrary(StartExtCtrlsRtti);
#endif
}

// A library that was not started is not stopped: a Stop without its Start does nothing.
void StopLibraries() {
#if KV_HAVE_GUI
  StopExtCtrlsRtti();
  StopFormsRtti();
  StopGraphicsRtti();
#endif
  StopClassesRtti();
  StopSysRtti();
}

}  // namespace

bool GuiLibrariesBuilt() { return KV_HAVE_GUI != 0; }

void StartEngine(unsigned libraries) {
  if (!GuiLibrariesBuilt()) {
    if (libraries == klAllLibraries) libraries &= ~kGuiLibraries;
    if (libraries & kGuiLibraries)
      throw Exception(
          UString(u"This build of the engine has no GUI libraries (graphics, forms, "
                  u"extended controls): build it with the Qt layers"));
  }
  libraries = WithPrerequisites(libraries);
  InitInterpreter();
  RegisterPascalScript();
  InstallILFrontEnd();
  try {
    StartLibraries(libraries);
  } catch (...) {
    StopEngine();
    throw;
  }
}

void StopEngine() {
  StopLibraries();
  SetFrontEnd(nullptr);
  DoneInterpreter();
  ClearLanguageRegistry();
  ForgetNotedTypeNames();
}

}  // namespace kv
