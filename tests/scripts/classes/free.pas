// Free: of nil does nothing; freeing twice and using a freed object raise an error a script
// can catch, and the process goes on.
var
  l: TStringList;
  m: TMemoryStream;
  n: Integer;
begin
  l := nil;
  l.Free;
  ShowMessage('nil.Free is fine');
  l := TStringList.Create;
  l.Add('x');
  l.Free;
  try
    l.Free;
    ShowMessage('not reached');
  except
    ShowMessage('second Free raised');
  end;
  try
    n := l.Count;
    ShowMessage('not reached');
  except
    ShowMessage('Count of a freed list raised');
  end;
  try
    l.Add('y');
    ShowMessage('not reached');
  except
    ShowMessage('Add to a freed list raised');
  end;
  try
    m := TMemoryStream(12345678);
    m.Clear;
    ShowMessage('not reached');
  except
    ShowMessage('a forged reference raised');
  end;
  try
    TStringList.Add('z');
    ShowMessage('not reached');
  except
    ShowMessage('a method of the class itself raised');
  end;
  ShowMessage('done');
end.
