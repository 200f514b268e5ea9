// --check compiles without running: nothing is shown but Ok.
begin
  ShowMessage(1 div 0);
end.
