begin
  X := ;
end.
