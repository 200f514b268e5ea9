// Members of a Variant that is Null at compile time are resolved at the path's first use.
// A path that cannot be resolved raises at every use until it can.
var
  v, r, w: Variant;
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
  // A path is compiled for the class of the object it meets first, and again whenever the
  // Variant holds an object of another class (or none).
  line := '';
  for i := 1 to 4 do begin
    case i of
      1, 3: begin w := TStringList.Create; w.Add('x'); end;
      2: begin w := TList.Create; w.Add(nil); w.Add(nil); end;
      4: w := Null;
    end;
    try
      line := line + IntToStr(w.Count) + ' ';
    except
      line := line + 'no object';
    end;
    if i < 4 then w.Free;
  end;
  ShowMessage(line);
end.
