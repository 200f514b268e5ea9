uses 'units/loop_b.pas';
begin
end.
