 #language PascalScript
begin
end.
