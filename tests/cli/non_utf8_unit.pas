function Square(X: Integer): Integer;
begin
  Result := X * X;
end;

begin
end.
