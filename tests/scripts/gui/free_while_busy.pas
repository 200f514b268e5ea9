// Freeing from inside handlers: a timer's handler frees the form that owns the timer while
// the form shows modally (the modal showing ends with mrCancel), and a button's handler
// frees its own form.
var
  F, G: TForm;
  T: TTimer;
  B: TButton;

procedure Tick(Sender: TObject);
begin
  F.Free;
end;

procedure ButtonClick(Sender: TObject);
begin
  G.Free;
  ShowMessage('the form waits for the handler: ' + G.ClassName);
end;

begin
  F := TForm.Create(nil);
  T := TTimer.Create(F);
  T.Interval := 10;
  T.OnTimer := 'Tick';
  ShowMessage(F.ShowModal = mrCancel);
  try
    F.Show;
  except
    ShowMessage('the form is gone');
  end;
  G := TForm.Create(nil);
  B := TButton.Create(G);
  B.Parent := G;
  B.OnClick := 'ButtonClick';
  B.Click;
  try
    B.Click;
  except
    ShowMessage('and so is the button');
  end;
end.
