// Recursive calls get their caller's locals and parameters back afterwards.
var
  total: Integer;

function Fact(n: Integer): Integer;
var local: Integer;
begin
  local := n;
  if n <= 1 then Result := 1
  else Result := n * Fact(n - 1);
  if local <> n then ShowMessage('local lost at ' + IntToStr(n));
end;

function Fib(n: Integer): Integer;
begin
  if n < 2 then Result := n else Result := Fib(n - 1) + Fib(n - 2);
end;

// The string is built around the inner call: Result must survive it.
function Mirror(n: Integer): String;
begin
  if n = 0 then begin Result := '|'; exit; end;
  Result := IntToStr(n) + Mirror(n - 1) + IntToStr(n);
end;

// Arguments of a recursive call read the caller's parameters before any is rebound.
function Ackermann(m, n: Integer): Integer;
begin
  if m = 0 then Result := n + 1
  else if n = 0 then Result := Ackermann(m - 1, 1)
  else Result := Ackermann(m - 1, Ackermann(m, n - 1));
end;

function SwapSum(a, b, depth: Integer): String;
begin
  if depth = 0 then Result := IntToStr(a) + ',' + IntToStr(b)
  else Result := SwapSum(b, a, depth - 1) + ' ' + IntToStr(a) + ',' + IntToStr(b);
end;

// A var parameter threaded through every level.
procedure Count(n: Integer; var acc: Integer);
begin
  acc := acc + n;
  if n > 0 then Count(n - 1, acc);
end;

// An exception from a deep call, caught on the way up, leaves each level its own locals.
function Deep(n: Integer): Integer;
var mine: Integer;
begin
  mine := n * 10;
  if n = 3 then RaiseException('deep');
  try
    Deep(n + 1);
  except
    ShowMessage('caught at ' + IntToStr(n) + ' mine=' + IntToStr(mine));
  end;
  Result := mine;
end;

// Mutual recursion through a nested routine.
function IsEven(n: Integer): Boolean;
  function Odd1(k: Integer): Boolean;
  begin
    if k = 0 then Result := False else Result := IsEven(k - 1);
  end;
begin
  if n = 0 then Result := True else Result := Odd1(n - 1);
end;

begin
  ShowMessage(Fact(10));
  ShowMessage(Fib(16));
  ShowMessage(Mirror(4));
  ShowMessage(Ackermann(2, 3));
  ShowMessage(SwapSum(1, 2, 3));
  total := 0;
  Count(100, total);
  ShowMessage(total);
  ShowMessage(Deep(1));
  ShowMessage(IsEven(10));
  ShowMessage(IsEven(7));
end.
