// Insert puts a line at a position, which a sorted list does not allow.
var
  l: TStringList;
begin
  l := TStringList.Create;
  try
    l.Sorted := True;
    l.Add('b');
    l.Insert(0, 'a');
    ShowMessage('not reached');
  finally
    ShowMessage(l.CommaText);
    l.Free;
  end;
end.
