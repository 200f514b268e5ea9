// An error inside a used unit names the unit and the position in it.
uses 'units/bad_name.pas';
begin
end.
