// The forms library: forms, the standard controls and their events, with the modal-result
// and cursor constants and the enumerations their properties use. Published properties of
// the controls (Caption, Left, Items, ...) come from the host classes; the library adds the
// members that are not published: Parent, Show and Hide, SetBounds, SetFocus, the list and
// combo box selection, the form's modal showing and canvas, and the events.
#pragma once

#include "host/core/component.h"
#include "rtti/kv_binding.h"

namespace kv {

namespace formsrtti {

class TFunctions : public TkvBindingLibrary {
 public:
  TFunctions();

 private:
  void RegisterConstants();
  void RegisterTypes();
  void RegisterControl();
  void RegisterWinControl();
  void RegisterStandardControls();
  void RegisterForm();
};

}  // namespace formsrtti

// The marker component of the library.
class TkvFormsRTTI : public TComponent {
  KV_CLASS(TkvFormsRTTI, TComponent)

 public:
  explicit TkvFormsRTTI(TComponent* owner = nullptr) : TComponent(owner) {}
};

// Start after the core classes and graphics libraries; stop before them.
void StartFormsRtti();
void StopFormsRtti();
formsrtti::TFunctions* FormsRtti();

}  // namespace kv
