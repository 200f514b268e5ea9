function Down(n: Integer): Integer;
begin
  Result := Down(n + 1);
end;
begin
  Down(0);
end.
