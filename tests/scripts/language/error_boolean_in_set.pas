var b: Boolean;
begin
  b := b in [True];
end.
