// TCanvas: drawing with a pen, a brush and a font on whatever its device draws into (a
// bitmap's image, a control, a metafile). Coordinates are pixels; rectangles given by two
// corners exclude their right and bottom edge, so Rectangle(0, 0, 10, 10) covers pixels 0..9.
// Drawing is pixel-exact (no anti-aliasing), as scripts that test pixels expect.
#pragma once

#include <QPoint>
#include <cstdint>
#include <memory>

#include "host/core/component.h"
#include "host/core/ustring.h"
#include "host/gui/brush.h"
#include "host/gui/colors.h"
#include "host/gui/font.h"
#include "host/gui/pen.h"

class QPainter;
class QRect;

namespace kv {

class TCanvasDevice;
class TGraphic;

// Copy modes: how Draw and StretchDraw combine a picture (S) with what is there (D).
inline constexpr int32_t cmBlackness = 0x00000042;
inline constexpr int32_t cmDstInvert = 0x00550009;
inline constexpr int32_t cmMergePaint = 0x00BB0226;  // not S or D
inline constexpr int32_t cmNotSrcCopy = 0x00330008;
inline constexpr int32_t cmNotSrcErase = 0x001100A6;  // not (S or D)
inline constexpr int32_t cmSrcAnd = 0x008800C6;
inline constexpr int32_t cmSrcCopy = 0x00CC0020;
inline constexpr int32_t cmSrcErase = 0x00440328;   // S and not D
inline constexpr int32_t cmSrcInvert = 0x00660046;  // S xor D
inline constexpr int32_t cmSrcPaint = 0x00EE0086;   // S or D
inline constexpr int32_t cmWhiteness = 0x00FF0062;

// The rectangle from (x1, y1) up to, not including, (x2, y2); x2 < x1 gives a negative
// width (StretchDraw mirrors). Coordinates are clamped to +-2^30 so that no size overflows.
QRect CornersRect(int x1, int y1, int x2, int y2);

// Published: Brush, CopyMode, Font, Pen. A canvas owns its font, pen and brush; assigning
// one of those properties copies the object given.
class TCanvas : public TPersistent {
  KV_CLASS(TCanvas, TPersistent)

 public:
  // The device is not owned; without one (a canvas a script created) every drawing and
  // measuring operation raises EInvalidGraphicOperation "Canvas does not allow drawing".
  explicit TCanvas(TCanvasDevice* device = nullptr);
  ~TCanvas() override;

  TCanvasDevice* Device() const { return device_; }
  void SetDevice(TCanvasDevice* device) { device_ = device; }

  // The bitmap or control this canvas belongs to; scripts may not free such a canvas.
  void SetKeeper(const TObject* keeper) { keeper_ = keeper; }
  const TObject* Keeper() const override { return keeper_; }

  TBrush* Brush() const { return brush_.get(); }
  void SetBrush(TBrush* brush) { brush_->Assign(brush); }
  TFont* Font() const { return font_.get(); }
  void SetFont(TFont* font) { font_->Assign(font); }
  TPen* Pen() const { return pen_.get(); }
  void SetPen(TPen* pen) { pen_->Assign(pen); }
  // One of the cm constants; others copy like cmSrcCopy.
  int32_t CopyMode() const { return copyMode_; }
  void SetCopyMode(int32_t mode) { copyMode_ = mode; }

  // Where LineTo starts; MoveTo, LineTo and TextOut move it.
  QPoint PenPos() const { return penPos_; }
  void SetPenPos(const QPoint& pos) { penPos_ = pos; }

  void MoveTo(int x, int y) { penPos_ = QPoint(x, y); }
  // A line from the pen position up to, not including, (x, y) with the pen; the pen position
  // moves to (x, y).
  void LineTo(int x, int y);
  // Figures inside the box (x1, y1)-(x2, y2), right and bottom edge excluded: outlined with
  // the pen and filled with the brush. Without a pen (psClear) the fill is one pixel smaller
  // to the right and bottom, as the host fills it. RoundRect's corners are ellipses x3
  // wide and y3 high.
  void Rectangle(int x1, int y1, int x2, int y2);
  void Ellipse(int x1, int y1, int x2, int y2);
  void RoundRect(int x1, int y1, int x2, int y2, int x3, int y3);
  // Fills the rectangle with the brush, ignoring the pen and its mode.
  void FillRect(const QRect& rect);

  // Writes text with its top-left corner at (x, y) in the font and its colour, on the
  // brush's colour when the brush is solid (transparently otherwise); the pen position moves
  // to the end of the text.
  void TextOut(int x, int y, const UString& text);
  int TextWidth(const UString& text);
  int TextHeight(const UString& text);

  // Draws the graphic at its own size with its top-left corner at (x, y), or scaled into
  // `rect` (turned over where its width or height is negative), combined by CopyMode. A nil
  // graphic raises EInvalidGraphicOperation.
  void Draw(int x, int y, const TGraphic* graphic);
  void StretchDraw(const QRect& rect, const TGraphic* graphic);

  // The colour of a pixel; -1 outside the picture or on a device without pixels. Setting a
  // pixel outside the picture, or to clNone, does nothing.
  TColor Pixels(int x, int y);
  void SetPixels(int x, int y, TColor color);

 private:
  class Operation;

  // Paints a figure of the box (x1, y1)-(x2, y2) with the pen, its mode and the brush:
  // paint(painter, rect) draws it into the rect Qt needs to cover the box.
  template <class Paint>
  void PaintFigure(int x1, int y1, int x2, int y2, Paint paint);

  TCanvasDevice* device_;
  const TObject* keeper_ = nullptr;
  std::unique_ptr<TFont> font_;
  std::unique_ptr<TPen> pen_;
  std::unique_ptr<TBrush> brush_;
  int32_t copyMode_ = cmSrcCopy;
  QPoint penPos_;
};

}  // namespace kv
