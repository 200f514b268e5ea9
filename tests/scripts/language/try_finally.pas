// try..finally: the handler runs after normal completion, an exception, break and continue;
// exit inside the guarded body leaves without running it.
var
  i: Integer;
  line: String;

procedure ExitInside;
begin
  try
    line := line + 'body ';
    exit;
    line := line + 'never ';
  finally
    line := line + 'finally ';
  end;
  line := line + 'after ';
end;

function ExitLater: Integer;
begin
  Result := 1;
  try
    Result := 2;
  finally
    Result := Result * 10;
  end;
  exit;
  Result := 0;
end;

begin
  line := '';
  try
    line := line + 'ok ';
  finally
    line := line + 'finally';
  end;
  ShowMessage(line);
  // Every handler statement runs when break or continue leaves the body.
  line := '';
  for i := 1 to 3 do begin
    try
      if i = 1 then continue;
      if i = 2 then break;
      line := line + 'never';
    finally
      line := line + IntToStr(i);
      line := line + 'a';
      line := line + 'b ';
    end;
  end;
  ShowMessage(line + 'i=' + IntToStr(i));
  line := '';
  ExitInside;
  ShowMessage(line);
  ShowMessage(ExitLater);
  // Nested: inner handlers run first.
  line := '';
  try
    try
      line := line + 'in ';
    finally
      line := line + 'inner ';
    end;
  finally
    line := line + 'outer';
  end;
  ShowMessage(line);
  // An exception passes through every finally handler on its way to an except.
  line := '';
  try
    try
      try
        RaiseException('boom');
      finally
        line := line + 'f1 ';
      end;
    finally
      line := line + 'f2 ';
    end;
  except
    line := line + 'caught';
  end;
  ShowMessage(line);
end.
