begin
  ShowMessage(1 in []);
end.
