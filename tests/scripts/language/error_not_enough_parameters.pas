procedure P(var a: Integer; b: Integer = 3);
begin
end;
begin
  P;
end.
