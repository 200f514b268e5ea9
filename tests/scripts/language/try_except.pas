// try..except swallows any exception and goes on after the statement; nesting and re-raising.
var
  line: String;
  i: Integer;

procedure Fail(msg: String);
begin
  RaiseException(msg);
  line := line + 'never';
end;

function Safe(n: Integer): Integer;
begin
  Result := 0;
  try
    Result := 100 div n;
  except
    Result := -1;
  end;
end;

begin
  line := '';
  try
    line := line + 'a';
    Fail('x');
    line := line + 'b';
  except
    line := line + 'c';
  end;
  line := line + 'd';
  ShowMessage(line);
  ShowMessage(Safe(4));
  ShowMessage(Safe(0));
  // The finally handler runs on the way out to the outer except.
  line := '';
  try
    try
      Fail('inner');
    finally
      line := line + 'F1';
    end;
  except
    line := line + 'E1';
  end;
  ShowMessage(line);
  // An exception raised by a handler reaches the next handler out.
  line := '';
  try
    try
      Fail('one');
    except
      line := line + 'E1';
      Fail('two');
    end;
  except
    line := line + 'E2';
  end;
  ShowMessage(line);
  line := '';
  try
    line := line + 'ok';
  finally
    line := line + 'F';
  end;
  ShowMessage(line);
  // Host errors are caught like script ones.
  line := '';
  try
    i := StrToInt('zz');
  except
    line := 'conversion caught';
  end;
  ShowMessage(line);
  try
    try
      Fail('x');
    except
      RaiseException('again');
    end;
  except
  end;
  ShowMessage('done');
end.
