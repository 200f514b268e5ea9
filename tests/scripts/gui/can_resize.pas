// OnCanResize sees every new size first: it may change it or refuse it. OnResize follows a
// size that changed.
var
  F: TForm;
  B: TButton;

procedure ButtonCanResize(Sender: TObject; var NewWidth, NewHeight: Integer; var Resize: Boolean);
begin
  if NewWidth > 200 then NewWidth := 200;
  Resize := NewHeight <> 99;
end;

procedure ButtonResize(Sender: TObject);
begin
  ShowMessage('resized to ' + IntToStr(B.Width) + 'x' + IntToStr(B.Height));
end;

begin
  F := TForm.Create(nil);
  B := TButton.Create(F);
  B.Parent := F;
  B.SetBounds(0, 0, 50, 20);
  B.OnCanResize := 'ButtonCanResize';
  B.OnResize := 'ButtonResize';
  B.Width := 500;
  B.Height := 99;
  B.SetBounds(5, 5, 60, 30);
  ShowMessage(IntToStr(B.Left) + ',' + IntToStr(B.Top) + ' ' + IntToStr(B.Width) + 'x' + IntToStr(B.Height));
  F.Free;
end.
