// String lists through files and streams: Cyrillic text survives, lines end with line
// feeds, loading replaces the lines. The temporary file is deleted at the end.
const
  Name = 'stringlist_files.tmp';
var
  l, back: TStringList;
  m: TMemoryStream;
  s: string;
begin
  l := TStringList.Create;
  back := TStringList.Create;
  m := TMemoryStream.Create;
  try
    l.Add('Привет, мир');
    l.Add('second line');
    l.SaveToFile(Name);
    back.Add('old');
    back.LoadFromFile(Name);
    ShowMessage(IntToStr(back.Count) + ' ' + back[0] + ' / ' + back[1]);

    m.LoadFromFile(Name);
    ShowMessage(IntToStr(m.Size));   // UTF-8 with line feeds: 21 + 12 bytes

    m.Clear;
    m.Write('ab' + Chr(13) + 'cd' + Chr(13) + Chr(10) + 'ef', 9);
    m.Position := 1;                 // lists load from the stream's position on
    back.LoadFromStream(m);
    ShowMessage(back.CommaText);

    m.Clear;
    l.SaveToStream(m);
    m.Position := 0;
    m.Read(s, 100);
    ShowMessage(IntToStr(Length(s)));
  finally
    m.Free;
    back.Free;
    l.Free;
    DeleteFile(Name);
  end;
  if not FileExists(Name) then ShowMessage('deleted');
end.
