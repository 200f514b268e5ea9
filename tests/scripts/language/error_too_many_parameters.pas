procedure P(var a: Integer; b: Integer = 3);
begin
end;
var v: Integer;
begin
  P(v, 1, 2);
end.
