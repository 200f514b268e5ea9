var L: TStringList;
begin
  L.NoSuchMember;
end.
