// Appending in place must never change another variable that shares the old text.
var
  s, t: String;
  v, w: Variant;
  i: Integer;
function Grow(n: Integer): String;
var k: Integer;
begin
  Result := '';
  for k := 1 to n do Result := Result + 'ab';
end;
begin
  s := 'abc'; t := s; s := s + 'd';
  ShowMessage(t + ' ' + s);
  v := 'xy'; w := v; v := v + 'z';
  ShowMessage(w + ' ' + v);
  s := ''; t := '';
  for i := 1 to 5 do begin s := s + IntToStr(i); if i = 3 then t := s; end;
  ShowMessage(t + ' ' + s);
  ShowMessage(Grow(3) + ' ' + IntToStr(Length(Grow(50000))));
  s := 'q'; s := s + s; ShowMessage(s);
end.
