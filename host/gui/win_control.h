// TWinControl, a control that contains others and takes the keyboard focus, and the two
// bases of controls that draw themselves: TCustomControl (a window control) and
// TGraphicControl (a control without focus).
#pragma once

#include <memory>
#include <vector>

#include "host/gui/control.h"

namespace kv {

class TCanvas;
class TPaintSurface;

// Published properties: TabOrder, TabStop; events OnEnter, OnExit, OnKeyDown, OnKeyPress,
// OnKeyUp.
class TWinControl : public TControl {
  KV_CLASS(TWinControl, TControl)

 public:
  explicit TWinControl(TComponent* owner = nullptr);
  // Frees the controls parented here first (the host's rule), then the rest.
  ~TWinControl() override;

  // The controls parented here, in the order they joined.
  int ControlCount() const { return static_cast<int>(controls_.size()); }
  // Raises EListError outside 0..ControlCount-1.
  TControl* Controls(int index) const;
  // Whether `control` is this control or lies inside it.
  bool Contains(const TControl* control) const;

  // The widget children are placed in; the control's own widget unless it scrolls.
  virtual QWidget* ClientWidget() const;
  // Lays out the aligned and anchored children in the client area.
  void AlignControls();

  // Gives the control the keyboard focus; raises for a hidden or disabled control.
  void SetFocus();
  bool Focused() const;
  bool CanFocus() const;
  int TabOrder() const;
  void SetTabOrder(int order);
  bool TabStop() const { return tabStop_; }
  void SetTabStop(bool stop);

  bool InUse() const override;
  // Whether this control's key handlers see the keys of the controls inside it first (a
  // form's KeyPreview).
  virtual bool PreviewsKeys() const { return false; }
  // A key the focused control inside left alone (Enter, Escape); true when this control
  // used it (a form clicks its default or cancel button).
  virtual bool DialogKey(int32_t key) { return false; }
  // Whether the control uses Enter or Escape itself (a memo takes Enter) rather than
  // leaving it to the form's default and cancel buttons.
  virtual bool WantsKey(int32_t key) const { return false; }
  // Called when a child was moved, sized, shown or hidden.
  virtual void ChildBoundsChanged() {}

  TMethod OnEnter;
  TMethod OnExit;
  TMethod OnKeyDown;
  TMethod OnKeyPress;
  TMethod OnKeyUp;

 protected:
  bool HandleEvent(QObject* watched, QEvent* event) override;
  void Resized() override;
  // The key events of a watched widget; true consumes the event.
  bool KeyEvent(QObject* watched, QEvent* event);
  // Whether the control takes the focus by Tab and click by default.
  void SetFocusable(bool focusable);

 private:
  friend class TControl;
  void InsertControl(TControl* control);
  void RemoveControl(TControl* control);
  void ApplyTabOrder();
  // Offers a dialog key to this control and its parents, innermost first.
  bool PassDialogKey(int32_t key);

  std::vector<TControl*> controls_;  // not owned; each one's parent_ is this
  bool tabStop_ = true;
  bool replayingKey_ = false;
};

// A window control that paints itself: Canvas draws on its widget inside Paint and into a
// retained layer outside it.
class TCustomControl : public TWinControl {
  KV_CLASS(TCustomControl, TWinControl)

 public:
  explicit TCustomControl(TComponent* owner = nullptr);
  ~TCustomControl() override;
  TCanvas* Canvas() const;

 protected:
  bool HandleEvent(QObject* watched, QEvent* event) override;
  bool TakesMouse(QObject* watched) const override;
  // Draws the control on Canvas; the background is already filled with Color.
  virtual void Paint() {}

 private:
  std::unique_ptr<TPaintSurface> surface_;
};

// A control without a window of its own in the host: no focus, no keys. It paints itself
// like a TCustomControl.
class TGraphicControl : public TControl {
  KV_CLASS(TGraphicControl, TControl)

 public:
  explicit TGraphicControl(TComponent* owner = nullptr);
  ~TGraphicControl() override;
  TCanvas* Canvas() const;

 protected:
  bool HandleEvent(QObject* watched, QEvent* event) override;
  bool TakesMouse(QObject* watched) const override;
  virtual void Paint() {}

 private:
  std::unique_ptr<TPaintSurface> surface_;
};

}  // namespace kv
