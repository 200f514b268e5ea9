// Output before the error stays; nothing after it runs.
var i: Integer;
begin
  ShowMessage('before');
  i := 0;
  ShowMessage(10 div i);
  ShowMessage('after');
end.
