var s: String;
begin
  s := s + 1;
end.
