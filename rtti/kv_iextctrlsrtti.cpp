#include "rtti/kv_iextctrlsrtti.h"

#include "host/core/class_builder.h"
#include "host/gui/canvas.h"
#include "host/gui/paint_box.h"
#include "host/gui/timer.h"
#include "rtti/kv_ievents.h"

namespace kv {

KV_DEFINE_CLASS(TkvExtCtrlsRTTI, TComponent) { c.Constructor(); }

namespace extctrlsrtti {

namespace {

TkvLibraryHolder<TFunctions>& Holder() {
  static TkvLibraryHolder<TFunctions> holder;
  return holder;
}

}  // namespace

TFunctions::TFunctions() : TkvBindingLibrary(u"Extended controls") {
  auto paintBox = Class<TPaintBox>(u"TGraphicControl");
  paintBox.Event(u"OnPaint", TkvNotifyEvent::New);
  // A paint box is drawn on through its canvas, which the host keeps public.
  paintBox.Property(u"Canvas", u"TCanvas",
                    [](TPaintBox& self) { return ObjectResult(self.Canvas()); });
  Class<TTimer>(u"TComponent").Event(u"OnTimer", TkvNotifyEvent::New);
}

}  // namespace extctrlsrtti

void StartExtCtrlsRtti() { extctrlsrtti::Holder().Start(); }

void StopExtCtrlsRtti() { extctrlsrtti::Holder().Stop(); }

extctrlsrtti::TFunctions* ExtCtrlsRtti() { return extctrlsrtti::Holder().Instance(); }

}  // namespace kv
