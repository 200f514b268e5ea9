// A unit reached twice (here directly, through units/shout.pas and by another spelling) is
// one unit: its declarations join once and its main block runs once, at its first use.
uses 'units/cubes.pas', 'units/shout.pas', './units/../units/cubes.pas';
begin
  ShowMessage(Cube(2));
end.
