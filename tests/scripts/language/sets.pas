// Set constructors with "in": single values, ranges, evaluation order.
var
  i, calls: Integer;
  s, line: String;

function Probe(x: Integer): Integer;
begin
  calls := calls + 1;
  Result := x;
end;

begin
  line := '';
  for i := 0 to 10 do
    if i in [1, 3..5, 9] then line := line + IntToStr(i) + ' ';
  ShowMessage(line);
  // The scan stops at the first match; later items are never evaluated.
  calls := 0;
  ShowMessage(1 in [Probe(1), Probe(2), Probe(3)]);
  ShowMessage(calls);
  calls := 0;
  ShowMessage(7 in [Probe(1), Probe(2)..Probe(3)]);
  ShowMessage(calls);
  // Ranges compare by value: strings, reals and reversed (empty) ranges.
  s := 'k';
  ShowMessage(s in ['a'..'z']);
  ShowMessage('K' in ['a'..'z']);
  ShowMessage(s in ['x', 'k']);
  ShowMessage(2.5 in [2..3]);
  ShowMessage(3 in [5..1]);
  ShowMessage(not (4 in [1..3]));
  // Elements may be any expressions.
  i := 4;
  ShowMessage(i * 2 in [i + 1..i + i]);
end.
