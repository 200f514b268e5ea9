// Loading a picture that does not exist names the file.
var
  B: TBitmap;
begin
  B := TBitmap.Create;
  B.LoadFromFile('no_such_picture.bmp');
end.
