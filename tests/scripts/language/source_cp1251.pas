// A source that is not valid UTF-8 is read as Windows-1251.
begin
  ShowMessage('Привет, мир');
  ShowMessage(Length('Привет'));
end.
