// CommaText quotes lines with blanks, commas and quotes; setting it splits at commas and at
// unquoted blanks. DelimitedText does the same with another delimiter.
var
  l: TStringList;
  i: Integer;
begin
  l := TStringList.Create;
  l.Add('plain');
  l.Add('two words');
  l.Add('a,b');
  l.Add('say "hi"');
  l.Add('');
  ShowMessage(l.CommaText);
  l.CommaText := 'x y, "quoted, with blanks" ,,"dq""inside",last,';
  for i := 0 to l.Count - 1 do
    ShowMessage(IntToStr(i) + ' [' + l[i] + ']');
  l.Clear;
  l.Add('');
  ShowMessage(l.CommaText);
  l.CommaText := '';
  ShowMessage(IntToStr(l.Count));
  l.Delimiter := ';';
  l.DelimitedText := 'a b;c,d';
  ShowMessage(IntToStr(l.Count) + ' ' + l.DelimitedText);
  l.StrictDelimiter := True;
  l.DelimitedText := 'a b;c,d';
  ShowMessage(IntToStr(l.Count) + ' ' + l.DelimitedText + ' ' + l.CommaText);
  l.Free;
end.
