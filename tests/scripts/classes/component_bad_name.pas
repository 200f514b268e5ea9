// A component name must be an identifier.
var
  c: TComponent;
begin
  c := TComponent.Create(nil);
  try
    c.Name := 'not valid';
  finally
    c.Free;
  end;
end.
