program 1;
begin
end.
