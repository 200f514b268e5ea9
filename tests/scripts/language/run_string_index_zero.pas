var s: String;
begin
  s := 'abc';
  ShowMessage(s[0]);
end.
