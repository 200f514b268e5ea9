#include "host/gui/win_control.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>
#include <algorithm>

#include "host/core/class_builder.h"
#include "host/core/exceptions.h"
#include "host/gui/key_codes.h"
#include "host/gui/paint_surface.h"

namespace kv {

// ---------------------------------------------------------------------------------------
// TWinControl

KV_DEFINE_CLASS(TWinControl, TControl) {
  c.Property("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder);
  c.Property("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop);
  c.Event("OnEnter", "TNotifyEvent", &TWinControl::OnEnter);
  c.Event("OnExit", "TNotifyEvent", &TWinControl::OnExit);
  c.Event("OnKeyDown", "TKeyEvent", &TWinControl::OnKeyDown);
  c.Event("OnKeyPress", "TKeyPressEvent", &TWinControl::OnKeyPress);
  c.Event("OnKeyUp", "TKeyEvent", &TWinControl::OnKeyUp);
}

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

// Children free themselves out of controls_, so the last one goes first each time.
TWinControl::~TWinControl() {
  while (!controls_.empty()) delete controls_.back();
}

TControl* TWinControl::Controls(int index) const {
  if (index < 0 || index >= ControlCount())
    throw EListError(u"List index out of bounds (" + IntToUStr(index) + u")");
  return controls_[static_cast<size_t>(index)];
}

bool TWinControl::Contains(const TControl* control) const {
  for (const TControl* c = control; c; c = c->Parent())
    if (c == this) return true;
  return false;
}

QWidget* TWinControl::ClientWidget() const { return Widget(); }

bool TWinControl::InUse() const {
  if (TControl::InUse()) return true;
  return std::any_of(controls_.begin(), controls_.end(),
                     [](const TControl* c) { return c->InUse(); });
}

void TWinControl::InsertControl(TControl* control) {
  controls_.push_back(control);
  ApplyTabOrder();
}

void TWinControl::RemoveControl(TControl* control) {
  auto at = std::find(controls_.begin(), controls_.end(), control);
  if (at != controls_.end()) controls_.erase(at);
  if (control->Align() != alNone && !Destroying()) AlignControls();
}

// The host's order: top edges first, then bottom, left, right, and the client fill; each
// group in the order the controls joined. Hidden controls take no room. Controls without
// alignment keep their distances to the edges their anchors name.
void TWinControl::AlignControls() {
  int left = 0, top = 0, right = ClientWidth(), bottom = ClientHeight();
  for (TAlign pass : {alTop, alBottom, alLeft, alRight, alClient}) {
    for (TControl* c : controls_) {
      if (c->Align() != pass || !c->Visible()) continue;
      const int w = c->Width(), h = c->Height();
      switch (pass) {
        case alTop:
          c->PlaceWidget(left, top, right - left, h);
          top += h;
          break;
        case alBottom:
          c->PlaceWidget(left, bottom - h, right - left, h);
          bottom -= h;
          break;
        case alLeft:
          c->PlaceWidget(left, top, w, bottom - top);
          left += w;
          break;
        case alRight:
          c->PlaceWidget(right - w, top, w, bottom - top);
          right -= w;
          break;
        default:
          c->PlaceWidget(left, top, std::max(0, right - left), std::max(0, bottom - top));
          break;
      }
    }
  }
  for (TControl* c : controls_)
    if (c->Align() == alNone) c->ApplyAnchors(ClientWidth(), ClientHeight());
}

void TWinControl::Resized() {
  TControl::Resized();
  AlignControls();
}

// --- Focus and tab order -----------------------------------------------------------------

bool TWinControl::CanFocus() const {
  return Widget()->isVisible() && Widget()->isEnabled() && Widget()->focusPolicy() != Qt::NoFocus;
}

void TWinControl::SetFocus() {
  if (!CanFocus()) throw EInvalidOperation(UString(u"Cannot focus a disabled or invisible window"));
  Widget()->activateWindow();
  Widget()->setFocus(Qt::OtherFocusReason);
}

bool TWinControl::Focused() const { return Widget()->hasFocus(); }

void TWinControl::SetFocusable(bool focusable) {
  Widget()->setFocusPolicy(!focusable ? Qt::NoFocus
                                      : (tabStop_ ? Qt::StrongFocus : Qt::ClickFocus));
}

void TWinControl::SetTabStop(bool stop) {
  tabStop_ = stop;
  if (Widget()->focusPolicy() != Qt::NoFocus) SetFocusable(true);
}

// The tab order is the order of the window controls in the parent's list.
int TWinControl::TabOrder() const {
  if (!Parent()) return -1;
  int order = 0;
  for (TControl* c : Parent()->controls_) {
    if (c == this) return order;
    if (dynamic_cast<TWinControl*>(c)) ++order;
  }
  return -1;
}

void TWinControl::SetTabOrder(int order) {
  TWinControl* parent = Parent();
  if (!parent) return;
  std::vector<TControl*>& list = parent->controls_;
  list.erase(std::find(list.begin(), list.end(), this));
  int seen = 0;
  auto at = list.begin();
  for (; at != list.end() && seen < std::max(order, 0); ++at)
    if (dynamic_cast<TWinControl*>(*at)) ++seen;
  list.insert(at, this);
  parent->ApplyTabOrder();
}

void TWinControl::ApplyTabOrder() {
  QWidget* previous = nullptr;
  for (TControl* c : controls_) {
    if (!dynamic_cast<TWinControl*>(c)) continue;
    if (previous) QWidget::setTabOrder(previous, c->Widget());
    previous = c->Widget();
  }
}

// --- Keys and focus events ---------------------------------------------------------------

namespace {

// The form whose handlers see keys before its controls do (KeyPreview), or nullptr.
TWinControl* PreviewingAncestor(TWinControl* control) {
  for (TWinControl* p = control->Parent(); p; p = p->Parent())
    if (p->PreviewsKeys()) return p;
  return nullptr;
}

// Fires a key event on the previewing form first, then on the control, while the key
// is not zero. Returns the key that is left.
template <class Control>
int64_t FireKeyChain(Control* control, TMethod TWinControl::*event, TEventArgs& args) {
  TWinControl* preview = PreviewingAncestor(control);
  if (preview && (preview->*event).Assigned()) {
    args[0] = TVarRec::Object(preview->Handle());
    (preview->*event).Code(args);
    if (args[1].VInt == 0) return 0;
  }
  if ((control->*event).Assigned() && control->Firing()) {
    args[0] = TVarRec::Object(control->Handle());
    (control->*event).Code(args);
  }
  return args[1].VInt;
}

}  // namespace

// Qt hands a key the focused widget did not accept on to its parents; the host gives it to
// the focused control only (and to a previewing form), so a key meant for another widget
// is left alone.
bool TWinControl::KeyEvent(QObject* watched, QEvent* event) {
  if (replayingKey_) return false;
  QWidget* focus = QApplication::focusWidget();
  if (focus && focus != watched) return false;
  auto* key = static_cast<QKeyEvent*>(event);
  const int32_t code = VirtualKeyOf(*key);
  const int32_t shift = ShiftStateOf(key->modifiers());
  TBusyScope busy(*this);
  if (event->type() == QEvent::KeyRelease) {
    if (code == 0) return false;
    TEventArgs args{TVarRec::Object(Handle()), TVarRec::Integer(code), TVarRec::Integer(shift)};
    return FireKeyChain(this, &TWinControl::OnKeyUp, args) == 0;
  }
  if (code != 0) {
    TEventArgs args{TVarRec::Object(Handle()), TVarRec::Integer(code), TVarRec::Integer(shift)};
    if (FireKeyChain(this, &TWinControl::OnKeyDown, args) == 0) return true;
    if (!busy.Alive()) return true;
    const bool plain = (shift & (ssCtrl | ssAlt)) == 0;
    if ((code == 13 || code == 27) && plain && !WantsKey(code) && PassDialogKey(code)) return true;
  }
  const QString text = key->text();
  if (text.isEmpty()) return false;
  const char16_t typed = text.at(0).unicode();
  TEventArgs args{TVarRec::Object(Handle()), TVarRec::Char(typed)};
  const int64_t left = FireKeyChain(this, &TWinControl::OnKeyPress, args);
  if (left == 0) return true;
  if (left == typed || !busy.Alive()) return false;
  // The handler replaced the character: the widget gets the new one instead.
  QKeyEvent replaced(QEvent::KeyPress, key->key(), key->modifiers(),
                     QString(QChar(static_cast<char16_t>(left))), key->isAutoRepeat());
  replayingKey_ = true;
  QApplication::sendEvent(watched, &replaced);
  replayingKey_ = false;
  return true;
}

bool TWinControl::PassDialogKey(int32_t key) {
  for (TWinControl* c = this; c; c = c->Parent())
    if (c->DialogKey(key)) return true;
  return false;
}

bool TWinControl::HandleEvent(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
      return KeyEvent(watched, event);
    case QEvent::FocusIn:
      FireNotify(OnEnter);
      return false;
    case QEvent::FocusOut:
      FireNotify(OnExit);
      return false;
    default:
      return TControl::HandleEvent(watched, event);
  }
}

// ---------------------------------------------------------------------------------------
// TCustomControl and TGraphicControl

bool TCustomControl::TakesMouse(QObject* watched) const { return watched == Widget(); }
bool TGraphicControl::TakesMouse(QObject* watched) const { return watched == Widget(); }

namespace {

// Both paint through a surface: the paint event goes to Paint, a resize empties the layer.
bool PaintSurfaceEvent(TPaintSurface& surface, QWidget* widget, QObject* watched, QEvent* event,
                       const std::function<void()>& paint) {
  if (watched != widget) return false;
  if (event->type() == QEvent::Paint) {
    surface.Paint(paint);
    return true;
  }
  if (event->type() == QEvent::Resize) surface.Resized();
  return false;
}

}  // namespace

KV_DEFINE_CLASS(TCustomControl, TWinControl) { c.Constructor(); }

TCustomControl::TCustomControl(TComponent* owner) : TWinControl(owner) {
  SetWidget(new QWidget());
  surface_ = std::make_unique<TPaintSurface>(Widget(), this);
  SetFocusable(true);
}

TCustomControl::~TCustomControl() = default;

TCanvas* TCustomControl::Canvas() const { return surface_->Canvas(); }

bool TCustomControl::HandleEvent(QObject* watched, QEvent* event) {
  if (PaintSurfaceEvent(*surface_, Widget(), watched, event, [this] { Paint(); })) return true;
  return TWinControl::HandleEvent(watched, event);
}

KV_DEFINE_CLASS(TGraphicControl, TControl) { c.Constructor(); }

TGraphicControl::TGraphicControl(TComponent* owner) : TControl(owner) {
  SetWidget(new QWidget());
  surface_ = std::make_unique<TPaintSurface>(Widget(), this);
}

TGraphicControl::~TGraphicControl() = default;

TCanvas* TGraphicControl::Canvas() const { return surface_->Canvas(); }

bool TGraphicControl::HandleEvent(QObject* watched, QEvent* event) {
  if (PaintSurfaceEvent(*surface_, Widget(), watched, event, [this] { Paint(); })) return true;
  return TControl::HandleEvent(watched, event);
}

}  // namespace kv
