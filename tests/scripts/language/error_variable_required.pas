var v: Variant;
begin
  v := @A.B;
end.
