{ Benchmark: string building: numbers appended with separators, characters appended one at
  a time, and a line rebuilt from pieces; lengths and a character checksum are printed. }
program StrBuildBench;

var
  s, line: String;
  i, j, total, check: Integer;
begin
  total := 0;
  check := 0;
  for j := 1 to 10 do
  begin
    s := '';
    for i := 1 to 20000 do
      s := s + IntToStr(i) + ',';
    total := total + Length(s);
    line := '';
    for i := 1 to 20000 do
      if i mod 3 = 0 then
        line := line + 'x'
      else
        line := line + Chr(65 + i mod 26);
    total := total + Length(line);
    for i := 1 to Length(line) do
      if line[i] = 'x' then
        check := check + i mod 7;
  end;
  ShowMessage('strbuild: ' + IntToStr(total) + ' ' + IntToStr(check));
end.
