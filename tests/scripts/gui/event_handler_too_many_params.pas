// A handler that declares more parameters than its event passes is refused when it is
// assigned, not when the event fires.
var
  F: TForm;

procedure FormClick(Sender: TObject; Extra: Integer);
begin
  ShowMessage('never');
end;

begin
  F := TForm.Create(nil);
  F.OnClick := 'FormClick';
end.
