var b, c: Boolean;
begin
  b := b < c;
end.
