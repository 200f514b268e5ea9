var L: TStringList;
begin
  L := L + 1;
end.
