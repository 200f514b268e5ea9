// try..finally: the handler runs after normal completion, an exception, break, continue and
// exit.
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

// exit leaves through every finally part around it, innermost first; Result keeps what it
// held when exit ran.
function ExitNested: Integer;
begin
  Result := 1;
  try
    try
      Result := 2;
      exit;
    finally
      line := line + 'inner ';
    end;
  finally
    line := line + 'outer ' + IntToStr(Result);
  end;
  Result := 0;
end;

procedure ExitFromLoop;
var k: Integer;
begin
  for k := 1 to 5 do
    try
      if k = 2 then exit;
    finally
      line := line + IntToStr(k);
    end;
  line := line + 'never';
end;

// An exception raised by the finally part replaces the exit: the routine goes on after
// the handler that catches it.
procedure RaiseWhileExiting;
begin
  try
    try
      exit;
    finally
      line := line + 'cleanup ';
      RaiseException('during exit');
      line := line + 'never ';
    end;
  except
    line := line + 'caught ';
  end;
  line := line + 'goes on';
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
  line := '';
  ShowMessage(ExitNested);
  ShowMessage(line);
  line := '';
  ExitFromLoop;
  ShowMessage(line);
  line := '';
  RaiseWhileExiting;
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
  // exit in the main block runs the finally part too.
  try
    exit;
  finally
    ShowMessage('main finally');
  end;
  ShowMessage('never');
end.
