// Access paths: members of an object held in a Variant (resolved at first use), members of a
// function's result, var parameters written back into array elements and string characters.
const Max = 7;
var
  v, w: Variant;
  a: array[3] of Integer;
  s: String;
  i: Integer;
  L: TStringList;

procedure Swap(var x, y: Variant);
var t: Variant;
begin
  t := x; x := y; y := t;
end;

procedure SwapInt(var x, y: Integer);
var t: Integer;
begin
  t := x; x := y; y := t;
end;

function Make: TStringList;
begin
  Result := TStringList.Create;
  Result.Add('made');
end;

procedure Def(x: Integer = Max);
begin
  ShowMessage(x);
end;

procedure SetChar(var c: String);
begin
  c := 'Z';
end;

begin
  v := TStringList.Create;
  v.Add('x');
  v.Add('y');
  ShowMessage(v.Count);
  ShowMessage(v.Strings[1]);
  ShowMessage(v[0]);
  v.Free;
  L := Make;
  ShowMessage(L[0]);
  L.Free;
  L := Make;
  ShowMessage(L.Count);
  L.Free;
  a[0] := 1; a[1] := 2;
  SwapInt(a[0], a[1]);
  ShowMessage(IntToStr(a[0]) + IntToStr(a[1]));
  v := 'p'; w := 'q';
  Swap(v, w);
  ShowMessage(v + w);
  Def;
  Def(1);
  i := 5;
  Inc(i);
  Inc(i, 10);
  Dec(i, 2);
  ShowMessage(i);
  s := 'abc';
  SetChar(s[2]);
  ShowMessage(s);
end.
