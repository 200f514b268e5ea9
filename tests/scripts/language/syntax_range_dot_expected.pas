begin
  ShowMessage(1 in [1.]);
end.
