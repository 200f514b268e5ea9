var i: Integer;
begin
  i := 0;
  ShowMessage(1 / i);
end.
