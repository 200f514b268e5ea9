// Sorted lists: where Add puts lines, Find with its index, Find on an unsorted list (a
// binary search there can miss a line that is present), duplicates, Sort and case.
var
  l: TStringList;
  i: Integer;
begin
  l := TStringList.Create;
  l.Sorted := True;
  ShowMessage(IntToStr(l.Add('pear')) + IntToStr(l.Add('apple')) + IntToStr(l.Add('fig')) +
    IntToStr(l.Add('Banana')));
  ShowMessage(l.CommaText);
  if l.Find('FIG', i) then ShowMessage('FIG found at ' + IntToStr(i));
  if not l.Find('cherry', i) then ShowMessage('cherry would go to ' + IntToStr(i));
  if not l.Find('zucchini', i) then ShowMessage('zucchini would go to ' + IntToStr(i));
  ShowMessage(IntToStr(l.IndexOf('Pear')) + ' ' + IntToStr(l.IndexOf('kiwi')));

  // dupIgnore (the default): an equal line is not added; Add answers the existing index.
  ShowMessage(IntToStr(l.Duplicates) + ' ' + IntToStr(l.Add('APPLE')) + ' ' + IntToStr(l.Count));
  l.Duplicates := dupAccept;
  ShowMessage(IntToStr(l.Add('APPLE')) + ' ' + l.CommaText);

  // Sorted := False keeps the order; positional changes work again.
  l.Sorted := False;
  l.Insert(0, 'zebra');
  ShowMessage(l.CommaText);
  if not l.Find('zebra', i) then ShowMessage('unsorted: zebra missed, Find says ' + IntToStr(i));
  ShowMessage('IndexOf still finds it at ' + IntToStr(l.IndexOf('zebra')));
  l.Sort;
  ShowMessage(l.CommaText);
  if not l.Sorted then ShowMessage('Sort does not make the list Sorted');

  l.Clear;
  l.CommaText := 'b,B,a,A';
  l.CaseSensitive := True;
  l.Sorted := True;
  ShowMessage(l.CommaText + ' ' + IntToStr(l.IndexOf('A')) + ' ' + IntToStr(l.IndexOf('b')));

  // Values of a sorted list moves the changed line to its place.
  l.Clear;
  l.CaseSensitive := False;
  l.Add('b=2');
  l.Add('m=3');
  l.Values['a'] := '1';
  l.Values['b'] := 'z';
  l.Values['m'] := '';
  ShowMessage(l.CommaText);
  l.Free;
end.
