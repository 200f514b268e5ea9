#include "host/gui/canvas.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <algorithm>

#include "host/core/class_builder.h"
#include "host/gui/canvas_device.h"
#include "host/gui/graphic.h"
#include "host/gui/graphics_errors.h"
#include "host/gui/pen_mode.h"

namespace kv {

namespace {

// Rectangles handed to Qt stay well inside int: QRect's width of a box spanning the whole
// int range would overflow.
constexpr int64_t kCoordinateLimit = int64_t{1} << 30;

int Clamped(int64_t value) {
  return static_cast<int>(std::clamp(value, -kCoordinateLimit, kCoordinateLimit));
}

// A box given by two corners, in order (the host accepts them either way round); right
// and bottom are outside it.
struct Box {
  int64_t left, top, right, bottom;

  Box(int64_t x1, int64_t y1, int64_t x2, int64_t y2)
      : left(std::min(x1, x2)),
        top(std::min(y1, y2)),
        right(std::max(x1, x2)),
        bottom(std::max(y1, y2)) {}
  bool Empty() const { return right <= left || bottom <= top; }
  // What Qt must be given to cover exactly the box: a one-pixel pen outlines a QRectF one
  // pixel right and below its edges, and a fill without pen stops short of them.
  QRectF Figure() const {
    return QRectF(double(left), double(top), double(right - left - 1), double(bottom - top - 1));
  }
  // The pixels the box with a pen of `margin` pixels can touch.
  QRect Touched(int64_t margin) const {
    const int l = Clamped(left - margin), t = Clamped(top - margin);
    return QRect(QPoint(l, t), QPoint(Clamped(right + margin), Clamped(bottom + margin)));
  }
};

QString ToQString(const UString& text) {
  return QString(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size()));
}

// The font a canvas writes with: pixel-exact like its figures.
QFont CanvasFont(const TFont& font) {
  QFont qfont = font.ToQFont();
  qfont.setStyleStrategy(QFont::NoAntialias);
  qfont.setHintingPreference(QFont::PreferFullHinting);
  return qfont;
}

QPainter::CompositionMode CopyComposition(int32_t copyMode) {
  switch (copyMode) {
    case cmMergePaint:
      return QPainter::RasterOp_NotSourceOrDestination;
    case cmNotSrcCopy:
      return QPainter::RasterOp_NotSource;
    case cmNotSrcErase:
      return QPainter::RasterOp_NotSourceAndNotDestination;
    case cmSrcAnd:
      return QPainter::RasterOp_SourceAndDestination;
    case cmSrcErase:
      return QPainter::RasterOp_SourceAndNotDestination;
    case cmSrcInvert:
      return QPainter::RasterOp_SourceXorDestination;
    case cmSrcPaint:
      return QPainter::RasterOp_SourceOrDestination;
    default:
      return QPainter::CompositionMode_SourceOver;
  }
}

}  // namespace

QRect CornersRect(int x1, int y1, int x2, int y2) {
  const int left = Clamped(x1), top = Clamped(y1);
  return QRect(left, top, Clamped(int64_t{x2} - left), Clamped(int64_t{y2} - top));
}

// One drawing operation on the device: the device's painter with a clean, pixel-exact
// state; the device learns what was touched when the operation ends, whatever way it ends.
class TCanvas::Operation {
 public:
  explicit Operation(const TCanvas& canvas) : device_(canvas.device_) {
    painter_ = device_ ? device_->BeginDraw() : nullptr;
    if (!painter_) throw EInvalidGraphicOperation(u"Canvas does not allow drawing");
    painter_->setRenderHint(QPainter::Antialiasing, false);
    painter_->setRenderHint(QPainter::TextAntialiasing, false);
    painter_->setRenderHint(QPainter::SmoothPixmapTransform, false);
  }
  ~Operation() { device_->EndDraw(touched_); }
  Operation(const Operation&) = delete;
  Operation& operator=(const Operation&) = delete;

  QPainter& Painter() const { return *painter_; }
  void Touch(const QRect& rect) { touched_ |= rect; }

 private:
  TCanvasDevice* device_;
  QPainter* painter_;
  QRect touched_;
};

KV_DEFINE_CLASS(TCanvas, TPersistent) {
  c.Constructor();
  c.Property("Brush", &TCanvas::Brush, &TCanvas::SetBrush);
  c.Property("CopyMode", "Integer", &TCanvas::CopyMode, &TCanvas::SetCopyMode);
  c.Property("Font", &TCanvas::Font, &TCanvas::SetFont);
  c.Property("Pen", &TCanvas::Pen, &TCanvas::SetPen);
}

TCanvas::TCanvas(TCanvasDevice* device)
    : device_(device),
      font_(std::make_unique<TFont>()),
      pen_(std::make_unique<TPen>()),
      brush_(std::make_unique<TBrush>()) {
  font_->SetKeeper(this);
  pen_->SetKeeper(this);
  brush_->SetKeeper(this);
}

TCanvas::~TCanvas() = default;

void TCanvas::LineTo(int x, int y) {
  Operation op(*this);
  const QPoint from = penPos_;
  penPos_ = QPoint(x, y);
  const int64_t margin = std::max(1, pen_->Width());
  const QRect touched = Box(from.x(), from.y(), int64_t{x} + 1, int64_t{y} + 1).Touched(margin);
  PaintWithPenMode(op.Painter(), pen_->Mode(), pen_->ToQPen(), Qt::NoBrush, touched,
                   [&](QPainter& p) { p.drawLine(QLineF(from, penPos_)); });
  op.Touch(touched);
}

template <class Paint>
void TCanvas::PaintFigure(int x1, int y1, int x2, int y2, Paint paint) {
  Operation op(*this);
  const Box box(x1, y1, x2, y2);
  if (box.Empty()) return;
  QRectF figure = box.Figure();
  const int width = std::max(1, pen_->Width());
  if (pen_->Style() == psInsideFrame && width > 1) {
    // The outline's outer edge on the box's edge instead of its middle.
    const double inset = (width - 1) / 2.0;
    figure.adjust(inset, inset, -inset, -inset);
  }
  const QRect touched = box.Touched(width);
  PaintWithPenMode(op.Painter(), pen_->Mode(), pen_->ToQPen(), brush_->ToQBrush(), touched,
                   [&](QPainter& p) { paint(p, figure); });
  op.Touch(touched);
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2) {
  PaintFigure(x1, y1, x2, y2, [](QPainter& p, const QRectF& r) { p.drawRect(r); });
}

void TCanvas::Ellipse(int x1, int y1, int x2, int y2) {
  PaintFigure(x1, y1, x2, y2, [](QPainter& p, const QRectF& r) { p.drawEllipse(r); });
}

void TCanvas::RoundRect(int x1, int y1, int x2, int y2, int x3, int y3) {
  const double rx = std::abs(double(x3)) / 2, ry = std::abs(double(y3)) / 2;
  PaintFigure(x1, y1, x2, y2,
              [rx, ry](QPainter& p, const QRectF& r) { p.drawRoundedRect(r, rx, ry); });
}

void TCanvas::FillRect(const QRect& rect) {
  Operation op(*this);
  if (rect.isEmpty()) return;
  op.Painter().fillRect(rect, brush_->ToQBrush());
  op.Touch(rect);
}

void TCanvas::TextOut(int x, int y, const UString& text) {
  Operation op(*this);
  QPainter& p = op.Painter();
  p.setFont(CanvasFont(*font_));
  const QFontMetrics metrics = p.fontMetrics();
  const QString qtext = ToQString(text);
  const int width = metrics.horizontalAdvance(qtext);
  penPos_ = QPoint(Clamped(int64_t{x} + width), y);
  if (text.empty()) return;
  // Text that starts so far out shows nowhere; clamping keeps the box's edges in range.
  const QRect box(Clamped(x), Clamped(y), width, metrics.height());
  // Only a solid brush paints the background; hatched and clear ones leave it.
  if (brush_->Style() == bsSolid) p.fillRect(box, ColorToQColor(brush_->Color()));
  p.setPen(ColorToQColor(font_->Color()));
  p.drawText(QPoint(box.left(), box.top() + metrics.ascent()), qtext);
  // Italic and overhanging glyphs reach a little beyond the advance.
  op.Touch(box.adjusted(-box.height() / 2, 0, box.height() / 2, 0));
}

int TCanvas::TextWidth(const UString& text) {
  Operation op(*this);
  op.Painter().setFont(CanvasFont(*font_));
  return op.Painter().fontMetrics().horizontalAdvance(ToQString(text));
}

int TCanvas::TextHeight(const UString&) {
  Operation op(*this);
  op.Painter().setFont(CanvasFont(*font_));
  return op.Painter().fontMetrics().height();
}

void TCanvas::Draw(int x, int y, const TGraphic* graphic) {
  if (!graphic) throw EInvalidGraphicOperation(u"Draw needs a graphic, not nil");
  StretchDraw(CornersRect(x, y, Clamped(int64_t{x} + graphic->Width()),
                          Clamped(int64_t{y} + graphic->Height())),
              graphic);
}

void TCanvas::StretchDraw(const QRect& rect, const TGraphic* graphic) {
  if (!graphic) throw EInvalidGraphicOperation(u"StretchDraw needs a graphic, not nil");
  Operation op(*this);
  if (rect.width() == 0 || rect.height() == 0 || graphic->Empty()) return;
  const bool flipX = rect.width() < 0, flipY = rect.height() < 0;
  const QRect area(flipX ? rect.x() + rect.width() : rect.x(),
                   flipY ? rect.y() + rect.height() : rect.y(), std::abs(rect.width()),
                   std::abs(rect.height()));
  QPainter& p = op.Painter();
  switch (copyMode_) {
    case cmBlackness:
      p.fillRect(area, Qt::black);
      break;
    case cmWhiteness:
      p.fillRect(area, Qt::white);
      break;
    case cmDstInvert:
      p.setCompositionMode(QPainter::RasterOp_NotDestination);
      p.fillRect(area, Qt::black);
      break;
    default:
      p.setCompositionMode(CopyComposition(copyMode_));
      // Turned over inside the area: the picture's left edge lands on the rect's x.
      p.translate(flipX ? 2.0 * area.x() + area.width() : 0.0,
                  flipY ? 2.0 * area.y() + area.height() : 0.0);
      p.scale(flipX ? -1 : 1, flipY ? -1 : 1);
      graphic->DrawOn(p, area);
  }
  op.Touch(area);
}

TColor TCanvas::Pixels(int x, int y) {
  if (!device_) throw EInvalidGraphicOperation(u"Canvas does not allow drawing");
  const QImage* image = device_->PixelImage();
  if (!image || !image->valid(x, y)) return -1;
  return QColorToColor(image->pixelColor(x, y));
}

void TCanvas::SetPixels(int x, int y, TColor color) {
  Operation op(*this);
  if (color == clNone) return;
  const QRect pixel(x, y, 1, 1);
  op.Painter().setCompositionMode(QPainter::CompositionMode_Source);
  op.Painter().fillRect(pixel, ColorToQColor(color));
  op.Touch(pixel);
}

}  // namespace kv
