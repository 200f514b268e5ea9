// dupError refuses a line equal to one the sorted list holds, ignoring case.
var
  l: TStringList;
begin
  l := TStringList.Create;
  try
    l.Sorted := True;
    l.Duplicates := dupError;
    l.Add('one');
    l.Add('two');
    ShowMessage(l.CommaText);
    l.Add('ONE');
  finally
    l.Free;
  end;
end.
