procedure P(n: Integer);
begin
  while n > 0 do n := n - 1;
  if n = 0 then continue;
end;
begin
end.
