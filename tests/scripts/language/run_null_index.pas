var v: Variant;
begin
  v[1] := 'x';
end.
