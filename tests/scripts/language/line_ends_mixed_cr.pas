// Mixed line ends: CRLF, then CR, then LF each end one line.
begin  ShowMessage(1);
  ShowMessage(2);
  ShowMessage(3) ShowMessage(4);
end.
