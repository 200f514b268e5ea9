const
  Limit = 5;
var
  I, J: Integer;
  S: String;
  F: Double;
  A: array[0..3] of Integer;
  L: TStringList;

function Twice(X: Integer): Integer;
begin
  Result := X * 2;
end;

procedure Show(const Text: String; var Count: Integer);
var
  K: Integer;
begin
  for K := 1 to Length(Text) do
    if Text[K] = 'a' then Inc(Count);
  ShowMessage(Text + ' ' + IntToStr(Count));
end;

begin
  S := 'banana'#33;
  J := 0;
  Show(S, J);
  F := Twice(J) / 3.5e1;
  I := $FF and not 3 or (7 shl 2) xor 1;
  while I > 0 do begin I := I div 2; if I = 3 then continue; end;
  repeat Dec(J) until (J <= 0) or (J in [5, 7..9]);
  case J of 0: S := 'zero'; 1, 2..3: S := 'few'; else S := 'many' end;
  L := TStringList.Create;
  try
    with L do begin Add(S); Add(Copy(S, 2, 3)); Sort end;
    ShowMessage(L.Text);
  finally
    L.Free;
  end;
  try
    RaiseException('boom');
  except
    ShowMessage(Format('%d %s %.2f', [I, S, F]));
  end;
end.
