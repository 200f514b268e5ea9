// TGroupBox: a captioned frame around related controls. Its children are placed from the
// box's top-left corner, frame and caption included, as in the host.
#pragma once

#include "host/gui/win_control.h"

class QGroupBox;

namespace kv {

// Published: Caption.
class TGroupBox : public TWinControl {
  KV_CLASS(TGroupBox, TWinControl)

 public:
  explicit TGroupBox(TComponent* owner = nullptr);

  UString Text() const override;
  void SetText(const UString& caption) override;

 private:
  QGroupBox* Box() const;
};

}  // namespace kv
