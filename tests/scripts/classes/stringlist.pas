// TStringList basics: lines and their objects, whole text, Assign.
var
  l, copy: TStringList;
  i: Integer;
begin
  l := TStringList.Create;
  ShowMessage(IntToStr(l.Add('one')) + IntToStr(l.Add('two')));
  l.Insert(0, 'zero');
  l.Insert(3, 'three');
  l[1] := 'ONE';
  l.Strings[2] := 'Two';
  for i := 0 to l.Count - 1 do
    ShowMessage(IntToStr(i) + ': ' + l[i]);
  ShowMessage(IntToStr(l.IndexOf('two')) + ' ' + IntToStr(l.IndexOf('four')));
  l.Delete(0);
  l.AddObject('with object', l);
  ShowMessage(IntToStr(l.IndexOfObject(l)) + ' ' + TObject(l.Objects[3]).ClassName);
  l.Objects[3] := nil;
  ShowMessage(IntToStr(l.IndexOfObject(l)));
  l.InsertObject(0, 'first', l);
  ShowMessage(IntToStr(l.IndexOfObject(l)));
  l.Text := 'a' + Chr(13) + Chr(10) + 'b' + Chr(10) + Chr(10) + 'c' + Chr(13);
  ShowMessage(IntToStr(l.Count) + ' [' + l[2] + ']');
  ShowMessage(l.Text);
  copy := TStringList.Create;
  copy.Assign(l);
  l.Clear;
  ShowMessage(IntToStr(l.Count) + ' ' + IntToStr(copy.Count) + ' ' + copy.CommaText);
  copy.Exchange(0, 3);
  copy.Move(3, 1);
  ShowMessage(copy.CommaText);
  copy.Free;
  l.Free;
end.
