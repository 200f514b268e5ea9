var s: String;
begin
  s := 'abc';
  s[4] := 'd';
end.
