var L: TStringList;
begin
  L.Add('x');
end.
