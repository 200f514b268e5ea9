{ Benchmark: FormatDateTime with a 262,144-character pattern: a long run of one literal
  character, a run of a specifier letter and a run of "c". Prints the result's length. }

function Repeated(c: String; doublings: Integer): String;
var
  i: Integer;
begin
  Result := c;
  for i := 1 to doublings do
    Result := Result + Result;
end;

begin
  ShowMessage(Length(FormatDateTime(Repeated('x', 17) + Repeated('d', 16) + Repeated('c', 16),
                                    45000.5)));
end.
