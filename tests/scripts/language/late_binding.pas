// Members of a Variant that is Null at compile time are resolved at the path's first use.
// A path that cannot be resolved raises at every use until it can.
var
  v, r: Variant;
  i: Integer;
  line: String;

procedure Describe;
begin
  line := line + IntToStr(v.Count) + ' ';
end;

begin
  v := TStringList.Create;
  v.Add('one');
  Describe;
  v.Add('two');
  Describe;
  ShowMessage(line);
  v.Free;
  // A string has no members: each attempt fails, none silently reads as nothing.
  v := 'plain text';
  line := '';
  for i := 1 to 3 do begin
    try
      r := v.Text;
      line := line + 'read ';
    except
      line := line + 'error ';
    end;
    if i = 2 then begin
      v := TStringList.Create;
      v.Add('now an object');
    end;
  end;
  ShowMessage(line + Trim(r));
  v.Free;
end.
