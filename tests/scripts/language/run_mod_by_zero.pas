var i: Integer;
begin
  i := 0;
  ShowMessage(10 mod i);
end.
