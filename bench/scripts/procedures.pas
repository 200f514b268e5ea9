{ Benchmark: script procedures of every shape. Functions of several parameters, var
  parameters, a nested procedure that reads and writes its outer procedure's locals, and
  two recursions (one with a var parameter and a local that each level keeps). Prints a
  checksum so the work cannot be skipped. }
var
  i, total, lo, hi: Integer;

function Clamp(v, low, high: Integer): Integer;
begin
  if v < low then
    Result := low
  else if v > high then
    Result := high
  else
    Result := v;
end;

function Blend(a, b, c, d: Integer): Integer;
begin
  Result := (a * 3 + b * 5 + c * 7 + d) mod 1009;
end;

procedure Swap(var a, b: Integer);
var
  t: Integer;
begin
  t := a;
  a := b;
  b := t;
end;

function Accumulate(n: Integer): Integer;
var
  sum: Integer;

  procedure Add(k: Integer);
  begin
    sum := (sum + k) mod 65521;
  end;

var
  k: Integer;
begin
  sum := 0;
  for k := 1 to n do
    Add(k);
  Result := sum;
end;

procedure CountNodes(depth: Integer; var count: Integer);
var
  here: Integer;
begin
  here := depth;
  count := count + 1;
  if depth > 0 then
  begin
    CountNodes(depth - 1, count);
    CountNodes(depth - 1, count);
  end;
  count := count + here - depth;
end;

function Ackermann(m, n: Integer): Integer;
begin
  if m = 0 then
    Result := n + 1
  else if n = 0 then
    Result := Ackermann(m - 1, 1)
  else
    Result := Ackermann(m - 1, Ackermann(m, n - 1));
end;

begin
  total := 0;
  lo := 1;
  hi := 2;
  for i := 1 to 1000000 do
  begin
    total := (total + Clamp(i mod 1000, 100, 900) + Blend(i, total, lo, hi)) mod 1000003;
    Swap(lo, hi);
  end;
  for i := 1 to 300 do
    total := (total + Accumulate(1000)) mod 1000003;
  i := 0;
  CountNodes(18, i);
  total := (total + i + Ackermann(2, 300)) mod 1000003;
  ShowMessage(total);
end.
