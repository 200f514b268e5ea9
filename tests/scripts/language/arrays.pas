// Declared arrays of one to three dimensions, bounds, copies and Variant arrays.
var
  a: array[5] of Integer;
  b: array[1..3, 0..1] of String;
  c: array[2, 2, 2] of Integer;
  d: array[0..2] of Integer;
  e: array[0..2] of Integer;
  p, q: array[-1..1] of Integer;
  i, j, k, sum: Integer;
  line: String;
  v: Variant;

function Total(arr: Variant): Integer;
var n: Integer;
begin
  Result := 0;
  for n := 0 to 4 do Result := Result + arr[n];
end;

// An array passed for a var parameter is changed element by element and written back.
procedure Fill(var arr: Variant; n: Integer);
var k: Integer;
begin
  for k := 0 to n - 1 do arr[k] := k * 10;
end;

begin
  // array[5] has bounds 0..4.
  for i := 0 to 4 do a[i] := i * i;
  line := '';
  for i := 0 to 4 do line := line + IntToStr(a[i]) + ' ';
  ShowMessage(line);
  a[2] := a[2] + a[3];
  ShowMessage(a[2]);
  ShowMessage(Total(a));
  for i := 1 to 3 do
    for j := 0 to 1 do
      b[i, j] := Chr(Ord('a') + i) + IntToStr(j);
  ShowMessage(b[1, 0] + b[3, 1]);
  sum := 0;
  for i := 0 to 1 do for j := 0 to 1 do for k := 0 to 1 do
    c[i, j, k] := i * 4 + j * 2 + k;
  for i := 0 to 1 do for j := 0 to 1 do for k := 0 to 1 do sum := sum + c[i, j, k];
  ShowMessage(sum);
  ShowMessage(c[1, 0, 1]);
  // Assigning an array copies it.
  d[0] := 1;
  e := d;
  e[0] := 5;
  ShowMessage(IntToStr(d[0]) + ' ' + IntToStr(e[0]));
  // Elements start Empty, which reads as an empty string.
  ShowMessage(VarToStr(d[1]) = '');
  // In "var p, q: array..." only q is an array; p is a plain Integer.
  q[-1] := 7;
  p := 3;
  ShowMessage(IntToStr(p) + ' ' + IntToStr(q[-1]));
  // A Variant holding an array is indexed the same way.
  v := VarArrayCreate([0, 2], 12);
  v[1] := 'mid';
  ShowMessage(v[1]);
  v := a;
  ShowMessage(v[4]);
  Fill(a, 3);
  ShowMessage(IntToStr(a[1]) + ' ' + IntToStr(a[2]) + ' ' + IntToStr(a[3]));
  // v took a copy.
  ShowMessage(v[1]);
end.
