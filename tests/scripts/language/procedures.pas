// Procedures and functions: var and default parameters, values kept between calls,
// Result starting Null, nested routines.
var
  x, y, counter: Integer;
  s: String;

procedure Swap(var a, b: Integer);
var t: Integer;
begin
  t := a; a := b; b := t;
end;

function Fact(n: Integer): Integer;
var local: Integer;
begin
  local := n;
  if n <= 1 then Result := 1
  else Result := n * Fact(n - 1);
  if local <> n then ShowMessage('local lost');
end;

function Fib(n: Integer): Integer;
begin
  if n < 2 then Result := n else Result := Fib(n - 1) + Fib(n - 2);
end;

function Sum(a: Integer; b: Integer = 10; c: Integer = 100): Integer;
begin
  Result := a + b + c;
end;

// A routine's variables hold one set of values that survives between calls.
function Ticker: Integer;
var calls: Integer;
begin
  calls := calls + 1;
  Result := calls;
end;

function Accumulate: Variant;
begin
  if Result = Null then Result := 1 else Result := Result + 1;
end;

// Result starts Null whatever the declared type, and Null swallows what is added to it.
function Appended: String;
begin
  Result := Result + 'a';
end;

function Untouched: Variant;
begin
end;

procedure Outer(n: Integer);
  procedure Inner(k: Integer);
  begin
    s := s + IntToStr(n) + ':' + IntToStr(k) + ' ';
  end;
var i: Integer;
begin
  for i := 1 to n do Inner(i);
end;

// A value parameter changed inside does not reach the caller; a var parameter does.
procedure Inc2(var v: Integer; by: Integer);
begin
  v := v + by;
  by := 0;
end;

function Depth(n: Integer; var total: Integer): Integer;
begin
  total := total + n;
  if n > 0 then Depth(n - 1, total);
  Result := n;
end;

function Join(const a, b: String; sep: String = '-'): String;
begin
  Result := a + sep + b;
end;

// A local may reuse a global name; the global is untouched.
procedure Shadow;
var x: String;
begin
  x := 'local';
  s := x;
end;

function Greet(name: String = 'world'): String;
begin
  Result := 'hello ' + name;
end;

begin
  x := 1; y := 2;
  Swap(x, y);
  ShowMessage(IntToStr(x) + ' ' + IntToStr(y));
  ShowMessage(Fact(10));
  ShowMessage(Fib(15));
  ShowMessage(Sum(1));
  ShowMessage(Sum(1, 2));
  ShowMessage(Sum(1, 2, 3));
  Ticker; Ticker;
  ShowMessage(Ticker);
  Accumulate; Accumulate;
  ShowMessage(Accumulate);
  ShowMessage(VarToStr(Untouched) = '');
  ShowMessage(Untouched = Null);
  ShowMessage('[' + Appended + ']' = Null);
  s := '';
  Outer(2);
  ShowMessage(s);
  x := 5; y := 7;
  Inc2(x, y);
  ShowMessage(IntToStr(x) + ' ' + IntToStr(y));
  counter := 0;
  ShowMessage(Depth(4, counter));
  ShowMessage(counter);
  ShowMessage(Greet);
  ShowMessage(Greet('you'));
  // An expression passed for a var parameter takes no write-back.
  Inc2(x, 1 + 1);
  Inc2(x + 0, 100);
  ShowMessage(x);
  ShowMessage(Join('a', 'b') + ' ' + Join('a', 'b', '+'));
  Shadow;
  ShowMessage(s + ' ' + IntToStr(x));
end.
