// Control characters in a literal are written as character references; the document is
// valid for our own reader.
begin
  ShowMessage('tab'#9'bell'#7'esc'#27'del'#127);
end.
