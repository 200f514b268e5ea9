var s: String;
begin
  s := 'abc';
  s[1] := '';
end.
