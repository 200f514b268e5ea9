var a, b: Integer;
begin
  a := a * -b;
end.
