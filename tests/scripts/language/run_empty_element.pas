// Array elements start Empty: arithmetic on one fails, even between two Integer operands.
var a: array[3] of Integer;
begin
  a[1] := 1;
  ShowMessage(a[1] + 1);
  ShowMessage(a[0] + 1);
end.
