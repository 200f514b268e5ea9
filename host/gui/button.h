// TButton: a push button. Its ModalResult closes a modal form when it is clicked.
#pragma once

#include "host/gui/win_control.h"

class QPushButton;

namespace kv {

// Published: Caption, Default, Cancel, ModalResult; OnClick fires for a mouse click, for
// Space or Enter on the focused button, for Enter (Default) or Escape (Cancel) on its form
// and for Click.
class TButton : public TWinControl {
  KV_CLASS(TButton, TWinControl)

 public:
  explicit TButton(TComponent* owner = nullptr);

  UString Text() const override;
  void SetText(const UString& caption) override;
  // The button Enter clicks when the focused control does not use Enter itself.
  bool Default() const;
  void SetDefault(bool isDefault);
  // The button Escape clicks.
  bool Cancel() const { return cancel_; }
  void SetCancel(bool cancel) { cancel_ = cancel; }
  int32_t ModalResult() const { return modalResult_; }
  void SetModalResult(int32_t result) { modalResult_ = result; }

  // Hands ModalResult to the form first, so that OnClick may still change the form's.
  void Click() override;
  bool ClicksOnDialogKey(int32_t key) const override;
  // A focused button takes Enter itself, as if it were the default one.
  bool WantsKey(int32_t key) const override { return key == 13; }

 protected:
  bool ClicksBySignal() const override { return true; }

 private:
  QPushButton* Button() const;

  bool cancel_ = false;
  int32_t modalResult_ = 0;
};

}  // namespace kv
