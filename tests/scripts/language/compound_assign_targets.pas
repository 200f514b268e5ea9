// Compound assignments (and the folded x := x op e) on variables, value and var parameters:
// the target changes, every other holder of the same value keeps it.
var
  s, kept: String;
  v, w: Variant;
  n: Integer;

procedure Append(p: String);
var k: Integer;
begin
  for k := 1 to 3 do p := p + IntToStr(k);
  ShowMessage(p);
end;

procedure AppendVar(var p: String);
begin
  p := p + '!';
end;

procedure Count(c: Integer; var total: Integer);
begin
  c := c * 2;
  total := total + c;
  total := c + total;
end;

begin
  s := 'abc';
  kept := s;
  Append(s);
  ShowMessage(s + ' ' + kept);
  AppendVar(s);
  ShowMessage(s + ' ' + kept);
  v := 'x';
  w := v;
  v := v + 'y';
  ShowMessage(v + ' ' + w);
  n := 5;
  Count(n, n);
  ShowMessage(n);
  n := 7;
  n := n - 10;
  n := n * n;
  ShowMessage(n);
  n := 10;
  n := n / 4;
  ShowMessage(n);
end.
