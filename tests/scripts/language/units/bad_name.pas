procedure Broken;
begin
  Missing := 1;
end;

begin
end.
