#include "host/gui/control.h"

#include <QCursor>
#include <QMouseEvent>
#include <QObject>
#include <QWidget>
#include <algorithm>

#include "host/core/class_builder.h"
#include "host/core/exceptions.h"
#include "host/gui/application.h"
#include "host/gui/colors.h"
#include "host/gui/cursors.h"
#include "host/gui/font.h"
#include "host/gui/key_codes.h"
#include "host/gui/qt_text.h"
#include "host/gui/win_control.h"

namespace kv {

// The event filter through which Qt reaches a control. It dies with the control, which
// removes it from every widget it watches and ends the connections made with it.
class TWidgetHook : public QObject {
 public:
  explicit TWidgetHook(TControl* control) : control_(control) {}
  bool eventFilter(QObject* watched, QEvent* event) override {
    return control_->FilterEvent(watched, event);
  }

 private:
  TControl* control_;
};

KV_DEFINE_CLASS(TControl, TComponent) {
  c.Property("Left", &TControl::Left, &TControl::SetLeft);
  c.Property("Top", &TControl::Top, &TControl::SetTop);
  c.Property("Width", &TControl::Width, &TControl::SetWidth);
  c.Property("Height", &TControl::Height, &TControl::SetHeight);
  c.Property("ClientWidth", &TControl::ClientWidth, &TControl::SetClientWidth);
  c.Property("ClientHeight", &TControl::ClientHeight, &TControl::SetClientHeight);
  c.Property("Align", "TAlign", &TControl::Align, &TControl::SetAlign);
  c.Property("Anchors", "TAnchors", &TControl::Anchors, &TControl::SetAnchors);
  c.Property("Color", "TColor", &TControl::Color, &TControl::SetColor);
  c.Property("Cursor", "TCursor", &TControl::Cursor, &TControl::SetCursor);
  c.Property("Enabled", &TControl::Enabled, &TControl::SetEnabled);
  c.Property("Font", &TControl::Font, &TControl::SetFont);
  c.Property("Hint", &TControl::Hint, &TControl::SetHint);
  c.Property("ShowHint", &TControl::ShowHint, &TControl::SetShowHint);
  c.Property("Visible", &TControl::Visible, &TControl::SetVisible);
  c.Event("OnCanResize", "TCanResizeEvent", &TControl::OnCanResize);
  c.Event("OnClick", "TNotifyEvent", &TControl::OnClick);
  c.Event("OnDblClick", "TNotifyEvent", &TControl::OnDblClick);
  c.Event("OnMouseDown", "TMouseEvent", &TControl::OnMouseDown);
  c.Event("OnMouseMove", "TMouseMoveEvent", &TControl::OnMouseMove);
  c.Event("OnMouseUp", "TMouseEvent", &TControl::OnMouseUp);
  c.Event("OnResize", "TNotifyEvent", &TControl::OnResize);
}

TControl::TControl(TComponent* owner)
    : TComponent(owner),
      hook_(std::make_unique<TWidgetHook>(this)),
      font_(std::make_unique<TFont>()),
      color_(clBtnFace) {
  font_->SetKeeper(this);
  font_->SetOnChange([this] { ApplyFont(); });
}

// The parent lets go first, so that its layout no longer counts this control. The widget
// is deleted later when Qt is delivering an event: it may be the one receiving it.
TControl::~TControl() {
  MarkDestroying();
  if (parent_) parent_->RemoveControl(this);
  parent_ = nullptr;
  hook_.reset();
  if (!widget_) return;
  widget_->hide();
  TApplication* app = ExistingApplication();
  if (app && app->DeliveryDepth() > 0) {
    widget_->deleteLater();
  } else {
    delete widget_;
  }
}

void TControl::SetWidget(QWidget* widget) {
  widget_ = widget;
  widget_->hide();
  Watch(widget_);
}

// Qt hands a mouse event the widget did not accept on to its parent; the host reports a
// click to the control under the mouse only, so no watched widget lets one pass.
void TControl::Watch(QObject* subWidget) {
  subWidget->installEventFilter(hook_.get());
  if (auto* w = qobject_cast<QWidget*>(subWidget)) {
    w->setMouseTracking(true);
    w->setAttribute(Qt::WA_NoMousePropagation);
  }
}

QObject* TControl::HookObject() const { return hook_.get(); }

// --- Parent and visibility --------------------------------------------------------------

void TControl::SetParent(TWinControl* parent) {
  if (parent == parent_) return;
  for (const TControl* above = parent; above; above = above->Parent())
    if (above == this)
      throw EInvalidOperation(u"Control " + (Name().empty() ? ClassName() : Name()) +
                              u" cannot be its own parent or the parent of its parent");
  const QRect geometry = widget_->geometry();
  if (parent_) parent_->RemoveControl(this);
  parent_ = parent;
  widget_->setParent(parent ? parent->ClientWidget() : nullptr);
  widget_->setGeometry(geometry);
  if (parent) parent->InsertControl(this);
  UpdateWidgetVisibility();
  if (!parent) return;
  if (align_ != alNone) {
    parent->AlignControls();
  } else {
    RememberAnchorDistances();
  }
  parent->ChildBoundsChanged();
}

void TControl::UpdateWidgetVisibility() {
  widget_->setVisible(visible_ && parent_ && !FreePending());
}

void TControl::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  UpdateWidgetVisibility();
  if (!parent_) return;
  if (align_ != alNone) parent_->AlignControls();
  parent_->ChildBoundsChanged();
}

void TControl::Show() {
  SetVisible(true);
  widget_->raise();
}

void TControl::Hide() { SetVisible(false); }

void TControl::FreeDeferred() { widget_->hide(); }

// --- Bounds ----------------------------------------------------------------------------

int TControl::Left() const { return widget_->x(); }
int TControl::Top() const { return widget_->y(); }
int TControl::Width() const { return widget_->width(); }
int TControl::Height() const { return widget_->height(); }
int TControl::ClientWidth() const { return Width(); }
int TControl::ClientHeight() const { return Height(); }

void TControl::SetLeft(int left) { SetBounds(left, Top(), Width(), Height()); }
void TControl::SetTop(int top) { SetBounds(Left(), top, Width(), Height()); }
void TControl::SetWidth(int width) { SetBounds(Left(), Top(), width, Height()); }
void TControl::SetHeight(int height) { SetBounds(Left(), Top(), Width(), height); }
void TControl::SetClientWidth(int width) { SetWidth(Width() - ClientWidth() + width); }
void TControl::SetClientHeight(int height) { SetHeight(Height() - ClientHeight() + height); }

namespace {

// No window system shows more than this many pixels a side; a larger size would only ask
// for huge drawing layers.
constexpr int64_t kMaxControlSize = 32767;

int SideLength(int64_t requested) {
  return static_cast<int>(std::clamp<int64_t>(requested, 0, kMaxControlSize));
}

}  // namespace

void TControl::SetBounds(int left, int top, int width, int height) {
  width = SideLength(width);
  height = SideLength(height);
  if ((width != Width() || height != Height()) && OnCanResize.Assigned() && Firing()) {
    TEventArgs args{TVarRec::Object(Handle()), TVarRec::Integer(width), TVarRec::Integer(height),
                    TVarRec::Boolean(true)};
    TBusyScope busy(*this);
    Fire(OnCanResize, args);
    if (!busy.Alive()) return;
    if (args[3].VInt == 0) {
      width = Width();
      height = Height();
    } else {
      width = SideLength(args[1].VInt);
      height = SideLength(args[2].VInt);
    }
  }
  PlaceWidget(left, top, width, height);
  if (!parent_) return;
  if (align_ != alNone) {
    parent_->AlignControls();
  } else {
    RememberAnchorDistances();
  }
  parent_->ChildBoundsChanged();
}

void TControl::PlaceWidget(int left, int top, int width, int height) {
  const QSize before = widget_->size();
  widget_->setGeometry(left, top, width, height);
  if (widget_->size() != before) SizeChanged();
}

// Qt reports a size set on a hidden widget again when the widget is shown; OnResize fires
// once per size.
void TControl::SizeChanged() {
  if (widget_->size() == reportedSize_) return;
  reportedSize_ = widget_->size();
  Resized();
}

void TControl::Resized() { FireNotify(OnResize); }

void TControl::RememberAnchorDistances() {
  if (!parent_) return;
  anchorRight_ = parent_->ClientWidth() - (Left() + Width());
  anchorBottom_ = parent_->ClientHeight() - (Top() + Height());
}

void TControl::ApplyAnchors(int parentWidth, int parentHeight) {
  int left = Left(), top = Top(), width = Width(), height = Height();
  if (anchors_.Contains(akRight)) {
    if (anchors_.Contains(akLeft)) {
      width = std::max(0, parentWidth - anchorRight_ - left);
    } else {
      left = parentWidth - anchorRight_ - width;
    }
  }
  if (anchors_.Contains(akBottom)) {
    if (anchors_.Contains(akTop)) {
      height = std::max(0, parentHeight - anchorBottom_ - top);
    } else {
      top = parentHeight - anchorBottom_ - height;
    }
  }
  PlaceWidget(left, top, width, height);
}

void TControl::SetAlign(TAlign align) {
  if (align == align_) return;
  align_ = align;
  if (parent_) parent_->AlignControls();
}

void TControl::SetAnchors(TAnchors anchors) {
  anchors_ = anchors;
  RememberAnchorDistances();
}

// --- Appearance --------------------------------------------------------------------------

bool TControl::Enabled() const { return widget_->isEnabled(); }
void TControl::SetEnabled(bool enabled) { widget_->setEnabled(enabled); }

int TControl::ColorRole() const { return QPalette::Window; }

void TControl::SetColor(int32_t color) {
  color_ = color;
  const auto role = static_cast<QPalette::ColorRole>(ColorRole());
  QPalette palette = widget_->palette();
  palette.setColor(role, ColorToQColor(color));
  widget_->setPalette(palette);
  if (role == QPalette::Window) widget_->setAutoFillBackground(true);
}

void TControl::SetFont(TFont* font) {
  if (font) font_->Assign(font);
}

void TControl::ApplyFont() {
  widget_->setFont(font_->ToQFont());
  QPalette palette = widget_->palette();
  const QColor text = ColorToQColor(font_->Color());
  palette.setColor(QPalette::WindowText, text);
  palette.setColor(QPalette::Text, text);
  palette.setColor(QPalette::ButtonText, text);
  widget_->setPalette(palette);
}

void TControl::SetHint(const UString& hint) {
  hint_ = hint;
  widget_->setToolTip(showHint_ ? QStringOf(hint_) : QString());
}

void TControl::SetShowHint(bool show) {
  showHint_ = show;
  SetHint(hint_);
}

void TControl::SetCursor(int32_t cursor) {
  cursor_ = cursor;
  if (cursor == 0) {
    widget_->unsetCursor();
  } else {
    widget_->setCursor(QCursor(CursorShapeOf(cursor)));
  }
}

void TControl::Invalidate() { widget_->update(); }
void TControl::Repaint() { widget_->repaint(); }

UString TControl::Text() const { return UString(); }
void TControl::SetText(const UString&) {}

// --- Events ------------------------------------------------------------------------------

// The control is busy while its handler runs: a handler that frees it only marks it, and
// it goes when the outermost handler of its own returns (so the caller must not touch it
// after Fire unless a busy scope of its own still holds it).
void TControl::Fire(const TMethod& event, TEventArgs& args) {
  if (!event.Assigned()) return;
  TBusyScope busy(*this);
  event.Code(args);
}

void TControl::FireNotify(const TMethod& event) {
  if (!event.Assigned() || !Firing()) return;
  TEventArgs args{TVarRec::Object(Handle())};
  Fire(event, args);
}

void TControl::Click() { FireNotify(OnClick); }

void RunForQt(TControl& control, const std::function<void()>& body) {
  GuardedEntry([&] {
    if (!control.Firing()) return;
    TBusyScope busy(control);
    body();
  });
}

bool TControl::FilterEvent(QObject* watched, QEvent* event) {
  bool consumed = false;
  RunForQt(*this, [&] { consumed = HandleEvent(watched, event); });
  return consumed;
}

bool TControl::HandleEvent(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
      MouseEvent(event);
      if (TakesMouse(watched)) {
        event->accept();
        return true;
      }
      return false;
    case QEvent::Resize:
      // Sizes set through the host fire at once (PlaceWidget); this is a resize by the
      // user or the window system.
      if (watched == widget_) SizeChanged();
      return false;
    default:
      return false;
  }
}

void TControl::MouseEvent(QEvent* event) {
  auto* mouse = static_cast<QMouseEvent*>(event);
  const QPoint at = mouse->position().toPoint();
  const bool doubleClick = event->type() == QEvent::MouseButtonDblClick;
  const int32_t shift = ShiftStateOf(mouse->modifiers(), mouse->buttons(), doubleClick);
  const TVarRec sender = TVarRec::Object(Handle());
  if (event->type() == QEvent::MouseMove) {
    TEventArgs args{sender, TVarRec::Integer(shift), TVarRec::Integer(at.x()),
                    TVarRec::Integer(at.y())};
    Fire(OnMouseMove, args);
    return;
  }
  const int32_t button = MouseButtonOf(mouse->button());
  if (button < 0) return;
  TEventArgs args{sender, TVarRec::Integer(button), TVarRec::Integer(shift),
                  TVarRec::Integer(at.x()), TVarRec::Integer(at.y())};
  switch (event->type()) {
    case QEvent::MouseButtonDblClick:
      FireNotify(OnDblClick);
      if (Firing()) Fire(OnMouseDown, args);
      break;
    case QEvent::MouseButtonPress:
      pressed_ = button == mbLeft;
      Fire(OnMouseDown, args);
      break;
    default: {  // release: the host clicks before it reports the button up
      const bool clicked = pressed_ && button == mbLeft && widget_->rect().contains(at);
      pressed_ = false;
      if (clicked && !ClicksBySignal()) Click();
      if (Firing()) Fire(OnMouseUp, args);
      break;
    }
  }
}

}  // namespace kv
