// A form built from a script and read back: the window's outer and inner size, controls
// parented on it with their layout (Align and Anchors), the constants of the library.
var
  F: TForm;
  B: TButton;
  L: TLabel;
  E: TEdit;
begin
  F := TForm.Create(nil);
  F.Caption := 'Привет';
  F.SetBounds(10, 20, 300, 200);
  ShowMessage(F.Caption + ' ' + IntToStr(F.Left) + ',' + IntToStr(F.Top) + ' ' +
    IntToStr(F.Width) + 'x' + IntToStr(F.Height));
  ShowMessage(F.ClientWidth <= F.Width);
  ShowMessage(F.Parent = nil);

  B := TButton.Create(F);
  B.Parent := F;
  B.Caption := 'OK';
  B.SetBounds(200, 150, 75, 25);
  B.Anchors := [akRight, akBottom];
  ShowMessage(B.Parent = F);
  ShowMessage(B.Owner = F);

  L := TLabel.Create(F);
  L.Parent := F;
  L.Align := alTop;
  L.Height := 20;
  E := TEdit.Create(F);
  E.Parent := F;
  E.Align := alClient;

  F.ClientWidth := 400;
  F.ClientHeight := 300;
  ShowMessage(IntToStr(F.ClientWidth) + 'x' + IntToStr(F.ClientHeight));
  // The label keeps the top edge, the edit fills the rest, the button keeps its distance
  // to the right and bottom edges.
  ShowMessage(IntToStr(L.Left) + ',' + IntToStr(L.Top) + ' ' + IntToStr(L.Width) + 'x' + IntToStr(L.Height));
  ShowMessage(IntToStr(E.Top) + ' ' + IntToStr(E.Width) + 'x' + IntToStr(E.Height));
  ShowMessage(IntToStr(B.Left) + ',' + IntToStr(B.Top));

  ShowMessage(IntToStr(crSize) + ' ' + IntToStr(crSizeAll) + ' ' + IntToStr(mrOk) + ' ' + IntToStr(mrYesToAll));
  ShowMessage(IntToStr(caFree) + ' ' + IntToStr(poScreenCenter));
  F.Free;
end.
