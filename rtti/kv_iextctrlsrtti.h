// The extended controls library: paint boxes and timers so far, with their events.
#pragma once

#include "host/core/component.h"
#include "rtti/kv_binding.h"

namespace kv {

namespace extctrlsrtti {

class TFunctions : public TkvBindingLibrary {
 public:
  TFunctions();
};

}  // namespace extctrlsrtti

// The marker component of the library.
class TkvExtCtrlsRTTI : public TComponent {
  KV_CLASS(TkvExtCtrlsRTTI, TComponent)

 public:
  explicit TkvExtCtrlsRTTI(TComponent* owner = nullptr) : TComponent(owner) {}
};

// Start after the forms library; stop before it.
void StartExtCtrlsRtti();
void StopExtCtrlsRtti();
extctrlsrtti::TFunctions* ExtCtrlsRtti();

}  // namespace kv
