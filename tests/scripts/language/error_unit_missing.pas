uses 'units/no_such_unit.pas';
begin
end.
