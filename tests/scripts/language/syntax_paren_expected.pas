begin
  ShowMessage(1;
end.
