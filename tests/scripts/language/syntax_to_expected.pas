var i: Integer;
begin
  for i := 1 upto 3 do ;
end.
