const c = 1;
begin
  c := 2;
end.
