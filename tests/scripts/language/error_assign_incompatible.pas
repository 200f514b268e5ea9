var i: Integer;
begin
  i := 'a';
end.
