// Strings: S[i] reads and writes, copies stay independent, UTF-16 code units.
var
  s, t, u: String;
  c: Char;
  i: Integer;
  v: Variant;

function Word3: String;
begin
  Result := 'xyz';
end;

function FirstUp(p: String): String;
begin
  p[1] := 'Q';
  Result := p + p[2];
end;

procedure Dash(var p: String);
begin
  p[2] := '-';
end;

begin
  // Writing one character does not disturb another variable holding the same string.
  s := 'hello';
  t := s;
  s[1] := 'J';
  ShowMessage(s + ' ' + t);
  ShowMessage(s[2] + s[5]);
  // Only the first character of the assigned value is stored.
  s[3] := 'XYZ';
  ShowMessage(s);
  // Length and indices count UTF-16 code units.
  ShowMessage(Length('Привет'));
  u := 'Привет';
  ShowMessage(u[1] + u[6]);
  u[1] := 'п';
  ShowMessage(u);
  ShowMessage(Uppercase(u));
  ShowMessage(Length('𝄞'));
  c := 'q';
  ShowMessage(c + 'r');
  ShowMessage('it''s');
  ShowMessage('');
  ShowMessage(Length(''));
  s := '';
  for i := 1 to 3 do s := s + Chr(64 + i);
  ShowMessage(s);
  ShowMessage(Ord(s[2]));
  ShowMessage(Copy(s, 2, 10));
  ShowMessage(Pos('C', s));
  // Indexing a function result, a value parameter, a var parameter and a Variant.
  ShowMessage(Word3[1] + Word3[2] + Word3[3]);
  s := 'abc';
  ShowMessage(FirstUp(s));
  ShowMessage(s);
  Dash(s);
  ShowMessage(s);
  v := 'vwx';
  ShowMessage(v[3]);
  v[1] := 'V';
  ShowMessage(v);
  // Numbers join strings only through conversion routines.
  ShowMessage('n=' + IntToStr(12) + ' f=' + FloatToStr(2.5));
end.
