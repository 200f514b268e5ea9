// TFont: the typeface, size, style and colour of text. Size is in points and Height in
// pixels at the host's 96 pixels per inch; both describe one stored pixel height, so either
// reads back consistently after the other was set. A negative Height is the height of the
// characters, a positive one the height of the line (characters plus internal leading).
#pragma once

#include <cstdint>

#include "host/core/set_of.h"
#include "host/core/ustring.h"
#include "host/gui/colors.h"
#include "host/gui/graphics_object.h"

class QFont;

namespace kv {

enum TFontStyle : uint8_t { fsBold, fsItalic, fsUnderline, fsStrikeout };
using TFontStyles = SetOf<TFontStyle>;

// Scoped: the engine's designators have an fpVariable of their own in this namespace.
enum class TFontPitch : uint8_t { fpDefault, fpVariable, fpFixed };

// Published: Charset, Color, Height, Name, Pitch, Size, Style.
class TFont : public TGraphicsObject {
  KV_CLASS(TFont, TGraphicsObject)

 public:
  // Heights beyond this many pixels are refused: no screen shows them, and rendering one
  // would only cost time.
  static constexpr int32_t kMaxHeight = 10000;

  TFont() = default;

  void Assign(TPersistent* source) override;

  // Kept for scripts that set it; text is Unicode, so it selects nothing.
  uint8_t Charset() const { return charset_; }
  void SetCharset(uint8_t charset);
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  // Raises ERangeError beyond kMaxHeight either way.
  int32_t Height() const { return height_; }
  void SetHeight(int32_t height);
  // Reads back exactly what was set; ToQFont maps host font names to installed families.
  const UString& Name() const { return name_; }
  void SetName(const UString& name);
  TFontPitch Pitch() const { return pitch_; }
  void SetPitch(TFontPitch pitch);
  int32_t Size() const;
  void SetSize(int32_t size);
  TFontStyles Style() const { return style_; }
  void SetStyle(TFontStyles style);

  // The Qt font with this family, pixel height and style (the colour is the painter's).
  QFont ToQFont() const;

 private:
  int PixelSize() const;

  uint8_t charset_ = 1;  // the host's "default character set"
  TColor color_ = clWindowText;
  int32_t height_ = -11;  // 8 points
  UString name_ = u"Tahoma";
  TFontPitch pitch_ = TFontPitch::fpDefault;
  TFontStyles style_;
};

}  // namespace kv
