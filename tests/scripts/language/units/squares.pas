// A unit: its declarations join the using script, its main block runs before the script's.
var
  UnitCounter: Integer;

function Square(x: Integer): Integer;
begin
  Result := x * x;
end;

begin
  UnitCounter := 100;
  ShowMessage('squares main');
end.
