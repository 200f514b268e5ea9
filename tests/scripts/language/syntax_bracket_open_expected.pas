var a: array 3 of Integer;
begin
end.
