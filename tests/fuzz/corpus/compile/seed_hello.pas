var
  s: String;
  i: Integer;
begin
  s := 'Hello';
  for i := 1 to 3 do
    s := s + '!';
  ShowMessage(s);
  ShowMessage(Length(s));
end.
