// An index outside the list raises the host's error with the index; finally still runs.
var
  l: TList;
begin
  l := TList.Create;
  try
    l.Add(l);
    l.Delete(3);
  finally
    ShowMessage('finally ran');
    l.Free;
  end;
end.
