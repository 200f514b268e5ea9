// An unknown option is bad usage: exit code 3, nothing runs.
begin
  ShowMessage('never');
end.
