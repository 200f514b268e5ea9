// Drawing on a paint box: the OnPaint handler draws shapes, text and a bitmap scaled with
// StretchDraw; clicking adds a circle where you clicked.
// Run it with:  build/cli/kvscript examples/paint_demo.pas
var
  Form: TForm;
  Box: TPaintBox;
  Tile: TBitmap;
  Dots: TStringList;

procedure MakeTile;
var
  x, y: Integer;
begin
  Tile := TBitmap.Create;
  Tile.Width := 8;
  Tile.Height := 8;
  for y := 0 to 7 do
    for x := 0 to 7 do
      if (x + y) mod 2 = 0 then
        Tile.Canvas.Pixels[x, y] := clNavy
      else
        Tile.Canvas.Pixels[x, y] := clYellow;
end;

procedure BoxPaint(Sender: TObject);
var
  c: TCanvas;
  i, x, y: Integer;
begin
  c := Box.Canvas;
  c.Brush.Color := clWhite;
  c.Pen.Color := clWhite;
  c.Rectangle(0, 0, Box.Width, Box.Height);

  c.Pen.Color := clNavy;
  c.Pen.Width := 3;
  c.Brush.Color := clAqua;
  c.RoundRect(20, 20, 180, 110, 24, 24);
  c.Brush.Color := clYellow;
  c.Ellipse(200, 20, 300, 110);
  c.Pen.Width := 1;
  c.Pen.Color := clRed;
  c.MoveTo(20, 130);
  c.LineTo(300, 130);

  c.Font.Name := 'Tahoma';
  c.Font.Size := 14;
  c.Font.Style := [fsBold];
  c.Font.Color := clMaroon;
  c.Brush.Style := bsClear;
  c.TextOut(24, 150, 'Hello, script');
  c.Brush.Style := bsSolid;

  c.StretchDraw(230, 150, 300, 220, Tile);

  c.Brush.Color := clLime;
  c.Pen.Color := clGreen;
  for i := 0 to Dots.Count - 1 do
  begin
    x := StrToInt(Dots.Names[i]);
    y := StrToInt(Dots.ValueFromIndex[i]);
    c.Ellipse(x - 8, y - 8, x + 8, y + 8);
  end;
end;

procedure BoxMouseDown(Sender: TObject; Button: TMouseButton; Shift: TShiftState; X, Y: Integer);
begin
  Dots.Add(IntToStr(X) + '=' + IntToStr(Y));
  Box.Invalidate;
end;

begin
  MakeTile;
  Dots := TStringList.Create;
  Form := TForm.Create(nil);
  Form.Caption := 'Paint box';
  Form.Position := poScreenCenter;
  Form.ClientWidth := 320;
  Form.ClientHeight := 240;
  Box := TPaintBox.Create(Form);
  Box.Parent := Form;
  Box.Align := alClient;
  Box.OnPaint := 'BoxPaint';
  Box.OnMouseDown := 'BoxMouseDown';
  Form.Show;
end.
