uses 'units/loop_a.pas';
begin
end.
