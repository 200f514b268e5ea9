// A decimal literal beyond Integer is real, so an Integer variable does not take it.
var i: Integer;
begin
  i := 4294967296;
end.
