// for to/downto: bounds, fixed pass count, the loop variable afterwards, variable kinds.
var
  i, j, n: Integer;
  line: String;
  f: Extended;
  v: Variant;

function Bound(x: Integer): Integer;
begin
  line := line + '<' + IntToStr(x) + '>';
  Result := x;
end;

begin
  line := '';
  for i := 1 to 5 do line := line + IntToStr(i);
  ShowMessage(line + ' i=' + IntToStr(i));
  line := '';
  for i := 3 downto 1 do line := line + IntToStr(i);
  ShowMessage(line + ' i=' + IntToStr(i));
  // An empty range runs no pass and leaves the variable alone.
  i := 42;
  for i := 1 to 0 do ShowMessage('never');
  for i := 0 downto 1 do ShowMessage('never');
  ShowMessage(i);
  // A single pass.
  for i := 7 to 7 do ShowMessage('once ' + IntToStr(i));
  // The pass count is fixed when the loop starts: changing the bound or the variable
  // inside does not change it, and the variable keeps what the body last stored.
  n := 3; line := '';
  for i := 1 to n do begin n := 10; line := line + IntToStr(i) end;
  ShowMessage(line);
  line := '';
  for i := 1 to 3 do begin line := line + IntToStr(i); i := i + 5 end;
  ShowMessage(line + ' i=' + IntToStr(i));
  // Bounds are evaluated once each, begin first.
  line := '';
  for i := Bound(1) to Bound(2) do line := line + '.';
  ShowMessage(line);
  // Nested loops, the inner bound reading the outer variable.
  line := '';
  for i := 1 to 2 do
    for j := i to 3 do line := line + IntToStr(i) + IntToStr(j) + ' ';
  ShowMessage(line);
  // A real begin value is rounded to an integer; Variant variables count too.
  line := '';
  for f := 1.6 to 3 do line := line + FloatToStr(f) + ' ';
  ShowMessage(line);
  line := '';
  for v := -1 to 1 do line := line + VarToStr(v) + ' ';
  ShowMessage(line);
  // Negative and large ranges.
  n := 0;
  for i := -1000 to 1000 do n := n + i;
  ShowMessage(n);
  n := 0;
  for i := 100000 downto 1 do n := n + 1;
  ShowMessage(n);
  // Loops that end at the limits of Integer stop there.
  n := 0;
  for i := 2147483645 to 2147483647 do n := n + 1;
  ShowMessage(IntToStr(n) + ' ' + IntToStr(i));
  n := 0;
  for i := -2147483647 - 1 + 2 downto -2147483647 - 1 do n := n + 1;
  ShowMessage(IntToStr(n) + ' ' + IntToStr(i));
  // A real end bound is rounded half to even; break leaves the variable where it was.
  n := 0;
  v := 2.5;
  for i := 1 to v do n := n + 1;
  ShowMessage(n);
  v := 2.7;
  for i := 1 to v do ;
  ShowMessage(i);
  for i := 1 to 10 do if i = 4 then break;
  ShowMessage(i);
end.
