// break, continue and exit: how far each travels, in loops, nested blocks and procedures.
var
  i, j: Integer;
  line: String;

procedure Early(n: Integer);
begin
  line := line + 'E' + IntToStr(n);
  if n > 1 then exit;
  line := line + '!';
end;

function FindFirst(limit: Integer): Integer;
var k: Integer;
begin
  Result := -1;
  for k := 1 to 100 do
    if k * k > limit then begin
      Result := k;
      exit;
    end;
  Result := -2;
end;

procedure LoopInProc;
var k: Integer;
begin
  for k := 1 to 5 do begin
    if k = 2 then continue;
    if k = 4 then break;
    line := line + IntToStr(k);
  end;
  line := line + '|';
end;

begin
  line := '';
  for i := 1 to 10 do begin
    if i mod 2 = 0 then continue;
    if i > 7 then break;
    line := line + IntToStr(i);
  end;
  ShowMessage(line + ' i=' + IntToStr(i));
  // break leaves only the innermost loop.
  line := '';
  for i := 1 to 3 do begin
    for j := 1 to 3 do begin
      if j = 2 then break;
      line := line + IntToStr(i) + IntToStr(j) + ' ';
    end;
    line := line + '/ ';
  end;
  ShowMessage(line);
  // continue in repeat still tests the until condition.
  line := '';
  i := 0;
  repeat
    i := i + 1;
    if i < 3 then continue;
    line := line + IntToStr(i);
  until i >= 5;
  ShowMessage(line);
  line := '';
  i := 0;
  while True do begin
    i := i + 1;
    if i = 2 then continue;
    if i = 5 then break;
    line := line + IntToStr(i);
  end;
  ShowMessage(line);
  // exit in a procedure returns to the caller, which goes on.
  line := '';
  Early(1); Early(2);
  ShowMessage(line);
  ShowMessage(FindFirst(10));
  // break and continue inside a procedure stay inside it.
  line := '';
  LoopInProc; LoopInProc;
  ShowMessage(line);
  // They travel out of case, if and nested blocks up to the loop.
  line := '';
  for i := 1 to 3 do begin
    case i of
      2: continue;
    end;
    begin
      begin
        if i = 3 then break;
      end;
      line := line + IntToStr(i);
    end;
  end;
  ShowMessage(line);
  // A finally handler runs when break leaves its body.
  i := 0;
  while i < 100 do begin
    i := i + 1;
    try
      if i = 3 then break;
    finally
      line := line + 'f';
    end;
  end;
  ShowMessage(line);
  // exit in the main block ends the run.
  ShowMessage('before exit');
  exit;
  ShowMessage('after exit');
end.
