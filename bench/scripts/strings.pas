{ Benchmark: string building and scanning through the built-in routines.
  Builds a 20,000-character text by concatenation, then walks it with S[i], Copy, Pos and
  Length, and rebuilds it word by word. Prints a checksum so the work cannot be skipped. }
var
  s, word, rebuilt: String;
  i, j, n, count, checksum, round: Integer;
begin
  checksum := 0;
  for round := 1 to 5 do
  begin
    { concatenation, one character at a time }
    s := '';
    for i := 1 to 20000 do
      if i mod 7 = 0 then
        s := s + ' '
      else
        s := s + Chr(Ord('a') + i mod 26);

    { indexing and Length }
    count := 0;
    n := Length(s);
    for i := 1 to n do
      if s[i] = ' ' then
        count := count + 1;
    checksum := checksum + count;

    { words by Pos and Copy, rebuilt in upper case }
    rebuilt := '';
    i := 1;
    while i <= n do
    begin
      j := Pos(' ', Copy(s, i, 50));
      if j = 0 then
        j := n - i + 2;
      word := Copy(s, i, j - 1);
      rebuilt := rebuilt + Uppercase(word) + ',';
      i := i + j;
    end;
    checksum := checksum + Length(rebuilt);

    { in-place edits through S[i] }
    for i := 1 to Length(rebuilt) do
      if rebuilt[i] = ',' then
        rebuilt[i] := ';';
    checksum := checksum + Pos(';', rebuilt);
  end;
  ShowMessage(checksum);
end.
