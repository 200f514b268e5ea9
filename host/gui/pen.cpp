#include "host/gui/pen.h"

#include <QPen>

#include "host/core/class_builder.h"
#include "host/core/exceptions.h"

namespace kv {

namespace {

Qt::PenStyle QtPenStyle(TPenStyle style) {
  switch (style) {
    case psDash:
      return Qt::DashLine;
    case psDot:
      return Qt::DotLine;
    case psDashDot:
      return Qt::DashDotLine;
    case psDashDotDot:
      return Qt::DashDotDotLine;
    case psClear:
      return Qt::NoPen;
    default:
      return Qt::SolidLine;
  }
}

}  // namespace

KV_DEFINE_CLASS(TPen, TGraphicsObject) {
  c.Constructor();
  c.Property("Color", "TColor", &TPen::Color, &TPen::SetColor);
  c.Property("Mode", "TPenMode", &TPen::Mode, &TPen::SetMode);
  c.Property("Style", "TPenStyle", &TPen::Style, &TPen::SetStyle);
  c.Property("Width", "Integer", &TPen::Width, &TPen::SetWidth);
}

void TPen::Assign(TPersistent* source) {
  auto* pen = dynamic_cast<TPen*>(source);
  if (!pen) {
    TGraphicsObject::Assign(source);
    return;
  }
  color_ = pen->color_;
  mode_ = pen->mode_;
  style_ = pen->style_;
  width_ = pen->width_;
  Changed();
}

void TPen::SetColor(TColor color) {
  if (color == color_) return;
  color_ = color;
  Changed();
}

void TPen::SetMode(TPenMode mode) {
  CheckOrdinal(u"Mode", mode, pmNotXor);
  if (mode == mode_) return;
  mode_ = mode;
  Changed();
}

void TPen::SetStyle(TPenStyle style) {
  CheckOrdinal(u"Style", style, psInsideFrame);
  if (style == style_) return;
  style_ = style;
  Changed();
}

void TPen::SetWidth(int32_t width) {
  if (width < 0 || width > kMaxWidth)
    throw ERangeError(u"Pen width must be 0.." + IntToUStr(kMaxWidth) + u", not " +
                      IntToUStr(width));
  if (width == width_) return;
  width_ = width;
  Changed();
}

QPen TPen::ToQPen() const {
  QPen pen(QtPenStyle(style_));
  pen.setColor(ColorToQColor(color_));
  if (width_ <= 1) {
    // A cosmetic pen with flat ends covers exactly the pixels from the start up to, not
    // including, the end point.
    pen.setWidth(0);
    pen.setCapStyle(Qt::FlatCap);
  } else {
    pen.setWidth(width_);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
  }
  return pen;
}

}  // namespace kv
