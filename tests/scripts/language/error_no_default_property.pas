var o: TObject;
begin
  o[0] := 1;
end.
