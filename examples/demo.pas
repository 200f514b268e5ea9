// A tour of kvScript: routines, recursion, strings, lists and error handling.
// Run it with:  build/cli/kvscript examples/demo.pas

function Fib(n: Integer): Integer;
begin
  if n < 2 then
    Result := n
  else
    Result := Fib(n - 1) + Fib(n - 2);
end;

procedure ShowTable(Size: Integer);
var
  i, j: Integer;
  Line: String;
begin
  for i := 1 to Size do
  begin
    Line := '';
    for j := 1 to Size do
      Line := Line + Format('%4d', [i * j]);
    ShowMessage(Line);
  end;
end;

var
  List: TStringList;
  i: Integer;
begin
  ShowMessage('Hello from kvScript, ' + FormatDateTime('yyyy', Now) + '!');
  ShowMessage('Fib(20) = ' + IntToStr(Fib(20)));
  ShowTable(5);

  List := TStringList.Create;
  try
    List.Sorted := True;
    List.Add('pear');
    List.Add('apple');
    List.Add('fig');
    for i := 0 to List.Count - 1 do
      ShowMessage(IntToStr(i + 1) + '. ' + List[i]);
    ShowMessage('As comma text: ' + List.CommaText);
  finally
    List.Free;
  end;

  try
    i := StrToInt('not a number');
  except
    ShowMessage('A conversion failed, and the script caught it.');
  end;
  ShowMessage(Format('%s has %d characters; in upper case: %s',
    ['Привет', Length('Привет'), Uppercase('Привет')]));
end.
