// A UTF-8 byte-order mark is not part of the text.
begin
  ShowMessage('bom');
  y := 1;
end.
