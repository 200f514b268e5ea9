var P: Integer;
procedure P;
begin
end;
begin
end.
