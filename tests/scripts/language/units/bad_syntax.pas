begin
  if then;
end.
