var
  L: TStringList;
  P: TList;
  M: TMemoryStream;
  D: TkvXMLDocument;
  X: TkvXMLItem;
  S: String;
  I: Integer;

procedure Fill(List: TStringList; N: Integer);
var
  K: Integer;

  function Name(J: Integer): String;
  begin
    Result := 'item' + IntToStr(J);
    if J > 3 then exit;
    Result := Uppercase(Result);
  end;

begin
  for K := N downto 1 do
    List.AddObject(Name(K), nil);
end;

begin
  L := TStringList.Create;
  P := TList.Create;
  M := TMemoryStream.Create;
  D := TkvXMLDocument.Create;
  try
    Fill(L, 5);
    L.Sorted := True;
    L.Values['key'] := 'value';
    if L.Find('ITEM2', I) then ShowMessage(I);
    P.Add(L);
    P.Add(M);
    ShowMessage(P.Count);
    L.SaveToStream(M);
    M.Position := 0;
    S := '';
    I := M.Read(S, 10);
    ShowMessage(S + ' ' + IntToStr(I));
    D.Root.Name := 'root';
    X := D.Root.Add;
    X.Name := 'node';
    X.Text := 'text="a&#60;b"';
    X.AddItem(TkvXMLItem.Create);
    X.Items[0].Name := 'leaf';
    ShowMessage(X.Prop('text') + IntToStr(D.Root.Count) + IntToStr(D.Root.Find('NODE')));
    M.Clear;
    D.SaveToStream(M);
    ShowMessage(M.Size);
    I := 0;
    repeat
      Inc(I);
      if I mod 2 = 0 then continue;
      if I > 7 then break;
    until False;
    with L do
      while Count > 2 do Delete(0);
    ShowMessage(L.CommaText);
  finally
    D.Free;
    M.Free;
    P.Free;
    L.Free;
  end;
end.
