#include "host/gui/brush.h"

#include <QBrush>

#include "host/core/class_builder.h"

namespace kv {

namespace {

Qt::BrushStyle QtBrushStyle(TBrushStyle style) {
  switch (style) {
    case bsClear:
      return Qt::NoBrush;
    case bsHorizontal:
      return Qt::HorPattern;
    case bsVertical:
      return Qt::VerPattern;
    case bsFDiagonal:
      return Qt::FDiagPattern;
    case bsBDiagonal:
      return Qt::BDiagPattern;
    case bsCross:
      return Qt::CrossPattern;
    case bsDiagCross:
      return Qt::DiagCrossPattern;
    default:
      return Qt::SolidPattern;
  }
}

}  // namespace

KV_DEFINE_CLASS(TBrush, TGraphicsObject) {
  c.Constructor();
  c.Property("Color", "TColor", &TBrush::Color, &TBrush::SetColor);
  c.Property("Style", "TBrushStyle", &TBrush::Style, &TBrush::SetStyle);
}

void TBrush::Assign(TPersistent* source) {
  auto* brush = dynamic_cast<TBrush*>(source);
  if (!brush) {
    TGraphicsObject::Assign(source);
    return;
  }
  color_ = brush->color_;
  style_ = brush->style_;
  Changed();
}

void TBrush::SetColor(TColor color) {
  if (color == color_ && style_ != bsClear) return;
  color_ = color;
  if (style_ == bsClear) style_ = bsSolid;
  Changed();
}

void TBrush::SetStyle(TBrushStyle style) {
  CheckOrdinal(u"Style", style, bsDiagCross);
  if (style == style_) return;
  style_ = style;
  Changed();
}

QBrush TBrush::ToQBrush() const { return QBrush(ColorToQColor(color_), QtBrushStyle(style_)); }

}  // namespace kv
