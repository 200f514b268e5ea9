begin
  case 1 do
    1: ;
  end;
end.
