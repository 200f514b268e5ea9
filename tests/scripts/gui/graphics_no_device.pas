// A canvas a script creates has nothing to draw on.
var
  C: TCanvas;
begin
  C := TCanvas.Create;
  C.Pen.Color := clRed;
  ShowMessage(C.Pen.Color);
  C.Rectangle(0, 0, 10, 10);
end.
