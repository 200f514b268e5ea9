{ Inc and Dec, exceptions, messages, random numbers, Variant arrays and the type tags. }
var
  i, k: Integer;
  v: Variant;
  r: Double;
  inRange: Boolean;
begin
  i := 10;
  Inc(i);
  Inc(i, 5);
  Dec(i);
  Dec(i, -4);
  ShowMessage(i);
  v := 1.5;
  Inc(v);
  ShowMessage(v);
  try
    RaiseException('custom failure');
    ShowMessage('not reached');
  except
    ShowMessage('caught the custom failure');
  end;
  ShowMessage(Null);
  ShowMessage('');
  ShowMessage(True);
  inRange := True;
  for k := 1 to 1000 do
  begin
    r := Random;
    if (r < 0) or (r >= 1) then inRange := False;
  end;
  Randomize;
  for k := 1 to 1000 do
  begin
    r := Random;
    if (r < 0) or (r >= 1) then inRange := False;
  end;
  ShowMessage(inRange);
  v := VarArrayCreate([0, 2], varInteger);
  v[1] := 42;
  ShowMessage(IntToStr(v[0]) + ' ' + IntToStr(v[1]) + ' ' + IntToStr(Length(v)));
  v := VarArrayCreate([1, 2, 1, 3], varVariant);
  v[2, 3] := 'corner';
  ShowMessage(v[2, 3]);
  try
    v := CreateOleObject('Word.Application');
  except
    ShowMessage('no automation yet');
  end;
  ShowMessage(IntToStr(varEmpty) + ' ' + IntToStr(varDate) + ' ' + IntToStr(varString) + ' ' + IntToStr(varArray) + ' ' + IntToStr(varByRef));
end.
