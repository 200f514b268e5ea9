var s: String = 1;
begin
end.
