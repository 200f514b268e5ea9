var i: Integer;
begin
  for i := 1 to 2 do
    ShowMessage(i);
  break;
end.
