// TCustomForm and TForm, the windows scripts make, and TDataModule, the form-less container
// of non-visual components.
//
// A form without a parent is a top-level window; its Left, Top, Width and Height are the
// outer frame's, ClientWidth and ClientHeight the inner area's. Show shows it; ShowModal
// shows it modally in a nested event loop that ends when ModalResult becomes non-zero (a
// button's ModalResult sets it when clicked) or the form is closed.
#pragma once

#include <memory>

#include "host/gui/scrolling.h"

class QEventLoop;

namespace kv {

class TCanvas;
class TPaintSurface;

enum TFormBorderStyle : uint8_t {
  bsNone,
  bsSingle,
  bsSizeable,
  bsDialog,
  bsToolWindow,
  bsSizeToolWin,
};
enum TWindowState : uint8_t { wsNormal, wsMinimized, wsMaximized };
enum TFormStyle : uint8_t { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum TPosition : uint8_t {
  poDesigned,
  poDefault,
  poDefaultPosOnly,
  poDefaultSizeOnly,
  poScreenCenter,
  poDesktopCenter,
};
enum TCloseAction : uint8_t { caNone, caHide, caFree, caMinimize };
enum TBorderIcon : uint8_t { biSystemMenu, biMinimize, biMaximize, biHelp };
using TBorderIcons = SetOf<TBorderIcon>;

// Modal results.
enum : int32_t {
  mrNone = 0,
  mrOk,
  mrCancel,
  mrAbort,
  mrRetry,
  mrIgnore,
  mrYes,
  mrNo,
  mrAll,
  mrNoToAll,
  mrYesToAll,
};

// Published: BorderIcons, BorderStyle, Caption, FormStyle, KeyPreview, Position,
// WindowState; events OnActivate, OnClose, OnCloseQuery, OnCreate, OnDeactivate,
// OnDestroy, OnHide, OnPaint, OnShow. OnCreate belongs to forms built from stored layouts;
// a form made by code gets its handlers after it was created, so it never fires there.
class TCustomForm : public TScrollingWinControl {
  KV_CLASS(TCustomForm, TScrollingWinControl)

 public:
  explicit TCustomForm(TComponent* owner = nullptr);
  // Fires OnDestroy first, while the form is whole.
  ~TCustomForm() override;

  int Width() const override;
  int Height() const override;
  int ClientWidth() const override;
  int ClientHeight() const override;
  void SetClientWidth(int width) override;
  void SetClientHeight(int height) override;

  UString Text() const override;
  void SetText(const UString& caption) override;
  TCanvas* Canvas() const;

  void Show() override;
  void Hide() override;
  // Asks OnCloseQuery, then OnClose decides: hide (the default), free, minimise or stay.
  // On a modal form it ends the modal showing with mrCancel instead.
  void Close();
  // Whether the form may close: OnCloseQuery's answer (true without a handler).
  bool CloseQuery();
  // Shows the form modally and returns its ModalResult. Raises for a form that is already
  // visible or modal.
  int32_t ShowModal();
  bool Modal() const { return modalLoop_ != nullptr; }
  int32_t ModalResult() const { return modalResult_; }
  void SetModalResult(int32_t result);

  TFormBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TFormBorderStyle style);
  TBorderIcons BorderIcons() const { return borderIcons_; }
  void SetBorderIcons(TBorderIcons icons);
  TFormStyle FormStyle() const { return formStyle_; }
  void SetFormStyle(TFormStyle style);
  TPosition Position() const { return position_; }
  void SetPosition(TPosition position);
  TWindowState WindowState() const;
  void SetWindowState(TWindowState state);
  bool KeyPreview() const { return keyPreview_; }
  void SetKeyPreview(bool preview) { keyPreview_ = preview; }
  bool PreviewsKeys() const override { return keyPreview_; }
  // Enter and Escape that the focused control left alone click the default or cancel
  // button.
  bool DialogKey(int32_t key) override;

  TMethod OnActivate;
  TMethod OnClose;
  TMethod OnCloseQuery;
  TMethod OnCreate;
  TMethod OnDeactivate;
  TMethod OnDestroy;
  TMethod OnHide;
  TMethod OnPaint;
  TMethod OnShow;

 protected:
  bool HandleEvent(QObject* watched, QEvent* event) override;
  bool TakesMouse(QObject* watched) const override { return watched == ClientWidget(); }
  // A form freed while it shows modally ends its modal showing (with mrCancel) first.
  void FreeDeferred() override;
  void UpdateWidgetVisibility() override;
  void PlaceWidget(int left, int top, int width, int height) override;
  // Fires OnPaint; descendants draw more.
  virtual void Paint();

 private:
  // The close sequence without the modal shortcut; true when the form closed.
  bool CloseWindow();
  void ApplyWindowFlags();
  void PlaceOnScreen();
  // The window frame's extra width and height (0 until the window system told them).
  QSize FrameExtra() const;
  void LearnFrame();
  void ResizeInside(const QSize& inside);
  bool TopLevel() const { return Parent() == nullptr; }

  std::unique_ptr<TPaintSurface> surface_;
  QEventLoop* modalLoop_ = nullptr;
  int32_t modalResult_ = mrNone;
  TFormBorderStyle borderStyle_ = bsSizeable;
  TBorderIcons borderIcons_{biSystemMenu, biMinimize, biMaximize};
  TFormStyle formStyle_ = fsNormal;
  TPosition position_ = poDesigned;
  bool keyPreview_ = false;
  bool placed_ = false;
  QSize frame_{0, 0};
  bool clientWidthSet_ = false;
  bool clientHeightSet_ = false;
};

class TForm : public TCustomForm {
  KV_CLASS(TForm, TCustomForm)

 public:
  explicit TForm(TComponent* owner = nullptr) : TCustomForm(owner) {}
};

// A container of non-visual components; it shows nothing.
class TDataModule : public TComponent {
  KV_CLASS(TDataModule, TComponent)

 public:
  explicit TDataModule(TComponent* owner = nullptr) : TComponent(owner) {}
};

// The form a control sits on (the control itself for a form), or nullptr.
TCustomForm* ParentFormOf(TControl* control);
// Frees the forms nobody owns, at the end of a program: what a script created without an
// owner and never freed.
void FreeRemainingForms();

}  // namespace kv
