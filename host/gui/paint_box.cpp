#include "host/gui/paint_box.h"

#include "host/core/class_builder.h"

namespace kv {

KV_DEFINE_CLASS(TPaintBox, TGraphicControl) {
  c.Constructor();
  c.Event("OnPaint", "TNotifyEvent", &TPaintBox::OnPaint);
}

TPaintBox::TPaintBox(TComponent* owner) : TGraphicControl(owner) { SetBounds(0, 0, 105, 105); }

}  // namespace kv
