// A unit that uses another; file names are taken from the working directory.
uses 'units/cubes.pas';

function Shout(s: String): String;
begin
  Result := Uppercase(s) + '!';
end;

begin
  ShowMessage('shout main, cube ' + IntToStr(Cube(2)));
end.
