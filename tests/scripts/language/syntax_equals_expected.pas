var x: Integer;
begin
  x : = 1;
end.
