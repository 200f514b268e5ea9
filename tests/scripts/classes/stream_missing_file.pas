// Opening a file that does not exist raises with the file's name and the reason.
var
  f: TFileStream;
begin
  if not FileExists('no_such_file.txt') then ShowMessage('absent');
  f := TFileStream.Create('no_such_file.txt', fmOpenRead);
  ShowMessage('not reached');
end.
