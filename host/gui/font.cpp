#include "host/gui/font.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>
#include <cmath>

#include "host/core/class_builder.h"
#include "host/core/exceptions.h"

namespace kv {

namespace {

constexpr int kPixelsPerInch = 96;
constexpr int kPointsPerInch = 72;
constexpr int kDefaultPixelSize = 11;  // 8 points

// a * b / c rounded half away from zero, as the host rounds size conversions.
int64_t MulDivRounded(int64_t a, int64_t b, int64_t c) {
  const int64_t product = a * b;
  const int64_t half = c / 2;
  return product >= 0 ? (product + half) / c : (product - half) / c;
}

QString ToQString(const UString& text) {
  return QString(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size()));
}

bool NameIsOneOf(const UString& name, std::initializer_list<const char16_t*> names) {
  for (const char16_t* candidate : names)
    if (SameText(name, candidate)) return true;
  return false;
}

QString FirstInstalled(std::initializer_list<const char*> families, const QString& fallback) {
  for (const char* family : families)
    if (QFontDatabase::hasFamily(QString::fromLatin1(family))) return QString::fromLatin1(family);
  return fallback;
}

// Scripts name the host's standard faces, which a Linux desktop rarely has; fontconfig's own
// substitutes for them differ from machine to machine, so the dialog faces become the
// desktop's UI font and the typewriter face a monospace font with the same metrics when
// there is one.
QString ResolveFamily(const UString& name) {
  if (NameIsOneOf(name, {u"MS Sans Serif", u"MS Shell Dlg", u"MS Shell Dlg 2", u"Tahoma"}))
    return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
  const QString family = ToQString(name);
  if (NameIsOneOf(name, {u"Courier New"}) && !QFontDatabase::hasFamily(family)) {
    return FirstInstalled({"Liberation Mono", "DejaVu Sans Mono"},
                          QFontDatabase::systemFont(QFontDatabase::FixedFont).family());
  }
  return family;
}

void CheckHeight(int64_t height, const char16_t* what, int64_t shown) {
  if (height < -TFont::kMaxHeight || height > TFont::kMaxHeight)
    throw ERangeError(UString(u"Font ") + what + u" " + IntToUStr(shown) + u" is out of range");
}

}  // namespace

KV_DEFINE_CLASS(TFont, TGraphicsObject) {
  c.Constructor();
  c.Property("Charset", "Integer", &TFont::Charset, &TFont::SetCharset);
  c.Property("Color", "TColor", &TFont::Color, &TFont::SetColor);
  c.Property("Height", "Integer", &TFont::Height, &TFont::SetHeight);
  c.Property("Name", "TFontName", &TFont::Name, &TFont::SetName);
  c.Property("Pitch", "TFontPitch", &TFont::Pitch, &TFont::SetPitch);
  c.Property("Size", "Integer", &TFont::Size, &TFont::SetSize);
  c.Property("Style", "TFontStyles", &TFont::Style, &TFont::SetStyle);
}

void TFont::Assign(TPersistent* source) {
  auto* font = dynamic_cast<TFont*>(source);
  if (!font) {
    TGraphicsObject::Assign(source);
    return;
  }
  charset_ = font->charset_;
  color_ = font->color_;
  height_ = font->height_;
  name_ = font->name_;
  pitch_ = font->pitch_;
  style_ = font->style_;
  Changed();
}

void TFont::SetCharset(uint8_t charset) {
  if (charset == charset_) return;
  charset_ = charset;
  Changed();
}

void TFont::SetColor(TColor color) {
  if (color == color_) return;
  color_ = color;
  Changed();
}

void TFont::SetHeight(int32_t height) {
  CheckHeight(height, u"height", height);
  if (height == height_) return;
  height_ = height;
  Changed();
}

void TFont::SetName(const UString& name) {
  if (name == name_) return;
  name_ = name;
  Changed();
}

void TFont::SetPitch(TFontPitch pitch) {
  CheckOrdinal(u"Pitch", static_cast<int>(pitch), static_cast<int>(TFontPitch::fpFixed));
  if (pitch == pitch_) return;
  pitch_ = pitch;
  Changed();
}

int32_t TFont::Size() const {
  return static_cast<int32_t>(-MulDivRounded(height_, kPointsPerInch, kPixelsPerInch));
}

void TFont::SetSize(int32_t size) {
  const int64_t height = -MulDivRounded(size, kPixelsPerInch, kPointsPerInch);
  CheckHeight(height, u"size", size);
  SetHeight(static_cast<int32_t>(height));
}

void TFont::SetStyle(TFontStyles style) {
  // Only the four styles exist; other bits a script may set mean nothing.
  style = style * TFontStyles{fsBold, fsItalic, fsUnderline, fsStrikeout};
  if (style == style_) return;
  style_ = style;
  Changed();
}

int TFont::PixelSize() const {
  if (height_ < 0) return -height_;
  if (height_ == 0) return kDefaultPixelSize;
  // A line height: scale the character height so that the font's line comes out this tall.
  QFont probe(ResolveFamily(name_));
  probe.setPixelSize(height_);
  const int line = QFontMetrics(probe).height();
  if (line <= 0) return height_;
  return std::max(1, static_cast<int>(std::lround(double(height_) * height_ / line)));
}

QFont TFont::ToQFont() const {
  QFont font(ResolveFamily(name_));
  font.setPixelSize(PixelSize());
  font.setBold(style_.Contains(fsBold));
  font.setItalic(style_.Contains(fsItalic));
  font.setUnderline(style_.Contains(fsUnderline));
  font.setStrikeOut(style_.Contains(fsStrikeout));
  if (pitch_ == TFontPitch::fpFixed) {
    font.setFixedPitch(true);
    font.setStyleHint(QFont::Monospace);
  }
  return font;
}

}  // namespace kv
