// Keywords and names in any letter case; objects against nil; "is"; a function called as a
// statement; "@" giving a routine's name.
VAR
  L: TStringList;
  o: TObject;
  v: Variant;
  Counter: Integer;
FUNCTION Bump: Integer;
BEGIN
  counter := COUNTER + 1;
  RESULT := counter;
END;
Begin
  L := TStringList.Create;
  ShowMessage(L is TStringList);
  ShowMessage(L is TObject);
  ShowMessage(L is TComponent);
  o := nil;
  ShowMessage(o = nil);
  ShowMessage(o is TObject);
  o := L;
  ShowMessage(o <> nil);
  ShowMessage(o is TStringList);
  counter := 0;
  bump;
  showmessage(Bump);
  v := @Bump;
  ShowMessage(v);
  l.free;
  If True Then ShowMessage('mixed case keywords')
END.
