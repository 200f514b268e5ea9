#  LANGUAGE   pascalscript  
begin
  Undeclared := 1;
end.
