// TPaintBox: an empty area a script draws on in its OnPaint handler (or at any time: what
// is drawn outside OnPaint is kept until the box is resized).
#pragma once

#include "host/gui/win_control.h"

namespace kv {

// Published: the TControl properties; event OnPaint. Canvas through the binding.
class TPaintBox : public TGraphicControl {
  KV_CLASS(TPaintBox, TGraphicControl)

 public:
  explicit TPaintBox(TComponent* owner = nullptr);
  TMethod OnPaint;

 protected:
  void Paint() override { FireNotify(OnPaint); }
};

}  // namespace kv
