var v: Variant;
begin
  v := 'x';
  ShowMessage(v + 1);
end.
