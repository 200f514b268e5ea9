var a: array[1..3] of Integer;
begin
  a[4] := 1;
end.
