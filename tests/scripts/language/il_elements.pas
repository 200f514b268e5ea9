// The IL elements of the grammar's constructs, through --il (parsed only, never compiled).
uses 'units/cubes.pas';
const c = 'it''s';
var a: array[1..2, 3] of Integer; v: Variant = -1;
procedure P(var x: Integer; y: Integer = 3);
begin
  if x in [1, 2..3] then x := (x + y) * 2 else;
  case x of 1: ; else exit end;
  while x > 0 do x := x - 1;
  repeat break until True;
  for x := 3 DownTo 1 do continue;
  try x := x div y except end;
  with v do ;
  v := @P;
  a[1, 2] := c[1];
  v := <Table."Field">;
  v := not (x >= y) OR (x <> $1F);
end;
begin
  P(v)
end.
