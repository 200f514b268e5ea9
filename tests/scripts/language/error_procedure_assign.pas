procedure P;
begin
end;
begin
  P := 1;
end.
