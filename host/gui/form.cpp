#include "host/gui/form.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QScreen>
#include <QScrollArea>
#include <QWidget>
#include <algorithm>
#include <vector>

#include "host/core/class_builder.h"
#include "host/core/exceptions.h"
#include "host/gui/application.h"
#include "host/gui/control_enums.h"
#include "host/gui/paint_surface.h"
#include "host/gui/qt_text.h"

namespace kv {

KV_DEFINE_CLASS(TCustomForm, TScrollingWinControl) {
  c.Property("BorderIcons", "TBorderIcons", &TCustomForm::BorderIcons,
             &TCustomForm::SetBorderIcons);
  c.Property("BorderStyle", "TFormBorderStyle", &TCustomForm::BorderStyle,
             &TCustomForm::SetBorderStyle);
  c.Property("Caption", &TCustomForm::Text, &TCustomForm::SetText);
  c.Property("FormStyle", "TFormStyle", &TCustomForm::FormStyle, &TCustomForm::SetFormStyle);
  c.Property("KeyPreview", &TCustomForm::KeyPreview, &TCustomForm::SetKeyPreview);
  c.Property("Position", "TPosition", &TCustomForm::Position, &TCustomForm::SetPosition);
  c.Property("WindowState", "TWindowState", &TCustomForm::WindowState,
             &TCustomForm::SetWindowState);
  c.Event("OnActivate", "TNotifyEvent", &TCustomForm::OnActivate);
  c.Event("OnClose", "TCloseEvent", &TCustomForm::OnClose);
  c.Event("OnCloseQuery", "TCloseQueryEvent", &TCustomForm::OnCloseQuery);
  c.Event("OnCreate", "TNotifyEvent", &TCustomForm::OnCreate);
  c.Event("OnDeactivate", "TNotifyEvent", &TCustomForm::OnDeactivate);
  c.Event("OnDestroy", "TNotifyEvent", &TCustomForm::OnDestroy);
  c.Event("OnHide", "TNotifyEvent", &TCustomForm::OnHide);
  c.Event("OnPaint", "TNotifyEvent", &TCustomForm::OnPaint);
  c.Event("OnShow", "TNotifyEvent", &TCustomForm::OnShow);
}

KV_DEFINE_CLASS(TForm, TCustomForm) { c.Constructor(); }

KV_DEFINE_CLASS(TDataModule, TComponent) { c.Constructor(); }

namespace {

// Every form alive, so that a program can free what scripts left behind.
std::vector<TCustomForm*>& LiveForms() {
  static std::vector<TCustomForm*> forms;
  return forms;
}

constexpr int kQtMaxSize = (1 << 24) - 1;  // QWIDGETSIZE_MAX

}  // namespace

TCustomForm::TCustomForm(TComponent* owner) : TScrollingWinControl(owner) {
  LiveForms().push_back(this);
  SetVisible(false);
  ScrollArea()->setAutoFillBackground(true);
  surface_ = std::make_unique<TPaintSurface>(ClientWidget(), this);
  SetFocusable(true);
  ApplyWindowFlags();
  SetBounds(100, 100, 320, 240);
}

// OnDestroy runs while the form is whole; its errors cannot leave a destructor, so they
// are shown like those of any handler Qt fired.
TCustomForm::~TCustomForm() {
  MarkDestroying();
  if (OnDestroy.Assigned()) {
    GuardedEntry([this] {
      TEventArgs args{TVarRec::Object(Handle())};
      OnDestroy.Code(args);
    });
  }
  if (modalLoop_) modalLoop_->exit();
  std::erase(LiveForms(), this);
}

void FreeRemainingForms() {
  for (;;) {
    auto& forms = LiveForms();
    auto orphan = std::find_if(forms.begin(), forms.end(),
                               [](TCustomForm* f) { return !f->Owner() && !f->Parent(); });
    if (orphan == forms.end()) return;
    delete *orphan;
  }
}

TCustomForm* ParentFormOf(TControl* control) {
  TControl* top = control;
  while (top && top->Parent()) top = top->Parent();
  return dynamic_cast<TCustomForm*>(top);
}

// --- Geometry ----------------------------------------------------------------------------

// The window system tells the frame only once the window is shown; until then, and after
// it was hidden, the last frame it told counts.
QSize TCustomForm::FrameExtra() const { return frame_; }

int TCustomForm::Width() const { return Widget()->width() + FrameExtra().width(); }
int TCustomForm::Height() const { return Widget()->height() + FrameExtra().height(); }
int TCustomForm::ClientWidth() const { return TScrollingWinControl::ClientWidth(); }
int TCustomForm::ClientHeight() const { return TScrollingWinControl::ClientHeight(); }

void TCustomForm::SetClientWidth(int width) {
  TScrollingWinControl::SetClientWidth(width);
  clientWidthSet_ = true;
}

void TCustomForm::SetClientHeight(int height) {
  TScrollingWinControl::SetClientHeight(height);
  clientHeightSet_ = true;
}

// A window is moved by its frame's corner and sized by its inside. Each dimension remembers
// whether the script set the outer or the client size, so that a frame the window system
// tells later keeps what was meant.
void TCustomForm::PlaceWidget(int left, int top, int width, int height) {
  if (!TopLevel()) {
    TScrollingWinControl::PlaceWidget(left, top, width, height);
    return;
  }
  if (width != Width()) clientWidthSet_ = false;
  if (height != Height()) clientHeightSet_ = false;
  const QSize extra = FrameExtra();
  ResizeInside(QSize(std::max(0, width - extra.width()), std::max(0, height - extra.height())));
  Widget()->move(left, top);
}

void TCustomForm::ResizeInside(const QSize& inside) {
  QWidget* w = Widget();
  const QSize before = w->size();
  const bool fixed =
      borderStyle_ == bsSingle || borderStyle_ == bsDialog || borderStyle_ == bsToolWindow;
  if (fixed) {
    w->setFixedSize(inside);
  } else {
    w->setMinimumSize(0, 0);
    w->setMaximumSize(kQtMaxSize, kQtMaxSize);
    w->resize(inside);
  }
  if (w->size() != before) SizeChanged();
}

// Called when the window system may have told the frame: an outer size the script set
// keeps its outer size, the inside giving way.
void TCustomForm::LearnFrame() {
  QWidget* w = Widget();
  if (!TopLevel() || !w->isVisible()) return;
  const QSize told = w->frameGeometry().size() - w->size();
  if (told == frame_ || told.width() < 0 || told.height() < 0) return;
  const QSize change = told - frame_;
  frame_ = told;
  QSize inside = w->size();
  if (!clientWidthSet_) inside.setWidth(std::max(0, inside.width() - change.width()));
  if (!clientHeightSet_) inside.setHeight(std::max(0, inside.height() - change.height()));
  ResizeInside(inside);
}

void TCustomForm::PlaceOnScreen() {
  if (placed_ || !TopLevel()) return;
  placed_ = true;
  if (position_ != poScreenCenter && position_ != poDesktopCenter) return;
  QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect area = screen->availableGeometry();
  SetBounds(area.x() + (area.width() - Width()) / 2, area.y() + (area.height() - Height()) / 2,
            Width(), Height());
}

// --- Window look -------------------------------------------------------------------------

void TCustomForm::ApplyWindowFlags() {
  if (!TopLevel()) return;
  Qt::WindowFlags flags = Qt::Window;
  if (borderStyle_ == bsDialog) flags = Qt::Dialog;
  if (borderStyle_ == bsToolWindow || borderStyle_ == bsSizeToolWin) flags = Qt::Tool;
  if (borderStyle_ == bsNone) flags |= Qt::FramelessWindowHint;
  flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
  const bool hasButtons = borderStyle_ == bsSingle || borderStyle_ == bsSizeable;
  if (borderIcons_.Contains(biSystemMenu))
    flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
  if (borderIcons_.Contains(biMinimize) && hasButtons) flags |= Qt::WindowMinimizeButtonHint;
  if (borderIcons_.Contains(biMaximize) && hasButtons) flags |= Qt::WindowMaximizeButtonHint;
  if (borderIcons_.Contains(biHelp)) flags |= Qt::WindowContextHelpButtonHint;
  if (formStyle_ == fsStayOnTop) flags |= Qt::WindowStaysOnTopHint;
  QWidget* w = Widget();
  const bool shown = w->isVisible();
  w->setWindowFlags(flags);
  if (shown) w->show();
}

void TCustomForm::SetBorderStyle(TFormBorderStyle style) {
  borderStyle_ = CheckedElement(style, bsSizeToolWin, u"BorderStyle");
  ApplyWindowFlags();
  PlaceWidget(Left(), Top(), Width(), Height());
}

void TCustomForm::SetBorderIcons(TBorderIcons icons) {
  borderIcons_ = icons;
  ApplyWindowFlags();
}

// Multiple-document windows do not exist here: fsMDIChild and fsMDIForm make plain windows.
void TCustomForm::SetFormStyle(TFormStyle style) {
  formStyle_ = CheckedElement(style, fsStayOnTop, u"FormStyle");
  ApplyWindowFlags();
}

void TCustomForm::SetPosition(TPosition position) {
  position_ = CheckedElement(position, poDesktopCenter, u"Position");
}

TWindowState TCustomForm::WindowState() const {
  const Qt::WindowStates state = Widget()->windowState();
  if (state & Qt::WindowMinimized) return wsMinimized;
  if (state & Qt::WindowMaximized) return wsMaximized;
  return wsNormal;
}

void TCustomForm::SetWindowState(TWindowState state) {
  CheckedElement(state, wsMaximized, u"WindowState");
  const Qt::WindowState qt = state == wsMinimized   ? Qt::WindowMinimized
                             : state == wsMaximized ? Qt::WindowMaximized
                                                    : Qt::WindowNoState;
  Widget()->setWindowState(qt);
}

UString TCustomForm::Text() const { return UStringOf(Widget()->windowTitle()); }

void TCustomForm::SetText(const UString& caption) { Widget()->setWindowTitle(QStringOf(caption)); }

TCanvas* TCustomForm::Canvas() const { return surface_->Canvas(); }

// --- Showing and closing -----------------------------------------------------------------

void TCustomForm::UpdateWidgetVisibility() {
  if (!TopLevel()) {
    TScrollingWinControl::UpdateWidgetVisibility();
    return;
  }
  QWidget* w = Widget();
  const bool show = Visible() && !FreePending();
  if (show && !w->isVisible()) {
    PlaceOnScreen();
    w->show();
    w->raise();
    w->activateWindow();
  } else if (!show && w->isVisible()) {
    w->hide();
  }
}

void TCustomForm::Show() {
  SetVisible(true);
  Widget()->raise();
}

// Hiding a modal form ends its modal showing.
void TCustomForm::Hide() {
  SetVisible(false);
  if (Modal() && modalResult_ == mrNone) SetModalResult(mrCancel);
}

bool TCustomForm::CloseQuery() {
  if (!OnCloseQuery.Assigned() || !Firing()) return true;
  TEventArgs args{TVarRec::Object(Handle()), TVarRec::Boolean(true)};
  Fire(OnCloseQuery, args);
  return args[1].VInt != 0;
}

namespace {

// What OnClose left in Action; an ordinal outside the enumeration keeps the form.
TCloseAction CloseActionOf(const TVarRec& record) {
  return record.VInt >= caNone && record.VInt <= caMinimize ? static_cast<TCloseAction>(record.VInt)
                                                            : caNone;
}

}  // namespace

void TCustomForm::Close() {
  if (Modal()) {
    SetModalResult(mrCancel);
    return;
  }
  CloseWindow();
}

bool TCustomForm::CloseWindow() {
  TBusyScope busy(*this);
  if (!CloseQuery() || !busy.Alive()) return false;
  TEventArgs args{TVarRec::Object(Handle()), TVarRec::Integer(caHide)};
  if (Firing()) Fire(OnClose, args);
  if (!busy.Alive()) return true;
  switch (CloseActionOf(args[1])) {
    case caNone:
      return false;
    case caMinimize:
      SetWindowState(wsMinimized);
      return true;
    case caFree:
      SetVisible(false);
      Free();  // put off while this scope or a handler of the form still runs
      return true;
    default:
      SetVisible(false);
      return true;
  }
}

void TCustomForm::SetModalResult(int32_t result) {
  modalResult_ = result;
  if (modalLoop_ && result != mrNone) modalLoop_->exit();
}

int32_t TCustomForm::ShowModal() {
  if (Modal() || Widget()->isVisible())
    throw EInvalidOperation(UString(u"Cannot make a visible window modal"));
  TBusyScope busy(*this);
  QEventLoop loop;
  modalLoop_ = &loop;
  modalResult_ = mrNone;
  Widget()->setWindowModality(Qt::ApplicationModal);
  SetVisible(true);
  TCloseAction action = caHide;
  for (;;) {
    if (modalResult_ == mrNone) loop.exec();
    if (!busy.Alive()) return mrCancel;  // destroyed by its owner meanwhile
    // The host asks before it lets a modal showing end.
    if (!CloseQuery()) {
      modalResult_ = mrNone;
      continue;
    }
    TEventArgs args{TVarRec::Object(Handle()), TVarRec::Integer(caHide)};
    if (Firing()) Fire(OnClose, args);
    if (!busy.Alive()) return mrCancel;
    action = CloseActionOf(args[1]);
    if (action != caNone) break;
    modalResult_ = mrNone;
  }
  modalLoop_ = nullptr;
  const int32_t result = modalResult_;
  SetVisible(false);
  Widget()->setWindowModality(Qt::NonModal);
  if (action == caFree) Free();
  return result;
}

void TCustomForm::FreeDeferred() {
  TScrollingWinControl::FreeDeferred();
  if (Modal()) SetModalResult(mrCancel);
}

bool TCustomForm::DialogKey(int32_t key) {
  std::vector<TControl*> pending{this};
  while (!pending.empty()) {
    TControl* c = pending.back();
    pending.pop_back();
    if (c != this && c->ClicksOnDialogKey(key) && c->Visible() && c->Enabled()) {
      c->Click();
      return true;
    }
    if (auto* container = dynamic_cast<TWinControl*>(c))
      for (int i = container->ControlCount() - 1; i >= 0; --i)
        pending.push_back(container->Controls(i));
  }
  return false;
}

// --- Events ------------------------------------------------------------------------------

void TCustomForm::Paint() { FireNotify(OnPaint); }

bool TCustomForm::HandleEvent(QObject* watched, QEvent* event) {
  if (watched == ClientWidget()) {
    if (event->type() == QEvent::Paint) {
      surface_->Paint([this] { Paint(); });
      return true;
    }
    if (event->type() == QEvent::Resize) surface_->Resized();
  }
  if (watched == Widget()) {
    switch (event->type()) {
      case QEvent::Move:
      case QEvent::Resize:
      case QEvent::WindowActivate:
        LearnFrame();
        break;
      default:
        break;
    }
    switch (event->type()) {
      case QEvent::Show:
        if (!event->spontaneous()) FireNotify(OnShow);
        break;
      case QEvent::Hide:
        if (!event->spontaneous()) FireNotify(OnHide);
        break;
      case QEvent::WindowActivate:
        FireNotify(OnActivate);
        break;
      case QEvent::WindowDeactivate:
        FireNotify(OnDeactivate);
        break;
      case QEvent::Close:
        // The window system asks; the form's own close sequence answers, and hides it.
        event->ignore();
        Close();
        return true;
      default:
        break;
    }
  }
  return TScrollingWinControl::HandleEvent(watched, event);
}

}  // namespace kv
