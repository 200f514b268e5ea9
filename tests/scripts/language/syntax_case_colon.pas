begin
  case 1 of
    1 ShowMessage(1);
  end;
end.
