var a: array[3] Integer;
begin
end.
