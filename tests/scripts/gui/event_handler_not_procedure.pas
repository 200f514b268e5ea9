// A name that is not a script procedure (a variable, a built-in routine, a class) cannot
// handle an event.
var
  F: TForm;
  Tries: Integer;

procedure Attempt(const Name: string);
begin
  try
    F.OnShow := Name;
  except
    Tries := Tries + 1;
  end;
end;

begin
  F := TForm.Create(nil);
  Attempt('Tries');
  Attempt('ShowMessage');
  Attempt('TForm');
  Attempt('NoSuchProc');
  ShowMessage(IntToStr(Tries) + ' refused');
  F.OnShow := 'Tries';
end.
