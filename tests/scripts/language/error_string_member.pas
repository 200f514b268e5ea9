var s: String;
begin
  s.Length;
end.
