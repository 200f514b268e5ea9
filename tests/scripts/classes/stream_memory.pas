// TMemoryStream: writing, seeking, reading (Read gives the bytes through its var
// parameter), reading past the end, counts beyond the data, CopyFrom.
var
  m, copy: TMemoryStream;
  s: string;
begin
  m := TMemoryStream.Create;
  ShowMessage(IntToStr(m.Write('Hello, world', 12)) + ' ' + IntToStr(m.Size) + ' ' +
    IntToStr(m.Position));
  ShowMessage(IntToStr(m.Write('!?', 1)));        // only the bytes asked for
  ShowMessage(IntToStr(m.Write('abc', 100)));     // never more than the string holds
  ShowMessage(IntToStr(m.Write('abc', -1)));      // a negative count writes nothing
  ShowMessage(IntToStr(m.Seek(0, soFromBeginning)));
  ShowMessage(IntToStr(m.Read(s, 5)) + ' [' + s + ']');
  ShowMessage(IntToStr(m.Seek(2, soFromCurrent)) + ' ' + IntToStr(m.Seek(-3, soFromEnd)));
  ShowMessage(IntToStr(m.Read(s, 1000)) + ' [' + s + ']');  // past the end: what remains
  ShowMessage(IntToStr(m.Read(s, 10)) + ' [' + s + ']');    // at the end: nothing
  m.Position := 7;
  ShowMessage(IntToStr(m.Read(s, 5)) + ' [' + s + ']');
  m.Position := 20;                                           // beyond the end
  ShowMessage(IntToStr(m.Read(s, 5)) + ' ' + IntToStr(m.Size));

  copy := TMemoryStream.Create;
  m.Position := 5;
  ShowMessage(IntToStr(copy.CopyFrom(m, 0)) + ' ' + IntToStr(copy.Size));  // 0: the whole
  m.Position := 7;
  ShowMessage(IntToStr(copy.CopyFrom(m, 5)) + ' ' + IntToStr(copy.Size));
  copy.Position := 0;
  copy.Read(s, copy.Size);
  ShowMessage(s);
  copy.Clear;
  ShowMessage(IntToStr(copy.Size) + ' ' + IntToStr(copy.Position));
  copy.LoadFromStream(m);
  ShowMessage(IntToStr(copy.Size));

  // Text is one byte per character in the Windows-1251 code page.
  m.Clear;
  m.Write('Привет', 6);
  m.Position := 0;
  m.Read(s, 6);
  ShowMessage(IntToStr(m.Size) + ' ' + s);
  copy.Free;
  m.Free;
end.
