// The drawing classes, checked pixel by pixel on bitmaps: what the figures cover, how pen
// modes combine, text backgrounds, scaling, picture files and fonts.
#include <gtest/gtest.h>

#include <QDir>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QPalette>
#include <QTemporaryDir>
#include <fstream>

#include "host/core/handles.h"
#include "host/gui/bitmap.h"
#include "host/gui/canvas.h"
#include "host/gui/graphics_errors.h"
#include "host/gui/metafile.h"

namespace kv {
namespace {

template <class E, class F>
std::string RaisedBy(F action) {
  try {
    action();
  } catch (const E& e) {
    return e.what();
  }
  return "(nothing raised)";
}

class BitmapTest : public testing::Test {
 protected:
  BitmapTest() { bitmap_.SetSize(20, 20); }
  TCanvas& Canvas() { return *bitmap_.Canvas(); }
  TColor At(int x, int y) { return Canvas().Pixels(x, y); }

  TBitmap bitmap_;
};

TEST(ColorsTest, BasicColorsAreBlueGreenRedAndSystemColorsComeFromThePalette) {
  EXPECT_EQ(ColorToQColor(clRed), QColor(255, 0, 0));
  EXPECT_EQ(ColorToQColor(0x123456), QColor(0x56, 0x34, 0x12));
  EXPECT_EQ(QColorToColor(QColor(0x56, 0x34, 0x12)), 0x123456);
  const QPalette palette = QGuiApplication::palette();
  EXPECT_EQ(ColorToQColor(clWindow), palette.color(QPalette::Base));
  EXPECT_EQ(ColorToQColor(clBtnFace), palette.color(QPalette::Button));
  EXPECT_EQ(ColorToQColor(clHighlight), palette.color(QPalette::Highlight));
  EXPECT_EQ(ColorToQColor(clSystemColor + 999), QColor(Qt::black));
  EXPECT_EQ(ColorToQColor(clNone).alpha(), 0);
  EXPECT_EQ(QColorToColor(Qt::transparent), clNone);
  int count = 0;
  ForEachColorIdent([&](UStringView, TColor) { ++count; });
  EXPECT_EQ(count, 42);
}

TEST(FontTest, SizeAndHeightDescribeOneHeight) {
  TFont font;
  EXPECT_EQ(font.Size(), 8);
  EXPECT_EQ(font.Height(), -11);
  for (int size : {1, 7, 9, 10, 11, 12, 72}) {
    font.SetSize(size);
    EXPECT_EQ(font.Size(), size);
    EXPECT_EQ(font.ToQFont().pixelSize(), -font.Height());
  }
  font.SetHeight(-16);
  EXPECT_EQ(font.Size(), 12);
  EXPECT_EQ(RaisedBy<ERangeError>([&] { font.SetSize(1000000); }),
            "Font size 1000000 is out of range");
  EXPECT_EQ(font.Size(), 12);
}

TEST(FontTest, HostFaceNamesReadBackAndMapToInstalledFamilies) {
  TFont font;
  font.SetName(u"Tahoma");
  EXPECT_EQ(font.Name(), u"Tahoma");
  EXPECT_EQ(font.ToQFont().family(),
            QFontDatabase::systemFont(QFontDatabase::GeneralFont).family());
  font.SetName(u"Courier New");
  EXPECT_EQ(font.Name(), u"Courier New");
  EXPECT_TRUE(QFontInfo(font.ToQFont()).fixedPitch());
}

TEST(FontTest, ChangesAreReportedOnceEachAndAssignCopiesEverything) {
  TFont source, font;
  int changes = 0;
  font.SetOnChange([&] { ++changes; });
  font.SetColor(clRed);
  font.SetColor(clRed);
  EXPECT_EQ(changes, 1);
  source.SetName(u"Courier New");
  source.SetStyle(TFontStyles::FromBits(0xFF));  // only the four styles are kept
  source.SetPitch(TFontPitch::fpFixed);
  font.Assign(&source);
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(font.Name(), u"Courier New");
  EXPECT_EQ(font.Style().Bits(), 0xFu);
  EXPECT_EQ(font.Color(), clWindowText);
  EXPECT_EQ(RaisedBy<ERangeError>([&] { font.SetPitch(static_cast<TFontPitch>(3)); }),
            "Pitch must be 0..2, not 3");
}

TEST(BrushTest, AColorMakesAClearBrushSolid) {
  TBrush brush;
  brush.SetStyle(bsClear);
  brush.SetColor(clRed);
  EXPECT_EQ(brush.Style(), bsSolid);
}

TEST(CanvasTest, WithoutDeviceEveryOperationRaises) {
  TCanvas canvas;
  const std::string message = "Canvas does not allow drawing";
  EXPECT_EQ(RaisedBy<EInvalidGraphicOperation>([&] { canvas.Rectangle(0, 0, 5, 5); }), message);
  EXPECT_EQ(RaisedBy<EInvalidGraphicOperation>([&] { canvas.TextWidth(u"x"); }), message);
  EXPECT_EQ(RaisedBy<EInvalidGraphicOperation>([&] { canvas.Pixels(0, 0); }), message);
}

TEST(CanvasTest, ScriptsCannotFreeTheCanvasOrItsPartsButCanFreeAMetafileCanvas) {
  TBitmap bitmap;
  EXPECT_THROW(CheckScriptMayFree(*bitmap.Canvas()), EInvalidPointer);
  EXPECT_THROW(CheckScriptMayFree(*bitmap.Canvas()->Font()), EInvalidPointer);
  EXPECT_THROW(CheckScriptMayFree(*bitmap.Canvas()->Pen()), EInvalidPointer);
  EXPECT_THROW(CheckScriptMayFree(*bitmap.Canvas()->Brush()), EInvalidPointer);
  TMetafile metafile;
  TMetafileCanvas canvas(&metafile, 0);
  EXPECT_NO_THROW(CheckScriptMayFree(canvas));
}

TEST_F(BitmapTest, FiguresExcludeTheirRightAndBottomEdge) {
  Canvas().Brush()->SetColor(clRed);
  Canvas().Rectangle(2, 2, 10, 10);
  EXPECT_EQ(At(2, 2), clBlack);
  EXPECT_EQ(At(9, 9), clBlack);
  EXPECT_EQ(At(9, 5), clBlack);
  EXPECT_EQ(At(5, 5), clRed);
  EXPECT_EQ(At(10, 10), clWhite);
  EXPECT_EQ(At(10, 5), clWhite);
  // Corners given the other way round draw the same box.
  Canvas().Brush()->SetColor(clLime);
  Canvas().Ellipse(10, 10, 0, 0);
  EXPECT_EQ(At(0, 5), clBlack);
  EXPECT_EQ(At(9, 5), clBlack);
  EXPECT_EQ(At(5, 5), clLime);
  EXPECT_EQ(At(5, 10), clWhite);
}

TEST_F(BitmapTest, WithoutPenTheFillStopsOnePixelShort) {
  Canvas().Pen()->SetStyle(psClear);
  Canvas().Brush()->SetColor(clBlue);
  Canvas().Rectangle(0, 0, 10, 10);
  EXPECT_EQ(At(0, 0), clBlue);
  EXPECT_EQ(At(8, 8), clBlue);
  EXPECT_EQ(At(9, 9), clWhite);
  Canvas().Brush()->SetStyle(bsClear);
  Canvas().Pen()->SetStyle(psSolid);
  Canvas().Rectangle(10, 10, 15, 15);
  EXPECT_EQ(At(12, 12), clWhite);
  EXPECT_EQ(At(14, 14), clBlack);
}

TEST_F(BitmapTest, LineToLeavesItsEndPixelAndMovesThePen) {
  Canvas().MoveTo(0, 5);
  Canvas().LineTo(10, 5);
  EXPECT_EQ(At(0, 5), clBlack);
  EXPECT_EQ(At(9, 5), clBlack);
  EXPECT_EQ(At(10, 5), clWhite);
  EXPECT_EQ(Canvas().PenPos(), QPoint(10, 5));
  // The next segment starts on that pixel: a polyline paints each pixel once.
  Canvas().LineTo(10, 10);
  EXPECT_EQ(At(10, 5), clBlack);
  EXPECT_EQ(At(10, 10), clWhite);
}

TEST_F(BitmapTest, XorPaintsEachPixelOfAFigureOnceAndUndoesItself) {
  Canvas().Pen()->SetMode(pmXor);
  Canvas().Pen()->SetColor(clRed);
  Canvas().Brush()->SetColor(clRed);
  Canvas().Rectangle(2, 2, 12, 12);
  EXPECT_EQ(At(2, 2), clAqua);  // white xor red; the outline is not painted over the fill
  EXPECT_EQ(At(2, 7), clAqua);
  EXPECT_EQ(At(7, 7), clAqua);
  EXPECT_EQ(At(12, 12), clWhite);
  Canvas().Ellipse(5, 5, 18, 18);
  Canvas().Ellipse(5, 5, 18, 18);
  Canvas().Rectangle(2, 2, 12, 12);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) ASSERT_EQ(At(x, y), clWhite) << x << "," << y;
  Canvas().Pen()->SetMode(pmNot);
  Canvas().MoveTo(0, 0);
  Canvas().LineTo(5, 0);
  EXPECT_EQ(At(4, 0), clBlack);
  Canvas().Pen()->SetMode(pmNop);
  Canvas().Rectangle(0, 0, 20, 20);
  EXPECT_EQ(At(10, 0), clWhite);
}

TEST_F(BitmapTest, TextOutFillsItsBackgroundOnlyWithASolidBrush) {
  Canvas().Brush()->SetColor(clYellow);
  Canvas().Font()->SetColor(clBlue);
  bitmap_.SetSize(200, 40);
  Canvas().TextOut(10, 5, u"Wg");
  const int width = Canvas().TextWidth(u"Wg"), height = Canvas().TextHeight(u"Wg");
  ASSERT_GT(width, 0);
  ASSERT_GT(height, 0);
  EXPECT_EQ(Canvas().PenPos(), QPoint(10 + width, 5));
  EXPECT_EQ(At(10, 5), clYellow);
  EXPECT_EQ(At(10 + width - 1, 5 + height - 1), clYellow);
  EXPECT_EQ(At(10 + width, 5), clWhite);
  int glyphPixels = 0;
  for (int y = 5; y < 5 + height; ++y)
    for (int x = 10; x < 10 + width; ++x) glyphPixels += At(x, y) == clBlue;
  EXPECT_GT(glyphPixels, 10);

  Canvas().Brush()->SetStyle(bsClear);
  Canvas().TextOut(100, 5, u"Wg");
  EXPECT_EQ(At(100, 5), clWhite);
}

TEST_F(BitmapTest, StretchDrawScalesTheWholePicture) {
  TBitmap source;
  source.SetSize(2, 2);
  source.Canvas()->SetPixels(0, 0, clRed);
  source.Canvas()->SetPixels(1, 0, clLime);
  source.Canvas()->SetPixels(0, 1, clBlue);
  source.Canvas()->SetPixels(1, 1, clYellow);
  Canvas().StretchDraw(CornersRect(0, 0, 10, 10), &source);
  EXPECT_EQ(At(0, 0), clRed);
  EXPECT_EQ(At(4, 4), clRed);
  EXPECT_EQ(At(9, 0), clLime);
  EXPECT_EQ(At(0, 9), clBlue);
  EXPECT_EQ(At(5, 5), clYellow);
  EXPECT_EQ(At(9, 9), clYellow);
  EXPECT_EQ(At(10, 10), clWhite);
  Canvas().StretchDraw(CornersRect(20, 0, 10, 10), &source);  // corners swapped: turned over
  EXPECT_EQ(At(10, 0), clLime);
  EXPECT_EQ(At(19, 0), clRed);
  EXPECT_EQ(At(19, 9), clBlue);
  Canvas().Draw(15, 15, &source);
  EXPECT_EQ(At(15, 15), clRed);
  EXPECT_EQ(At(16, 16), clYellow);
  EXPECT_EQ(At(17, 17), clWhite);
  // A bitmap drawn on its own canvas reads the picture as it was.
  Canvas().StretchDraw(CornersRect(0, 0, 10, 10), &bitmap_);
  EXPECT_EQ(At(0, 0), clRed);
  EXPECT_EQ(At(8, 8), clYellow);
  EXPECT_EQ(RaisedBy<EInvalidGraphicOperation>([&] { Canvas().Draw(0, 0, nullptr); }),
            "Draw needs a graphic, not nil");
}

TEST_F(BitmapTest, PixelsRoundTripAndOutsideReadMinusOne) {
  Canvas().SetPixels(3, 4, 0x123456);
  EXPECT_EQ(At(3, 4), 0x123456);
  Canvas().SetPixels(3, 4, clNone);
  EXPECT_EQ(At(3, 4), 0x123456);
  Canvas().SetPixels(-1, 0, clRed);
  Canvas().SetPixels(20, 0, clRed);
  for (auto [x, y] : {std::pair{-1, 0}, {20, 0}, {0, 20}, {INT32_MIN, INT32_MAX}})
    EXPECT_EQ(At(x, y), -1);
}

TEST_F(BitmapTest, ResizingKeepsTheTopLeftAndAddsWhite) {
  Canvas().SetPixels(1, 1, clRed);
  Canvas().SetPixels(19, 19, clRed);
  bitmap_.SetSize(10, 30);
  EXPECT_EQ(At(1, 1), clRed);
  EXPECT_EQ(At(5, 25), clWhite);
  bitmap_.SetWidth(0);
  EXPECT_TRUE(bitmap_.Empty());
  EXPECT_EQ(bitmap_.Height(), 30);
  EXPECT_NO_THROW(Canvas().Rectangle(0, 0, 5, 5));  // an empty picture shows nothing
  EXPECT_EQ(RaisedBy<EInvalidGraphic>([&] { bitmap_.SetWidth(-1); }),
            "Bitmap width must be 0..65536, not -1");
  EXPECT_EQ(RaisedBy<EInvalidGraphic>([&] { bitmap_.SetSize(65536, 65536); }),
            "A bitmap of 65536x65536 pixels is too large");
}

TEST_F(BitmapTest, HugeCoordinatesAreClippedNotFatal) {
  Canvas().Pen()->SetWidth(3);
  Canvas().Rectangle(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX);
  Canvas().Ellipse(INT32_MIN, 0, INT32_MAX, 10);
  Canvas().MoveTo(INT32_MIN, INT32_MIN);
  Canvas().LineTo(INT32_MAX, INT32_MAX);
  Canvas().StretchDraw(CornersRect(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX), &bitmap_);
  Canvas().TextOut(INT32_MAX, INT32_MAX, u"x");
  SUCCEED();
}

class PictureFileTest : public testing::Test {
 protected:
  UString Path(const char* name) const { return dir_.filePath(name).toStdU16String(); }
  QTemporaryDir dir_;
};

TEST_F(PictureFileTest, BitmapsRoundTripThroughBmpAndPng) {
  TBitmap bitmap;
  bitmap.SetSize(3, 2);
  bitmap.Canvas()->SetPixels(0, 0, clRed);
  bitmap.Canvas()->SetPixels(2, 1, 0x123456);
  for (const char* name : {"a.bmp", "b.PNG"}) {
    bitmap.SaveToFile(Path(name));
    TBitmap loaded;
    loaded.LoadFromFile(Path(name));
    EXPECT_EQ(loaded.Width(), 3) << name;
    EXPECT_EQ(loaded.Height(), 2) << name;
    EXPECT_EQ(loaded.Canvas()->Pixels(0, 0), clRed) << name;
    EXPECT_EQ(loaded.Canvas()->Pixels(2, 1), 0x123456) << name;
    EXPECT_EQ(loaded.Canvas()->Pixels(1, 0), clWhite) << name;
  }
}

TEST_F(PictureFileTest, BadFilesRaiseWithTheirName) {
  TBitmap bitmap;
  bitmap.SetSize(1, 1);
  const std::string gif = ToUtf8(Path("x.gif"));
  EXPECT_EQ(RaisedBy<EInvalidGraphic>([&] { bitmap.SaveToFile(Path("x.gif")); }),
            "Unknown picture file extension (.gif) of \"" + gif +
                "\": a bitmap is read and written as .bmp or .png");
  EXPECT_THROW(bitmap.LoadFromFile(Path("missing.bmp")), EFOpenError);
  std::ofstream(ToUtf8(Path("junk.png"))) << "not a picture";
  EXPECT_EQ(RaisedBy<EInvalidGraphic>([&] { bitmap.LoadFromFile(Path("junk.png")); }),
            "File \"" + ToUtf8(Path("junk.png")) + "\" is not a valid PNG picture");
  EXPECT_EQ(bitmap.Width(), 1);
  TMetafile metafile;
  EXPECT_THROW(metafile.LoadFromFile(Path("junk.png")), EInvalidGraphic);
}

TEST_F(PictureFileTest, MetafilesRecordDrawingAndRoundTripThroughSvg) {
  TMetafile metafile;
  {
    TMetafileCanvas canvas(&metafile, 0);
    canvas.Brush()->SetColor(clRed);
    canvas.Rectangle(0, 0, 40, 20);
  }
  EXPECT_EQ(metafile.Width(), 40);
  EXPECT_EQ(metafile.Height(), 20);
  TBitmap played;
  played.SetSize(50, 30);
  played.Canvas()->Draw(0, 0, &metafile);
  EXPECT_EQ(played.Canvas()->Pixels(39, 19), clBlack);
  EXPECT_EQ(played.Canvas()->Pixels(5, 5), clRed);
  EXPECT_EQ(played.Canvas()->Pixels(40, 20), clWhite);
  metafile.SaveToFile(Path("m.svg"));
  TMetafile loaded;
  loaded.LoadFromFile(Path("m.svg"));
  EXPECT_EQ(loaded.Width(), 40);
  EXPECT_EQ(loaded.Height(), 20);
  TBitmap bitmap;
  bitmap.SetSize(80, 40);
  bitmap.Canvas()->StretchDraw(CornersRect(0, 0, 80, 40), &loaded);
  // SVG pictures are drawn smoothly: the outline shows, shaded into the fill.
  EXPECT_EQ(bitmap.Canvas()->Pixels(40, 20), clRed);
  EXPECT_NE(bitmap.Canvas()->Pixels(0, 20), clRed);
  EXPECT_NE(bitmap.Canvas()->Pixels(0, 20), clWhite);
}

TEST(MetafileCanvasTest, DrawingAfterTheMetafileWasFreedRaises) {
  auto* metafile = new TMetafile;
  TMetafileCanvas canvas(metafile, 0);
  canvas.Rectangle(0, 0, 5, 5);
  EXPECT_EQ(canvas.Pixels(1, 1), -1);  // a metafile has no pixels to read
  metafile->Free();
  EXPECT_THROW(canvas.Rectangle(0, 0, 5, 5), EInvalidGraphicOperation);
  EXPECT_THROW(TMetafileCanvas(nullptr, 0), EInvalidGraphicOperation);
}

}  // namespace
}  // namespace kv
