// break outside every loop would silently end the block; it is rejected.
begin
  ShowMessage(1);
  break;
  ShowMessage(2);
end.
