#language Basic
begin
end.
