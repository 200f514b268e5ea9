var label: Integer;
begin
end.
