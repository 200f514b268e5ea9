// TLabel: a line or block of text on a form. It never takes the focus; an "&" in its
// caption marks the key that, with Alt, focuses its FocusControl.
#pragma once

#include "host/gui/control_enums.h"
#include "host/gui/win_control.h"

class QLabel;

namespace kv {

// Published: Caption, Alignment (TAlignment), Layout (TTextLayout), WordWrap, AutoSize,
// Transparent, FocusControl.
class TLabel : public TWinControl {
  KV_CLASS(TLabel, TWinControl)

 public:
  explicit TLabel(TComponent* owner = nullptr);

  UString Text() const override { return caption_; }
  void SetText(const UString& caption) override;
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment alignment);
  TTextLayout Layout() const { return layout_; }
  void SetLayout(TTextLayout layout);
  bool WordWrap() const;
  void SetWordWrap(bool wrap);
  // An auto-sized label grows and shrinks to its text: to the text's width, or with
  // WordWrap to the height the text needs at the label's width.
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool autoSize);
  // A transparent label never paints its Color; an opaque one does once Color was set.
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool transparent);
  // nil once that control is freed.
  TWinControl* FocusControl() const;
  void SetFocusControl(TWinControl* control);

 protected:
  bool HandleEvent(QObject* watched, QEvent* event) override;
  int ColorRole() const override;

 private:
  QLabel* Label() const;
  void ShowCaption();
  void ApplyAlignment();
  void AdjustSize();

  UString caption_;
  TAlignment alignment_ = taLeftJustify;
  TTextLayout layout_ = tlTop;
  bool autoSize_ = true;
  bool transparent_ = false;
  int32_t focusControl_ = 0;  // a handle: the control may be freed first
};

}  // namespace kv
