// Array elements start Empty: Variant arithmetic on one fails.
var a: array[3] of Integer;
    v: Variant;
begin
  v := 1;
  ShowMessage(a[0] + v);
end.
