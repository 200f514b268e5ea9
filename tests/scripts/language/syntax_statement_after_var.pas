// Without begin, the statement reads as a further variable declaration.
var x: Integer;
  x := 1;
end.
