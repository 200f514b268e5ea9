begin
  while False then ;
end.
