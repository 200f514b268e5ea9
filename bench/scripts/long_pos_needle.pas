{ Benchmark: Pos with a 1,048,576-character needle that almost matches at every position of a
  text twice as long (a run of "a" ending in "b"). Prints the position found. }

function Repeated(c: String; doublings: Integer): String;
var
  i: Integer;
begin
  Result := c;
  for i := 1 to doublings do
    Result := Result + Result;
end;

var
  needle: String;
begin
  needle := Copy(Repeated('a', 20), 2, 1048575) + 'b';
  ShowMessage(Pos(needle, Repeated('a', 20) + needle));
end.
