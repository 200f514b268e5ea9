// while and repeat: condition order, zero and one passes, compound bodies.
var
  i: Integer;
  line: String;
begin
  i := 0;
  while i < 5 do i := i + 2;
  ShowMessage(i);
  // A false condition runs no pass; repeat always runs one.
  while False do ShowMessage('never');
  while False do ;
  i := 10;
  repeat i := i + 1 until True;
  ShowMessage(i);
  // repeat takes a statement list without begin/end and stops when the condition is true.
  i := 0; line := '';
  repeat
    i := i + 1;
    line := line + IntToStr(i);
  until i >= 4;
  ShowMessage(line);
  line := '';
  while Length(line) < 6 do begin
    line := line + 'ab';
  end;
  ShowMessage(line);
  // A numeric condition is converted to Boolean each time: non-zero is true.
  i := 3; line := '';
  while i do begin
    line := line + IntToStr(i);
    i := i - 1;
  end;
  ShowMessage(line);
end.
