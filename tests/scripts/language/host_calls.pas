{ Calls of bound functions and methods: an argument that calls the same function, a
  method whose object variable changes between calls, an object freed and replaced. }
var
  A, B, L: TStringList;
  i, n: Integer;
  s: String;
begin
  s := Copy(Copy('abcdef', 2, 4), Pos('c', Copy('xxcx', 1, 4)) - 1, 2);
  ShowMessage(s);
  ShowMessage(IntToStr(Length(IntToStr(Length(IntToStr(12345)) * 1000))));
  A := TStringList.Create;
  B := TStringList.Create;
  A.Add('a1');
  B.Add('b1');
  B.Add('b2');
  n := 0;
  for i := 1 to 4 do
  begin
    if i mod 2 = 0 then L := B else L := A;
    L.Add(IntToStr(i) + ':' + IntToStr(L.Count));
    n := n + L.Count;
  end;
  ShowMessage(A.CommaText + ' | ' + B.CommaText + ' | ' + IntToStr(n));
  A.Free;
  A := TStringList.Create;
  L := A;
  L.Add('fresh');
  ShowMessage(L.Text);
  A.Free;
  B.Free;
end.
