#include "rtti/kv_iformsrtti.h"

#include "host/core/class_builder.h"
#include "host/gui/button.h"
#include "host/gui/canvas.h"
#include "host/gui/check_box.h"
#include "host/gui/combo_box.h"
#include "host/gui/edit.h"
#include "host/gui/form.h"
#include "host/gui/group_box.h"
#include "host/gui/label.h"
#include "host/gui/list_box.h"
#include "host/gui/memo.h"
#include "host/gui/radio_button.h"
#include "host/gui/scrolling.h"
#include "rtti/kv_ievents.h"

namespace kv {

KV_DEFINE_CLASS(TkvFormsRTTI, TComponent) { c.Constructor(); }

namespace formsrtti {

namespace {

TkvLibraryHolder<TFunctions>& Holder() {
  static TkvLibraryHolder<TFunctions> holder;
  return holder;
}

struct NamedValue {
  const char16_t* name;
  int32_t value;
};

constexpr NamedValue kModalResults[] = {
    {u"mrNone", mrNone},         {u"mrOk", mrOk},
    {u"mrCancel", mrCancel},     {u"mrAbort", mrAbort},
    {u"mrRetry", mrRetry},       {u"mrIgnore", mrIgnore},
    {u"mrYes", mrYes},           {u"mrNo", mrNo},
    {u"mrAll", mrAll},           {u"mrNoToAll", mrNoToAll},
    {u"mrYesToAll", mrYesToAll},
};

// crSize has crSizeAll's value: scripts written for the host rely on it.
constexpr NamedValue kCursors[] = {
    {u"crDefault", 0},     {u"crNone", -1},       {u"crArrow", -2},    {u"crCross", -3},
    {u"crIBeam", -4},      {u"crSize", -22},      {u"crSizeNESW", -6}, {u"crSizeNS", -7},
    {u"crSizeNWSE", -8},   {u"crSizeWE", -9},     {u"crUpArrow", -10}, {u"crHourGlass", -11},
    {u"crDrag", -12},      {u"crNoDrop", -13},    {u"crHSplit", -14},  {u"crVSplit", -15},
    {u"crMultiDrag", -16}, {u"crSQLWait", -17},   {u"crNo", -18},      {u"crAppStart", -19},
    {u"crHelp", -20},      {u"crHandPoint", -21}, {u"crSizeAll", -22},
};

TWinControl* ParentArg(const Variant& value) { return HandleToOrNil<TWinControl>(value.ToInt()); }

}  // namespace

TFunctions::TFunctions() : TkvBindingLibrary(u"Forms") {
  RegisterConstants();
  RegisterTypes();
  RegisterControl();
  RegisterWinControl();
  RegisterStandardControls();
  RegisterForm();
}

void TFunctions::RegisterConstants() {
  for (const NamedValue& c : kModalResults) Const(c.name, u"Integer", Variant(c.value));
  for (const NamedValue& c : kCursors) Const(c.name, u"Integer", Variant(c.value));
}

void TFunctions::RegisterTypes() {
  FlagsEnum(u"TShiftState", u"ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble");
  Enum(u"TAlignment", u"taLeftJustify, taRightJustify, taCenter");
  Enum(u"TAlign", u"alNone, alTop, alBottom, alLeft, alRight, alClient");
  Enum(u"TMouseButton", u"mbLeft, mbRight, mbMiddle");
  FlagsEnum(u"TAnchors", u"akLeft, akTop, akRight, akBottom");
  Enum(u"TBevelCut", u"bvNone, bvLowered, bvRaised, bvSpace");
  Enum(u"TTextLayout", u"tlTop, tlCenter, tlBottom");
  Enum(u"TEditCharCase", u"ecNormal, ecUpperCase, ecLowerCase");
  Enum(u"TScrollStyle", u"ssNone, ssHorizontal, ssVertical, ssBoth");
  Enum(u"TComboBoxStyle",
       u"csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable");
  Enum(u"TCheckBoxState", u"cbUnchecked, cbChecked, cbGrayed");
  Enum(u"TListBoxStyle", u"lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable");
  Enum(u"TFormBorderStyle", u"bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin");
  Enum(u"TWindowState", u"wsNormal, wsMinimized, wsMaximized");
  Enum(u"TFormStyle", u"fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop");
  FlagsEnum(u"TBorderIcons", u"biSystemMenu, biMinimize, biMaximize, biHelp");
  Enum(u"TPosition",
       u"poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, "
       u"poDesktopCenter");
  Enum(u"TCloseAction", u"caNone, caHide, caFree, caMinimize");
}

void TFunctions::RegisterControl() {
  auto c = Class<TControl>(u"TComponent");
  c.Property(
      u"Parent", u"TWinControl", [](TControl& self) { return ObjectResult(self.Parent()); },
      [](TControl& self, const Variant& v) { self.SetParent(ParentArg(v)); });
  c.Method(u"procedure Hide", [](TControl& self, TkvParams&) { self.Hide(); });
  c.Method(u"procedure Show", [](TControl& self, TkvParams&) { self.Show(); });
  c.Method(u"procedure SetBounds(ALeft, ATop, AWidth, AHeight: Integer)",
           [](TControl& self, TkvParams& p) {
             self.SetBounds(IntArg(p, 0), IntArg(p, 1), IntArg(p, 2), IntArg(p, 3));
           });
  // Beyond the classic set: scripts that draw need to ask for a repaint.
  c.Method(u"procedure Invalidate", [](TControl& self, TkvParams&) { self.Invalidate(); });
  c.Method(u"procedure Repaint", [](TControl& self, TkvParams&) { self.Repaint(); });
  c.Event(u"OnCanResize", TkvCanResizeEvent::New);
  c.Event(u"OnClick", TkvNotifyEvent::New);
  c.Event(u"OnDblClick", TkvNotifyEvent::New);
  c.Event(u"OnMouseDown", TkvMouseEvent::New);
  c.Event(u"OnMouseMove", TkvMouseMoveEvent::New);
  c.Event(u"OnMouseUp", TkvMouseEvent::New);
  c.Event(u"OnResize", TkvNotifyEvent::New);
}

void TFunctions::RegisterWinControl() {
  auto c = Class<TWinControl>(u"TControl");
  c.Method(u"procedure SetFocus", [](TWinControl& self, TkvParams&) { self.SetFocus(); });
  c.Event(u"OnEnter", TkvNotifyEvent::New);
  c.Event(u"OnExit", TkvNotifyEvent::New);
  c.Event(u"OnKeyDown", TkvKeyEvent::New);
  c.Event(u"OnKeyPress", TkvKeyPressEvent::New);
  c.Event(u"OnKeyUp", TkvKeyEvent::New);
  Class<TCustomControl>(u"TWinControl");
  Class<TGraphicControl>(u"TControl");
}

// The label is registered under TWinControl: scripts see the window members on labels too.
void TFunctions::RegisterStandardControls() {
  Class<TGroupBox>(u"TWinControl");
  Class<TLabel>(u"TWinControl");
  Class<TEdit>(u"TWinControl");
  Class<TMemo>(u"TWinControl");
  auto combo = Class<TCustomComboBox>(u"TWinControl");
  combo.Property(
      u"DroppedDown", u"Boolean", [](TCustomComboBox& self) { return self.DroppedDown(); },
      [](TCustomComboBox& self, const Variant& v) { self.SetDroppedDown(v.ToBool()); });
  combo.Property(
      u"ItemIndex", u"Integer", [](TCustomComboBox& self) { return self.ItemIndex(); },
      [](TCustomComboBox& self, const Variant& v) { self.SetItemIndex(v.ToInt()); });
  Class<TComboBox>(u"TCustomComboBox");
  // Beyond the classic set: a button's Click is public in the host, and scripts press
  // buttons with it.
  Class<TButton>(u"TWinControl").Method(u"procedure Click", [](TButton& self, TkvParams&) {
    self.Click();
  });
  Class<TCheckBox>(u"TWinControl");
  Class<TRadioButton>(u"TWinControl");
  auto list = Class<TCustomListBox>(u"TWinControl");
  list.Property(
      u"ItemIndex", u"Integer", [](TCustomListBox& self) { return self.ItemIndex(); },
      [](TCustomListBox& self, const Variant& v) { self.SetItemIndex(v.ToInt()); });
  list.Property(u"SelCount", u"Integer", [](TCustomListBox& self) { return self.SelCount(); });
  list.IndexedProperty(
      u"Selected", u"Integer", u"Boolean",
      [](TCustomListBox& self, TkvParams& p) { return self.Selected(IntArg(p, 0)); },
      [](TCustomListBox& self, TkvParams& p, const Variant& v) {
        self.SetSelected(IntArg(p, 0), v.ToBool());
      });
  Class<TListBox>(u"TCustomListBox");
  Class<TControlScrollBar>(u"TPersistent");
  Class<TScrollingWinControl>(u"TWinControl");
  Class<TScrollBox>(u"TScrollingWinControl");
}

void TFunctions::RegisterForm() {
  auto c = Class<TCustomForm>(u"TScrollingWinControl");
  c.Method(u"procedure Close", [](TCustomForm& self, TkvParams&) { self.Close(); });
  c.Method(u"procedure Hide", [](TCustomForm& self, TkvParams&) { self.Hide(); });
  c.Method(u"procedure Show", [](TCustomForm& self, TkvParams&) { self.Show(); });
  c.Method(u"function ShowModal: Integer",
           [](TCustomForm& self, TkvParams&) { return self.ShowModal(); });
  c.Event(u"OnActivate", TkvNotifyEvent::New);
  c.Event(u"OnClose", TkvCloseEvent::New);
  c.Event(u"OnCloseQuery", TkvCloseQueryEvent::New);
  c.Event(u"OnCreate", TkvNotifyEvent::New);
  c.Event(u"OnDestroy", TkvNotifyEvent::New);
  c.Event(u"OnDeactivate", TkvNotifyEvent::New);
  c.Event(u"OnHide", TkvNotifyEvent::New);
  c.Event(u"OnPaint", TkvNotifyEvent::New);
  c.Event(u"OnShow", TkvNotifyEvent::New);
  c.Property(u"Canvas", u"TCanvas", [](TCustomForm& self) { return ObjectResult(self.Canvas()); });
  c.Property(
      u"ModalResult", u"Integer", [](TCustomForm& self) { return self.ModalResult(); },
      [](TCustomForm& self, const Variant& v) { self.SetModalResult(v.ToInt()); });
  Class<TForm>(u"TCustomForm");
  Class<TDataModule>(u"TComponent");
}

}  // namespace formsrtti

void StartFormsRtti() { formsrtti::Holder().Start(); }

void StopFormsRtti() { formsrtti::Holder().Stop(); }

formsrtti::TFunctions* FormsRtti() { return formsrtti::Holder().Instance(); }

}  // namespace kv
