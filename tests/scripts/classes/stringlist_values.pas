// Name=value lines: Names, Values (of names that are there and that are not), appending
// through Values, deleting with an empty value.
var
  l: TStringList;
begin
  l := TStringList.Create;
  l.Add('Host=localhost');
  l.Add('Port=8080');
  l.Add('no separator here');
  ShowMessage('[' + l.Values['host'] + '] [' + l.Values['Missing'] + ']');
  ShowMessage('[' + l.Names[1] + '] [' + l.Names[2] + ']');
  ShowMessage(IntToStr(l.IndexOfName('PORT')) + ' ' + IntToStr(l.IndexOfName('Missing')));
  l.Values['User'] := 'admin=root';
  ShowMessage(IntToStr(l.Count) + ' ' + l[3] + ' ' + l.Names[3] + ' ' + l.Values['user']);
  l.Values['Port'] := '81';
  ShowMessage(l[1]);
  l.Values['Host'] := '';
  l.Values['Nobody'] := '';
  ShowMessage(l.CommaText);
  ShowMessage(l.ValueFromIndex[0] + '|' + l.ValueFromIndex[1] + '|');
  l.Free;
end.
