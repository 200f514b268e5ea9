// Units run their main blocks first, in the reverse order of the uses clause, a unit's own
// units before it; their routines and variables are visible to the script.
program UsesTest;
uses 'units/squares.pas', 'units/shout.pas';
begin
  ShowMessage(Square(7));
  ShowMessage(Shout('hi'));
  ShowMessage(Cube(3));
  ShowMessage(UnitCounter);
end.
