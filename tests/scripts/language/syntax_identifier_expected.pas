var
begin
end.
