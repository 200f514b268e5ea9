begin
  { this comment never ends
  ShowMessage(1);
end.
