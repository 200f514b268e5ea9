// Bad input raises a clear error and changes nothing: forged and wrong-class objects,
// parent cycles, abstract classes, parts a control keeps, values out of range, focusing a
// hidden control.
var
  o: TObject;
  F: TForm;
  P: TGroupBox;
  B: TButton;
  L: TStringList;

procedure Expect(const What: string);
begin
  ShowMessage('refused: ' + What);
end;

begin
  F := TForm.Create(nil);
  B := TButton.Create(F);
  L := TStringList.Create;
  try B.Parent := TWinControl(12345); except Expect('a forged parent'); end;
  try B.Parent := TWinControl(L); except Expect('a string list as parent'); end;
  P := TGroupBox.Create(F);
  P.Parent := F;
  try F.Parent := P; except Expect('a parent cycle'); end;
  try o := TControl.Create(nil); except Expect('an abstract class'); end;
  try TListBox(B).Selected[0] := True; except Expect('a button as a list box'); end;
  try F.Canvas.Free; except Expect('freeing the canvas of a form'); end;
  try F.BorderStyle := 77; except Expect('a border style out of range'); end;
  try B.SetFocus; except Expect('focusing a hidden control'); end;
  ShowMessage(F.Parent = nil);
  L.Free;
  F.Free;
end.
