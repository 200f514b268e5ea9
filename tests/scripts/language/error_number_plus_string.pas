var s: String;
begin
  s := 1 + s;
end.
