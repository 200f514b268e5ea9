{ String routines: positions and lengths count UTF-16 code units; case follows Unicode. }
var
  s, t, u: String;
begin
  ShowMessage(Copy('abcdef', 0, 2) + '|' + Copy('abc', 3, 5) + '|' + Copy('abc', 4, 1) + '|' + Copy('abc', 2, -1) + '|' + Copy('', 1, 1));
  ShowMessage(Copy('Привет, мир', 9, 3));
  ShowMessage(IntToStr(Pos('', 'abc')) + ' ' + IntToStr(Pos('c', '')) + ' ' + IntToStr(Pos('bc', 'abcbc')) + ' ' + IntToStr(Pos('мир', 'Привет, мир')));
  s := 'abcdef';
  Delete(s, 0, 1);
  ShowMessage(s);
  Delete(s, 5, 100);
  ShowMessage(s);
  Delete(s, 2, 1);
  ShowMessage(s);
  Insert('x', s, 100);
  ShowMessage(s);
  Insert('<', s, -5);
  ShowMessage(s);
  Insert('', s, 2);
  ShowMessage(s);
  ShowMessage(Uppercase('straße äöü привет') + ' ' + Lowercase('ÄÖÜ ПРИВЕТ ABC'));
  ShowMessage('[' + Trim('  '#9'a b'#13#10'  ') + '][' + Trim('   ') + ']');
  ShowMessage(NameCase('john smith') + ' | ' + NameCase('иван петров'));
  ShowMessage(IntToStr(CompareText('abc', 'ABC')) + ' ' + IntToStr(CompareText('a', 'b')) + ' ' + IntToStr(CompareText('Яблоко', 'яблоко')));
  ShowMessage(CompareText('b', 'a') > 0);
  ShowMessage(Chr(65) + Chr(1046) + Chr(65536 + 66));
  ShowMessage(IntToStr(Ord('A')) + ' ' + IntToStr(Ord('Ж')) + ' ' + IntToStr(Ord('€uro')));
  ShowMessage(Length('Привет') + Length('') * 10);
  s := 'abc';
  SetLength(s, 5);
  ShowMessage('[' + s + ']');
  SetLength(s, 2);
  ShowMessage('[' + s + ']');
  SetLength(s, -1);
  ShowMessage('[' + s + ']');
  s := 'hello';
  s[1] := 'J';
  ShowMessage(s + ' ' + s[5]);
  { One-character strings are shared bodies: writing one copy leaves the others alone. }
  t := Chr(65);
  u := Copy('ABC', 1, 1);
  t[1] := 'Z';
  u := u + 'x';
  s := 'A';
  s := s + s;
  ShowMessage(t + u + s + Chr(65) + Copy('ABC', 1, 1));
end.
