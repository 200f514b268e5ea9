{ Benchmark: a string list of 100,000 lines. Adds them unsorted, sorts the list, then finds
  every line by binary search and looks a few up by IndexOf. Prints a checksum so the work
  cannot be skipped. }
var
  l: TStringList;
  i, index, found, checksum: Integer;
begin
  l := TStringList.Create;
  try
    { keys in a scrambled order: i * 7919 mod 100000 visits every number once }
    for i := 0 to 99999 do
      l.Add('key' + IntToStr((i * 7919) mod 100000));
    l.Sort;
    l.Sorted := True;
    found := 0;
    checksum := 0;
    for i := 0 to 99999 do
      if l.Find('KEY' + IntToStr(i), index) then
      begin
        found := found + 1;
        checksum := (checksum + index) mod 1000003;
      end;
    for i := 0 to 9 do
      checksum := checksum + l.IndexOf('key' + IntToStr(i * 9999));
    ShowMessage(IntToStr(found) + ' ' + IntToStr(checksum) + ' ' + l[0] + ' ' + l[l.Count - 1]);
  finally
    l.Free;
  end;
end.
