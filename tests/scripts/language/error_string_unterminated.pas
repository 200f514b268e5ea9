begin
  ShowMessage('never ends);
end.
