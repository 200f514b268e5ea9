const c 1;
begin
end.
