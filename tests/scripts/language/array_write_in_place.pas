// Element writes into arrays held by Variant variables and parameters change that holder
// only: every other holder of the same array keeps its own values.
var
  v, w, shared: Variant;
  d: array[0..2] of Integer;
  i: Integer;

procedure ByValue(p: Variant);
begin
  p[0] := 'changed';
  ShowMessage('inside ' + p[0] + ' ' + p[1]);
end;

procedure ByReference(var p: Variant);
var k: Integer;
begin
  for k := 0 to 2 do p[k] := p[k] * 10;
end;

procedure Grid(g: Variant);
begin
  g[1, 2] := 'x';
  ShowMessage(g[0, 0] + g[1, 2]);
end;

begin
  v := VarArrayCreate([0, 2], 12);
  for i := 0 to 2 do v[i] := i + 1;
  // Assignment copies: writes through one holder leave the other as it was.
  w := v;
  w[0] := 100;
  v[2] := 300;
  ShowMessage(IntToStr(v[0]) + ' ' + IntToStr(v[1]) + ' ' + IntToStr(v[2]));
  ShowMessage(IntToStr(w[0]) + ' ' + IntToStr(w[1]) + ' ' + IntToStr(w[2]));
  // A value parameter is a copy of the caller's array.
  shared := VarArrayCreate([0, 1], 12);
  shared[0] := 'kept';
  shared[1] := 'too';
  ByValue(shared);
  ShowMessage(shared[0]);
  // A var parameter writes back.
  ByReference(v);
  ShowMessage(IntToStr(v[0]) + ' ' + IntToStr(v[1]) + ' ' + IntToStr(v[2]));
  ShowMessage(w[0]);
  // Two dimensions, and a declared array passed to a Variant parameter.
  shared := VarArrayCreate([0, 1, 0, 2], 12);
  shared[0, 0] := 'o';
  Grid(shared);
  ShowMessage(VarToStr(shared[1, 2]) = '');
  for i := 0 to 2 do d[i] := i;
  ByReference(d);
  ShowMessage(IntToStr(d[0]) + ' ' + IntToStr(d[1]) + ' ' + IntToStr(d[2]));
  // A long fill through a Variant: every element lands where it was written.
  v := VarArrayCreate([0, 9999], 12);
  for i := 0 to 9999 do v[i] := i * 3;
  w := 0;
  for i := 0 to 9999 do
    if v[i] <> i * 3 then w := w + 1;
  ShowMessage(IntToStr(w) + ' ' + IntToStr(v[9999]));
end.
