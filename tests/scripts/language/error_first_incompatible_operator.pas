var v: Variant;
begin
  v := ('a' - 'b') + (1 + 'c');
end.
