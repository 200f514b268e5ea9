procedure P;
begin
end
begin
end.
