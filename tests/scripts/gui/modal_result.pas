// ShowModal returns the ModalResult a button's click set; a close query that refuses keeps
// the form up until it is asked again. A timer plays the user.
var
  F: TForm;
  B: TButton;
  T: TTimer;
  Asked: Integer;

procedure Tick(Sender: TObject);
begin
  T.Enabled := False;
  B.Click;
end;

procedure FormCloseQuery(Sender: TObject; var CanClose: Boolean);
begin
  Asked := Asked + 1;
  CanClose := Asked > 1;
  if not CanClose then T.Enabled := True;
end;

begin
  F := TForm.Create(nil);
  B := TButton.Create(F);
  B.Parent := F;
  B.ModalResult := mrOk;
  T := TTimer.Create(F);
  T.Interval := 10;
  T.OnTimer := 'Tick';
  F.OnCloseQuery := 'FormCloseQuery';
  ShowMessage(F.ShowModal);
  ShowMessage(Asked);
  ShowMessage(F.Visible);
  ShowMessage(F.ModalResult);
  F.Free;
end.
