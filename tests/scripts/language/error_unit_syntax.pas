uses 'units/bad_syntax.pas';
begin
end.
