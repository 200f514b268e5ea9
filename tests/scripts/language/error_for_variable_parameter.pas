procedure P(n: Integer);
begin
  for n := 1 to 2 do ;
end;
begin
end.
