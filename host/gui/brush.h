// TBrush: how a canvas fills the inside of figures and the background of text.
#pragma once

#include <cstdint>

#include "host/gui/colors.h"
#include "host/gui/graphics_object.h"

class QBrush;

namespace kv {

enum TBrushStyle : uint8_t {
  bsSolid,
  bsClear,
  bsHorizontal,
  bsVertical,
  bsFDiagonal,
  bsBDiagonal,
  bsCross,
  bsDiagCross,
};

// Published: Color, Style.
class TBrush : public TGraphicsObject {
  KV_CLASS(TBrush, TGraphicsObject)

 public:
  TBrush() = default;

  void Assign(TPersistent* source) override;

  // Giving a clear brush a colour makes it solid: a script that sets a colour wants to see
  // it.
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  TBrushStyle Style() const { return style_; }
  void SetStyle(TBrushStyle style);

  // Qt::NoBrush for bsClear; hatches draw their lines in the colour and leave the gaps.
  QBrush ToQBrush() const;

 private:
  TColor color_ = clWhite;
  TBrushStyle style_ = bsSolid;
};

}  // namespace kv
