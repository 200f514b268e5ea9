uses units;
begin
end.
