var i: Integer;
begin
  i[1] := 2;
end.
