// Character devices stay usable through streams, lists and saves (a save must write into
// /dev/null, not rename a file over it); the memory of the process is refused.
var
  f: TFileStream;
  l: TStringList;
  m: TMemoryStream;
  s: string;
begin
  f := TFileStream.Create('/dev/null', fmOpenReadWrite);
  ShowMessage(IntToStr(f.Write('abc', 3)) + ' ' + IntToStr(f.Read(s, 10)));
  f.Free;
  l := TStringList.Create;
  l.Add('line');
  l.SaveToFile('/dev/null');
  l.LoadFromFile('/dev/null');
  ShowMessage(IntToStr(l.Count));
  m := TMemoryStream.Create;
  m.Write('xyz', 3);
  m.SaveToFile('/dev/null');
  m.Free;
  l.Free;
  f := TFileStream.Create('/proc/self/mem', fmOpenRead);
  ShowMessage('not reached');
end.
