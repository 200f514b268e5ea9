uses 'non_utf8_unit.pas';
begin
  ShowMessage(Square(7));
end.
