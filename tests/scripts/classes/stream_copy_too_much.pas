// CopyFrom of more bytes than the source holds raises a read error.
var
  a, b: TMemoryStream;
begin
  a := TMemoryStream.Create;
  b := TMemoryStream.Create;
  try
    a.Write('abc', 3);
    a.Position := 0;
    b.CopyFrom(a, 10);
  finally
    ShowMessage(IntToStr(b.Size));
    a.Free;
    b.Free;
  end;
end.
