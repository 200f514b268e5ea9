procedure P(a: Integer; a: String);
begin
end;
begin
end.
