// A position before the start of a stream is refused.
var
  m: TMemoryStream;
begin
  m := TMemoryStream.Create;
  try
    m.Write('abc', 3);
    m.Seek(-4, soFromCurrent);
  finally
    ShowMessage(IntToStr(m.Position));
    m.Free;
  end;
end.
