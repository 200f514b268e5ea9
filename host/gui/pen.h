// TPen: how a canvas draws lines and outlines.
#pragma once

#include <cstdint>

#include "host/gui/colors.h"
#include "host/gui/graphics_object.h"

class QPen;

namespace kv {

enum TPenStyle : uint8_t {
  psSolid,
  psDash,
  psDot,
  psDashDot,
  psDashDotDot,
  psClear,
  psInsideFrame,
};

// How the pen's colour combines with the colour already there (P the pen, D the pixel).
enum TPenMode : uint8_t {
  pmBlack,
  pmWhite,
  pmNop,
  pmNot,
  pmCopy,
  pmNotCopy,
  pmMergePenNot,
  pmMaskPenNot,
  pmMergeNotPen,
  pmMaskNotPen,
  pmMerge,
  pmNotMerge,
  pmMask,
  pmNotMask,
  pmXor,
  pmNotXor,
};

// Published: Color, Mode, Style, Width.
class TPen : public TGraphicsObject {
  KV_CLASS(TPen, TGraphicsObject)

 public:
  // Wider pens are refused: they would cover any picture many times over.
  static constexpr int32_t kMaxWidth = 10000;

  TPen() = default;

  void Assign(TPersistent* source) override;

  TColor Color() const { return color_; }
  void SetColor(TColor color);
  TPenMode Mode() const { return mode_; }
  void SetMode(TPenMode mode);
  TPenStyle Style() const { return style_; }
  void SetStyle(TPenStyle style);
  // 0 and 1 both draw one pixel wide. Raises ERangeError outside 0..kMaxWidth.
  int32_t Width() const { return width_; }
  void SetWidth(int32_t width);

  // The Qt pen of colour, style and width (Qt::NoPen for psClear). Thin pens leave out the
  // last pixel of a line, as the host draws lines; wide ones have round ends and joins.
  QPen ToQPen() const;

 private:
  TColor color_ = clBlack;
  TPenMode mode_ = pmCopy;
  TPenStyle style_ = psSolid;
  int32_t width_ = 1;
};

}  // namespace kv
