// TRadioButton: one choice of several. The radio buttons of one parent exclude each other:
// checking one, by the user or by the script, unchecks the others.
#pragma once

#include "host/gui/win_control.h"

namespace kv {

class TRadioCircle;

// Published: Caption, Checked. OnClick fires when the button becomes checked.
class TRadioButton : public TWinControl {
  KV_CLASS(TRadioButton, TWinControl)

 public:
  explicit TRadioButton(TComponent* owner = nullptr);

  UString Text() const override;
  void SetText(const UString& caption) override;
  bool Checked() const;
  void SetChecked(bool checked);

 protected:
  bool ClicksBySignal() const override { return true; }

 private:
  TRadioCircle* Circle() const;
  void TurnSiblingsOff();
  void BecameChecked();
};

}  // namespace kv
