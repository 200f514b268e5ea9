begin
  if True do ShowMessage(1);
end.
