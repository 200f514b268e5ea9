// TCheckBox: a box the user ticks, with a caption beside it.
#pragma once

#include "host/gui/control_enums.h"
#include "host/gui/win_control.h"

namespace kv {

class THostOrderCheckBox;

// Published: Caption, Checked, State (TCheckBoxState), AllowGrayed, Alignment
// (TAlignment: taRightJustify puts the caption right of the box, taLeftJustify left of
// it). OnClick fires whenever State changes, whoever changes it.
class TCheckBox : public TWinControl {
  KV_CLASS(TCheckBox, TWinControl)

 public:
  explicit TCheckBox(TComponent* owner = nullptr);

  UString Text() const override;
  void SetText(const UString& caption) override;
  bool Checked() const { return State() == cbChecked; }
  void SetChecked(bool checked) { SetState(checked ? cbChecked : cbUnchecked); }
  // The script may set cbGrayed at any time; AllowGrayed lets the user's clicks reach it
  // too (unchecked, checked, grayed, unchecked...).
  TCheckBoxState State() const;
  void SetState(TCheckBoxState state);
  bool AllowGrayed() const;
  void SetAllowGrayed(bool allow);
  TAlignment Alignment() const { return alignment_; }
  // taCenter raises ERangeError: a caption is on one side of the box.
  void SetAlignment(TAlignment alignment);

 protected:
  bool ClicksBySignal() const override { return true; }

 private:
  THostOrderCheckBox* Box() const;

  TAlignment alignment_ = taRightJustify;
};

}  // namespace kv
