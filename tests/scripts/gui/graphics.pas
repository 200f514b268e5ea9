// Drawing on a bitmap from a script: the colour constants and enumerations, pixels, the
// figures' edges, stretching, fonts, metafiles, and the parts a script may not free.
var
  B, Tile: TBitmap;
  C: TCanvas;
  M: TMetafile;
  MC: TMetafileCanvas;
  G: TGraphic;
  F: TFont;
  line: String;
  x: Integer;
begin
  ShowMessage(IntToStr(clRed) + ' ' + IntToStr(clBlue) + ' ' + IntToStr(clWindow) + ' ' +
    IntToStr(clNone));
  ShowMessage(IntToStr(fsBold) + ' ' + IntToStr(fsStrikeout) + ' ' + IntToStr(psClear) + ' ' +
    IntToStr(pmXor) + ' ' + IntToStr(bsDiagCross) + ' ' + IntToStr(fpFixed));

  B := TBitmap.Create;
  B.Width := 20;
  B.Height := 10;
  C := B.Canvas;
  ShowMessage(IntToStr(B.Width) + 'x' + IntToStr(B.Height) + ' ' + IntToStr(C.Pixels[0, 0]));
  C.Pixels[3, 4] := clRed;
  ShowMessage(IntToStr(C.Pixels[3, 4]) + ' ' + IntToStr(C.Pixels[20, 0]));

  // Rectangle(0, 0, 5, 5) covers pixels 0..4.
  C.Brush.Color := clYellow;
  C.Rectangle(0, 0, 5, 5);
  ShowMessage(IntToStr(C.Pixels[4, 4]) + ' ' + IntToStr(C.Pixels[2, 2]) + ' ' +
    IntToStr(C.Pixels[5, 5]));
  C.MoveTo(0, 8);
  C.LineTo(10, 8);
  line := '';
  for x := 8 to 11 do line := line + IntToStr(C.Pixels[x, 8]) + ' ';
  ShowMessage(line);

  // The whole tile is scaled into the rectangle.
  Tile := TBitmap.Create;
  Tile.Width := 2;
  Tile.Height := 1;
  Tile.Canvas.Pixels[0, 0] := clBlue;
  Tile.Canvas.Pixels[1, 0] := clLime;
  C.StretchDraw(10, 0, 20, 10, Tile);
  ShowMessage(IntToStr(C.Pixels[10, 9]) + ' ' + IntToStr(C.Pixels[14, 0]) + ' ' +
    IntToStr(C.Pixels[15, 0]) + ' ' + IntToStr(C.Pixels[19, 9]));

  C.Font.Size := 12;
  C.Font.Style := fsBold or fsItalic;
  C.Font.Name := 'Courier New';
  ShowMessage(C.Font.Name + ' ' + IntToStr(C.Font.Size) + ' ' + IntToStr(C.Font.Height) + ' ' +
    IntToStr(C.Font.Style));
  ShowMessage(C.TextWidth('WWWW') = 4 * C.TextWidth('W'));
  ShowMessage(C.TextHeight('W') > 0);

  // Assigning a canvas's font copies the font given.
  F := TFont.Create;
  F.Size := 20;
  C.Font := F;
  F.Size := 8;
  ShowMessage(C.Font.Size);
  F.Free;

  // TGraphic.Create makes the class named; TGraphic itself is abstract.
  G := TMetafile.Create;
  ShowMessage(G.ClassName);
  G.Free;
  try
    G := TGraphic.Create;
    ShowMessage('not reached');
  except
    ShowMessage('TGraphic.Create raised');
  end;

  M := TMetafile.Create;
  MC := TMetafileCanvas.Create(M, 0);
  MC.Brush.Color := clRed;
  MC.Rectangle(0, 0, 8, 4);
  MC.Free;
  ShowMessage(IntToStr(M.Width) + 'x' + IntToStr(M.Height));
  C.Draw(0, 0, M);
  ShowMessage(IntToStr(C.Pixels[7, 3]) + ' ' + IntToStr(C.Pixels[3, 2]));
  M.Free;

  B.SaveToFile('graphics_test_picture.png');
  Tile.LoadFromFile('graphics_test_picture.png');
  ShowMessage(IntToStr(Tile.Width) + ' ' + IntToStr(Tile.Canvas.Pixels[3, 2]));
  DeleteFile('graphics_test_picture.png');

  try
    C.Font.Free;
    ShowMessage('not reached');
  except
    ShowMessage('Canvas.Font.Free raised');
  end;
  try
    C.Free;
    ShowMessage('not reached');
  except
    ShowMessage('Bitmap.Canvas.Free raised');
  end;
  Tile.Free;
  B.Free;
  try
    C.Rectangle(0, 0, 1, 1);
    ShowMessage('not reached');
  except
    ShowMessage('the canvas went with its bitmap');
  end;
end.
