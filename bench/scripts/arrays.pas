{ Benchmark: element access of a 200,000-element array, filled and summed through a Variant
  variable, through a Variant parameter and through a declared array. Every write lands in
  the array in place; a write that copied the array would make each fill quadratic. Prints
  a checksum so the work cannot be skipped. }
const
  Count = 200000;
var
  v: Variant;
  a: array[0..199999] of Integer;
  i, round, checksum: Integer;

function FillAndSum(p: Variant): Integer;
var k: Integer;
begin
  for k := 0 to Count - 1 do p[k] := k mod 1000;
  Result := 0;
  for k := 0 to Count - 1 do Result := Result + p[k];
end;

begin
  checksum := 0;
  for round := 1 to 3 do
  begin
    v := VarArrayCreate([0, Count - 1], 12);
    for i := 0 to Count - 1 do v[i] := i mod 1000;
    for i := 0 to Count - 1 do checksum := checksum + v[i] - 499;

    checksum := checksum + FillAndSum(VarArrayCreate([0, Count - 1], 12)) - 99900000;

    for i := 0 to Count - 1 do a[i] := i mod 1000;
    for i := 0 to Count - 1 do checksum := checksum + a[i] - 499;
  end;
  ShowMessage(checksum);
end.
