// A unit reached twice (here directly and through units/shout.pas) is read twice, so its
// declarations clash.
uses 'units/cubes.pas', 'units/shout.pas';
begin
  ShowMessage(Cube(2));
end.
