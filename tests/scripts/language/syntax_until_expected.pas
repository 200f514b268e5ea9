begin
  repeat
    ShowMessage(1);
  end;
end.
