// if/else chains, dangling else, empty branches and non-Boolean conditions.
var
  i: Integer;
  line: String;
  v: Variant;

function Grade(n: Integer): String;
begin
  if n >= 90 then Result := 'A'
  else if n >= 75 then Result := 'B'
  else if n >= 50 then Result := 'C'
  else Result := 'F';
end;

begin
  ShowMessage(Grade(95) + Grade(90) + Grade(80) + Grade(50) + Grade(10));
  // else belongs to the nearest if.
  line := '';
  for i := 1 to 3 do
    if i > 1 then
      if i > 2 then line := line + 'big '
      else line := line + 'mid '
    else line := line + 'small ';
  ShowMessage(line);
  // Empty branches are allowed.
  if True then else ShowMessage('wrong');
  if False then ShowMessage('wrong') else;
  if False then ;
  // A condition is converted to Boolean: numbers and strings that read as Booleans work.
  v := 1;
  if v then ShowMessage('1 is true');
  v := 0;
  if not v then ShowMessage('not 0 is -1, which is true');
  v := 'False';
  if v then ShowMessage('wrong') else ShowMessage('''False'' is false');
  if (1 < 2) and ((3 < 4) or False) then begin
    ShowMessage('compound');
    ShowMessage('branch');
  end;
end.
