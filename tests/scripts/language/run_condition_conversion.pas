var v: Variant;
begin
  v := 'maybe';
  if v then ShowMessage('yes');
end.
