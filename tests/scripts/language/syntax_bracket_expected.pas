var a: array[3] of Integer;
begin
  a[1 := 2;
end.
