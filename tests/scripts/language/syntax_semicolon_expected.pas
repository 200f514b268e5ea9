var x: Integer
begin
end.
