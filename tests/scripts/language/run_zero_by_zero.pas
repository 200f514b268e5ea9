var f: Extended;
begin
  f := 0;
  ShowMessage(f / f);
end.
