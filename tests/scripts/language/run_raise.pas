procedure Fail;
begin
  RaiseException('custom failure');
end;
begin
  try
    Fail;
  finally
    ShowMessage('finally ran');
  end;
  ShowMessage('not reached');
end.
