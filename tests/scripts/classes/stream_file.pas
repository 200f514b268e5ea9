// TFileStream in every mode, on a temporary file beside the script that is deleted at the
// end: fmCreate empties, fmOpenWrite keeps the bytes it does not overwrite, written bytes
// are visible to another stream at once.
const
  Name = 'stream_file.tmp';
var
  f, g: TFileStream;
  s: string;
begin
  f := TFileStream.Create(Name, fmCreate);
  try
    ShowMessage(IntToStr(f.Write('0123456789', 10)) + ' ' + IntToStr(f.Size));
    g := TFileStream.Create(Name, fmOpenRead or fmShareDenyNone);
    try
      ShowMessage(IntToStr(g.Read(s, 100)) + ' ' + s);
    finally
      g.Free;
    end;
  finally
    f.Free;
  end;

  f := TFileStream.Create(Name, fmOpenWrite or fmShareExclusive);
  try
    f.Seek(-3, soFromEnd);
    f.Write('abc', 3);
    ShowMessage(IntToStr(f.Size));
  finally
    f.Free;
  end;

  f := TFileStream.Create(Name, fmOpenReadWrite);
  try
    f.Read(s, 4);
    ShowMessage(s + ' ' + IntToStr(f.Position));
    f.Position := 0;
    f.Read(s, 100);
    ShowMessage(s);
  finally
    f.Free;
  end;

  f := TFileStream.Create(Name, fmCreate);
  ShowMessage(IntToStr(f.Size));
  f.Free;
  if DeleteFile(Name) and not FileExists(Name) then ShowMessage('deleted');
end.
