procedure P;
begin
  Result := 1;
end;
begin
end.
