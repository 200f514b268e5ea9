var L: TStringList;
begin
  ShowMessage(L.Strings.Count);
end.
