{ Benchmark: calls of registered routines in a loop. 1,000,000 passes, each converting the
  counter with IntToStr and taking the Length of the result; then 300,000 calls of a script
  function. Prints a checksum so the work cannot be skipped. }
var
  i, n: Integer;
  s: String;

function Twice(k: Integer): Integer;
begin
  Result := k + k;
end;

begin
  n := 0;
  for i := 1 to 1000000 do
  begin
    s := IntToStr(i);
    n := n + Length(s);
  end;
  for i := 1 to 300000 do
    n := n + Twice(i) mod 7;
  ShowMessage(n);
end.
