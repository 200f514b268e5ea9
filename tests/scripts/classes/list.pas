// TList: indexes of added items, insertion, removal, the default property and objects
// stored in it.
var
  l: TList;
  a, b, c: TStringList;
  i: Integer;
begin
  l := TList.Create;
  a := TStringList.Create;
  b := TStringList.Create;
  c := TStringList.Create;
  a.Add('a');
  b.Add('b');
  c.Add('c');
  ShowMessage(IntToStr(l.Add(a)) + IntToStr(l.Add(b)) + IntToStr(l.Add(c)));
  ShowMessage(IntToStr(l.Count));
  ShowMessage(IntToStr(l.IndexOf(b)));
  ShowMessage(IntToStr(l.Remove(b)));
  ShowMessage(IntToStr(l.Remove(b)));
  ShowMessage(IntToStr(l.IndexOf(b)));
  l.Insert(0, b);
  for i := 0 to l.Count - 1 do
    ShowMessage(TStringList(l[i])[0]);
  l.Items[1] := c;
  l.Delete(2);
  ShowMessage(TStringList(l.Items[1])[0] + ' ' + TObject(l[0]).ClassName);
  l.Add(nil);
  ShowMessage(IntToStr(l.IndexOf(nil)));
  l.Exchange(0, 2);
  l.Move(2, 0);
  ShowMessage(TStringList(l[0])[0] + IntToStr(l.IndexOf(nil)));
  l.Clear;
  ShowMessage(IntToStr(l.Count));
  l.Free;
  a.Free;
  b.Free;
  c.Free;
end.
