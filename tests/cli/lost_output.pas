// The message cannot be written; catching the error must not turn the run into a success.
begin
  try
    ShowMessage('lost');
  except
    ShowMessage('lost as well');
  end;
end.
