// Events fired by real Qt input reach script procedures with the host's arguments, and what
// the handlers write back reaches the widgets.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QScrollArea>
#include <QTest>
#include <QTimer>

#include "host/gui/application.h"
#include "host/gui/button.h"
#include "host/gui/edit.h"
#include "host/gui/form.h"
#include "tests/gui/gui_script.h"

namespace kv {
namespace {

class RecordingErrors : public TErrorDisplay {
 public:
  void ShowError(const UString& message) override { shown += ToUtf8(message) + "\n"; }
  std::string shown;
};

// Shows the form and waits until it is the active window, so that keys reach its focus.
void ShowAndActivate(TCustomForm* form) {
  form->Show();
  form->Widget()->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(form->Widget()));
}

const char* kEditScript = R"(
var
  F: TForm;
  E: TEdit;

procedure EditKeyDown(Sender: TObject; var Key: Word; Shift: TShiftState);
begin
  ShowMessage('down ' + IntToStr(Key) + ' ' + IntToStr(Shift));
  if Key = 65 then Key := 0;
end;

procedure EditKeyPress(Sender: TObject; var Key: Char);
begin
  if Key = 'b' then Key := 'z';
  if Key = 'c' then Key := #0;
end;

begin
  F := TForm.Create(nil);
  E := TEdit.Create(F);
  E.Parent := F;
  E.OnKeyDown := 'EditKeyDown';
  E.OnKeyPress := 'EditKeyPress';
end.
)";

TEST(Events, KeyHandlersSuppressAndReplaceKeys) {
  TGuiScript script(kEditScript);
  auto* form = script.Object<TForm>(u"F");
  auto* edit = script.Object<TEdit>(u"E");
  ShowAndActivate(form);
  edit->SetFocus();
  QTest::keyClick(edit->Widget(), Qt::Key_A);                     // zeroed in key down
  QTest::keyClick(edit->Widget(), Qt::Key_B);                     // replaced by 'z'
  QTest::keyClick(edit->Widget(), Qt::Key_C);                     // zeroed in key press
  QTest::keyClick(edit->Widget(), Qt::Key_D, Qt::ShiftModifier);  // Shift, then D with Shift
  EXPECT_EQ(edit->Text(), u"zd");  // the test tool types a small letter
  EXPECT_EQ(script.TakeMessages(), "down 65 0\ndown 66 0\ndown 67 0\ndown 16 1\ndown 68 1\n");
  form->Free();
}

TEST(Events, MouseHandlersGetButtonShiftAndClientPosition) {
  TGuiScript script(R"(
var F: TForm;
procedure FormMouseDown(Sender: TObject; Button: TMouseButton; Shift: TShiftState; X, Y: Integer);
begin
  ShowMessage(IntToStr(Button) + ' ' + IntToStr(Shift) + ' ' + IntToStr(X) + ',' + IntToStr(Y));
end;
procedure FormClick(Sender: TObject);
begin
  ShowMessage('click');
end;
begin
  F := TForm.Create(nil);
  F.OnMouseDown := 'FormMouseDown';
  F.OnClick := 'FormClick';
end.
)");
  auto* form = script.Object<TForm>(u"F");
  form->Show();
  QWidget* client = form->ClientWidget();
  QTest::mousePress(client, Qt::RightButton, Qt::ShiftModifier, QPoint(5, 7));
  QTest::mouseRelease(client, Qt::RightButton, Qt::ShiftModifier, QPoint(5, 7));
  QTest::mouseClick(client, Qt::LeftButton, Qt::NoModifier, QPoint(20, 30));
  EXPECT_EQ(script.TakeMessages(), "1 17 5,7\n0 8 20,30\nclick\n");
  form->Free();
}

TEST(Events, ButtonClickedWhileShownModallyEndsTheModalShowing) {
  TGuiScript script(R"(
var F: TForm; B: TButton;
procedure ButtonClick(Sender: TObject);
begin
  F.ModalResult := 6;
end;
begin
  F := TForm.Create(nil);
  B := TButton.Create(F);
  B.Parent := F;
  B.SetBounds(10, 10, 80, 25);
  B.OnClick := 'ButtonClick';
end.
)");
  auto* form = script.Object<TForm>(u"F");
  auto* button = script.Object<TButton>(u"B");
  QTimer::singleShot(20, [button] { QTest::mouseClick(button->Widget(), Qt::LeftButton); });
  EXPECT_EQ(form->ShowModal(), 6);
  EXPECT_FALSE(form->Widget()->isVisible());
  form->Free();
}

TEST(Events, RefusingCloseQueryKeepsAWindowTheUserClosed) {
  TGuiScript script(R"(
var F: TForm; Allow: Boolean;
procedure FormCloseQuery(Sender: TObject; var CanClose: Boolean);
begin
  CanClose := Allow;
end;
begin
  F := TForm.Create(nil);
  F.OnCloseQuery := 'FormCloseQuery';
end.
)");
  auto* form = script.Object<TForm>(u"F");
  form->Show();
  form->Widget()->close();
  EXPECT_TRUE(form->Widget()->isVisible());
  script.SetValue(u"Allow", Variant(true));
  form->Widget()->close();
  EXPECT_FALSE(form->Widget()->isVisible());
  form->Free();
}

TEST(Events, ErrorInAHandlerFiredByQtIsShownAndTheProgramGoesOn) {
  StartGuiTestEngine();
  RecordingErrors errors;
  Application().SetErrorDisplay(&errors);
  TGuiScript script(R"(
var F: TForm; B: TButton; N: Integer;
procedure ButtonClick(Sender: TObject);
begin
  N := N + 1;
  StrToInt('x1');
end;
begin
  F := TForm.Create(nil);
  B := TButton.Create(F);
  B.Parent := F;
  B.OnClick := 'ButtonClick';
end.
)");
  auto* form = script.Object<TForm>(u"F");
  auto* button = script.Object<TButton>(u"B");
  form->Show();
  const int before = Application().ErrorCount();
  QTest::mouseClick(button->Widget(), Qt::LeftButton);
  QTest::mouseClick(button->Widget(), Qt::LeftButton);
  EXPECT_EQ(Application().ErrorCount(), before + 2);
  EXPECT_EQ(errors.shown, "'x1' is not a valid integer value\n'x1' is not a valid integer value\n");
  EXPECT_EQ(script.Value(u"N").ToInt(), 2);
  Application().SetErrorDisplay(nullptr);
  form->Free();
}

TEST(Events, FreeingAControlRemovesItsAdaptersAndAHandlerIsNotReentered) {
  TGuiScript script(R"(
var F: TForm; B: TButton; N: Integer;
procedure ButtonClick(Sender: TObject);
begin
  N := N + 1;
  B.Click;
end;
begin
  F := TForm.Create(nil);
  B := TButton.Create(F);
  B.Parent := F;
  B.OnClick := 'ButtonClick';
  F.OnShow := 'ButtonClick';
end.
)");
  auto* button = script.Object<TButton>(u"B");
  const int adapters = GlobalEventList()->ItemCount();
  button->Click();
  EXPECT_EQ(script.Value(u"N").ToInt(), 1);  // the inner Click was dropped
  button->Free();
  EXPECT_EQ(GlobalEventList()->ItemCount(), adapters - 1);
  script.Object<TForm>(u"F")->Free();
  EXPECT_EQ(GlobalEventList()->ItemCount(), adapters - 2);
}

TEST(Events, KeyPreviewLetsTheFormSeeKeysFirst) {
  TGuiScript script(R"(
var F: TForm; E: TEdit;
procedure FormKeyDown(Sender: TObject; var Key: Word; Shift: TShiftState);
begin
  ShowMessage('form ' + IntToStr(Key));
  if Key = 81 then Key := 0;
end;
procedure EditKeyDown(Sender: TObject; var Key: Word; Shift: TShiftState);
begin
  ShowMessage('edit ' + IntToStr(Key));
end;
begin
  F := TForm.Create(nil);
  F.KeyPreview := True;
  F.OnKeyDown := 'FormKeyDown';
  E := TEdit.Create(F);
  E.Parent := F;
  E.OnKeyDown := 'EditKeyDown';
end.
)");
  auto* form = script.Object<TForm>(u"F");
  auto* edit = script.Object<TEdit>(u"E");
  ShowAndActivate(form);
  edit->SetFocus();
  QTest::keyClick(edit->Widget(), Qt::Key_Q);
  QTest::keyClick(edit->Widget(), Qt::Key_W);
  EXPECT_EQ(edit->Text(), u"w");
  EXPECT_EQ(script.TakeMessages(), "form 81\nform 87\nedit 87\n");
  form->Free();
}

TEST(Events, FocusMovesFireExitThenEnter) {
  TGuiScript script(R"(
var F: TForm; A, B: TEdit;
procedure Left(Sender: TObject);
begin
  ShowMessage('exit ' + TEdit(Sender).Name);
end;
procedure Entered(Sender: TObject);
begin
  ShowMessage('enter ' + TEdit(Sender).Name);
end;
begin
  F := TForm.Create(nil);
  A := TEdit.Create(F);
  A.Name := 'A';
  A.Parent := F;
  B := TEdit.Create(F);
  B.Name := 'B';
  B.Parent := F;
  A.OnEnter := 'Entered';
  A.OnExit := 'Left';
  B.OnEnter := 'Entered';
end.
)");
  auto* form = script.Object<TForm>(u"F");
  ShowAndActivate(form);
  script.Object<TEdit>(u"A")->SetFocus();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  EXPECT_EQ(script.TakeMessages(), "enter A\nexit A\nenter B\n");
  form->Free();
}

// What a script draws on a form's canvas outside OnPaint stays on the form until it is
// resized; OnPaint draws over it.
TEST(Painting, DrawingOutsidePaintIsKeptUntilTheFormIsResized) {
  TGuiScript script(R"(
var F: TForm;
procedure FormPaint(Sender: TObject);
begin
  F.Canvas.Brush.Color := clBlue;
  F.Canvas.Pen.Color := clBlue;
  F.Canvas.Rectangle(0, 0, 10, 10);
end;
procedure DrawOutsidePaint;
begin
  F.Canvas.Brush.Color := clRed;
  F.Canvas.Pen.Color := clRed;
  F.Canvas.Rectangle(5, 5, 30, 30);
end;
begin
  F := TForm.Create(nil);
  F.Color := clWhite;
  F.OnPaint := 'FormPaint';
  F.Show;
end.
)");
  auto* form = script.Object<TForm>(u"F");
  QWidget* client = form->ClientWidget();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(form->Widget()));
  script.Call(u"DrawOutsidePaint");
  QImage shot = client->grab().toImage();
  EXPECT_EQ(shot.pixelColor(2, 2), QColor(Qt::blue));
  EXPECT_EQ(shot.pixelColor(20, 20), QColor(Qt::red));
  EXPECT_EQ(shot.pixelColor(40, 40), QColor(Qt::white));
  form->SetBounds(form->Left(), form->Top(), 200, 150);
  shot = client->grab().toImage();
  EXPECT_EQ(shot.pixelColor(20, 20), QColor(Qt::white));
  EXPECT_EQ(shot.pixelColor(2, 2), QColor(Qt::blue));
  form->Free();
}

}  // namespace
}  // namespace kv
