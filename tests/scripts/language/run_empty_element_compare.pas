var a: array[3] of Integer;
begin
  if a[1] = 0 then ShowMessage('zero');
end.
