begin
  try
    ShowMessage(1);
  end;
end.
