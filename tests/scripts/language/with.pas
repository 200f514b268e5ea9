// with: members of the object hide variables, the object is evaluated once, several objects.
var
  L, M, First: TStringList;
  Count: Integer;
  v: Variant;
begin
  L := TStringList.Create;
  M := TStringList.Create;
  First := L;
  Count := 99;
  with L do begin
    Add('a');
    Add('b');
    // Count is L's member here, not the variable.
    ShowMessage(Count);
  end;
  ShowMessage(Count);
  // The innermost (last named) object is searched first.
  with L, M do begin
    Add('m');
    ShowMessage(IntToStr(L.Count) + ' ' + IntToStr(M.Count));
  end;
  // Reassigning the variable inside does not change the object the with statement holds.
  with L do begin
    L := M;
    Add('c');
  end;
  ShowMessage(IntToStr(First.Count) + ' ' + IntToStr(M.Count) + ' ' + First[2]);
  // Nested with statements on the same class.
  with First do
    with M do
      Add('inner');
  ShowMessage(IntToStr(First.Count) + ' ' + IntToStr(M.Count));
  // On a Variant the ordinary variable wins; other names are the object's members, found
  // when the statement first runs.
  v := M;
  with v do begin
    ShowMessage(Count);
    Add('via variant');
    ShowMessage(Strings[2]);
  end;
  First.Free;
  M.Free;
  // An object made by the with statement itself.
  with TStringList.Create do begin
    Add('x');
    Add('y');
    ShowMessage(Count);
    Free;
  end;
end.
