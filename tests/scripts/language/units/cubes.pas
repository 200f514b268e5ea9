function Cube(x: Integer): Integer;
begin
  Result := x * x * x;
end;

begin
  ShowMessage('cubes main');
end.
