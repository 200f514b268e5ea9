// TControl, the base of everything a script puts on a form: a component that owns one Qt
// widget and shows the host's property vocabulary over it (bounds, visibility, colour, font,
// alignment, anchors) and fires the host's events from the widget's.
//
// Owner and Parent are separate: the owner frees the control, the parent (a TWinControl)
// contains it. A control without a parent is never shown. Coordinates are relative to the
// parent's client area.
//
// Qt reaches a control through its widget hook (an event filter on the widget and on the
// sub-widgets that receive input) and through signals connected with the hook as context;
// both run guarded (application.h), inside a busy scope, so that a handler that frees the
// control only marks it and the control goes when the handler returns.
#pragma once

#include <QObject>
#include <QSize>
#include <memory>

#include "host/core/arg_record.h"
#include "host/core/component.h"
#include "host/core/set_of.h"

class QEvent;
class QWidget;

namespace kv {

class TFont;
class TWinControl;
class TWidgetHook;

enum TAlign : uint8_t { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum TAnchorKind : uint8_t { akLeft, akTop, akRight, akBottom };
using TAnchors = SetOf<TAnchorKind>;

// Published properties: Left, Top, Width, Height, ClientWidth, ClientHeight, Align,
// Anchors, Color, Cursor, Enabled, Font, Hint, ShowHint, Visible; events OnCanResize,
// OnClick, OnDblClick, OnMouseDown, OnMouseMove, OnMouseUp, OnResize. Descendants publish
// Caption or Text over the control's text.
class TControl : public TComponent {
  KV_CLASS(TControl, TComponent)

 public:
  explicit TControl(TComponent* owner = nullptr);
  ~TControl() override;

  QWidget* Widget() const { return widget_; }
  TWinControl* Parent() const { return parent_; }
  // Moves the control into `parent`'s client area (nullptr takes it out); a visible
  // control shows at once on a parent that is shown. Raises for a parent that is this
  // control or inside it.
  void SetParent(TWinControl* parent);

  int Left() const;
  int Top() const;
  virtual int Width() const;
  virtual int Height() const;
  void SetLeft(int left);
  void SetTop(int top);
  void SetWidth(int width);
  void SetHeight(int height);
  // Moves and sizes the control; OnCanResize may change or refuse the new size, and a
  // negative size counts as 0.
  void SetBounds(int left, int top, int width, int height);
  virtual int ClientWidth() const;
  virtual int ClientHeight() const;
  virtual void SetClientWidth(int width);
  virtual void SetClientHeight(int height);

  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  // Show also brings the control to the front of its siblings.
  virtual void Show();
  virtual void Hide();
  bool Enabled() const;
  void SetEnabled(bool enabled);
  int32_t Color() const { return color_; }
  void SetColor(int32_t color);
  TFont* Font() const { return font_.get(); }
  void SetFont(TFont* font);  // copies
  UString Hint() const { return hint_; }
  void SetHint(const UString& hint);
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool show);
  int32_t Cursor() const { return cursor_; }
  void SetCursor(int32_t cursor);
  TAlign Align() const { return align_; }
  void SetAlign(TAlign align);
  TAnchors Anchors() const { return anchors_; }
  void SetAnchors(TAnchors anchors);

  // The text a control shows (a button's caption, an edit's text); descendants publish it
  // under the host's name.
  virtual UString Text() const;
  virtual void SetText(const UString& text);

  // Asks for a repaint when Qt's loop next runs; Repaint paints before it returns.
  void Invalidate();
  void Repaint();

  // Fires OnClick (the host's Click).
  virtual void Click();
  // Whether Enter (13) or Escape (27) left alone by the focused control clicks this
  // control: a form's default and cancel buttons answer true.
  virtual bool ClicksOnDialogKey(int32_t key) const { return false; }

  // Entries from Qt: the widget hook hands over every event of a watched widget; true
  // consumes it.
  bool FilterEvent(QObject* watched, QEvent* event);
  // Whether events of this control reach scripts now (false while it is being freed).
  bool Firing() const { return !FreePending() && !Destroying(); }

  TMethod OnCanResize;
  TMethod OnClick;
  TMethod OnDblClick;
  TMethod OnMouseDown;
  TMethod OnMouseMove;
  TMethod OnMouseUp;
  TMethod OnResize;

 protected:
  // Takes ownership of the widget the control is made of; called once by each concrete
  // class's constructor. The hook watches it.
  void SetWidget(QWidget* widget);
  // The context object of the control's connections.
  QObject* HookObject() const;
  // Watches a sub-widget as well (a scroll area's viewport, a combo box's line edit).
  void Watch(QObject* subWidget);
  // Connects a signal of the widget to a member, guarded and in a busy scope; the
  // connection ends with the control.
  template <class Sender, class Signal, class Slot>
  void Connect(Sender* sender, Signal signal, Slot slot);

  // One watched event; true consumes it. Descendants take what they need and pass the rest
  // on to their ancestor.
  virtual bool HandleEvent(QObject* watched, QEvent* event);
  // Whether the watched widget is one the control draws itself, which does nothing with
  // the mouse: the control then takes the mouse events there (Qt does not pass them on).
  virtual bool TakesMouse(QObject* watched) const { return false; }
  // Whether OnClick comes from the widget's own signal (buttons, check boxes) rather than
  // from a mouse click on the control.
  virtual bool ClicksBySignal() const { return false; }
  // The palette role the Color property paints.
  virtual int ColorRole() const;
  // Called when the widget's size changed: OnResize, then the children's layout.
  virtual void Resized();
  // Runs Resized when the widget's size differs from the one last reported.
  void SizeChanged();
  void FreeDeferred() override;

  // Fires an event with its arguments; an unassigned event does nothing. Exceptions travel
  // to the caller (guarded entries report them).
  void Fire(const TMethod& event, TEventArgs& args);
  void FireNotify(const TMethod& event);

  // The bounds the anchors keep: the distances to the parent's right and bottom edges,
  // taken whenever the control is moved or sized by its user.
  void RememberAnchorDistances();
  void ApplyAnchors(int parentWidth, int parentHeight);
  // Applies visibility to the widget: shown only when visible and parented.
  virtual void UpdateWidgetVisibility();
  // Sets the geometry without asking OnCanResize or remembering anchor distances (the
  // parent's layout uses it); a changed size runs Resized.
  virtual void PlaceWidget(int left, int top, int width, int height);

 private:
  friend class TWinControl;
  void MouseEvent(QEvent* event);
  void ApplyFont();

  QWidget* widget_ = nullptr;  // owned
  std::unique_ptr<TWidgetHook> hook_;
  TWinControl* parent_ = nullptr;
  std::unique_ptr<TFont> font_;
  bool visible_ = true;
  int32_t color_;
  UString hint_;
  bool showHint_ = false;
  int32_t cursor_ = 0;
  TAlign align_ = alNone;
  TAnchors anchors_{akLeft, akTop};
  QSize reportedSize_;
  int anchorRight_ = 0;
  int anchorBottom_ = 0;
  bool pressed_ = false;
};

// Runs a member for a Qt signal: guarded, in a busy scope, skipped once the control is being
// freed.
void RunForQt(TControl& control, const std::function<void()>& body);

template <class Sender, class Signal, class Slot>
void TControl::Connect(Sender* sender, Signal signal, Slot slot) {
  QObject::connect(sender, signal, HookObject(),
                   [this, slot](auto&&... args) { RunForQt(*this, [&] { slot(args...); }); });
}

}  // namespace kv
