var a: array[2, 2] of Integer;
begin
  a[1] := 0;
end.
