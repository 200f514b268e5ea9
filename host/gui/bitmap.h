// TBitmap: a picture of pixels (32-bit RGB) with a canvas that draws into it. Files are BMP
// or PNG, chosen by the file name's extension.
#pragma once

#include <QImage>
#include <cstdint>
#include <memory>

#include "host/gui/graphic.h"

namespace kv {

class TCanvas;

class TBitmap : public TGraphic {
  KV_CLASS(TBitmap, TGraphic)

 public:
  // The most pixels a bitmap may have (4 bytes each).
  static constexpr int64_t kMaxPixels = int64_t{1} << 26;

  TBitmap();
  ~TBitmap() override;

  // Copies another bitmap's picture.
  void Assign(TPersistent* source) override;

  // Resizing keeps the picture's top-left part; new pixels are white. A side outside
  // 0..kMaxSide, or more than kMaxPixels pixels, raises EInvalidGraphic.
  int32_t Width() const override { return width_; }
  int32_t Height() const override { return height_; }
  void SetWidth(int32_t width) override { SetSize(width, height_); }
  void SetHeight(int32_t height) override { SetSize(width_, height); }
  void SetSize(int32_t width, int32_t height);

  void LoadFromFile(const UString& fileName) override;
  void SaveToFile(const UString& fileName) const override;
  void DrawOn(QPainter& painter, const QRect& target) const override;

  // Draws into the picture; the bitmap keeps it (scripts cannot free it).
  TCanvas* Canvas() const { return canvas_.get(); }

  // The picture (a null image while a side is 0), and replacing it (converted to 32-bit
  // RGB, transparent parts on white).
  const QImage& Image() const { return image_; }
  void SetImage(const QImage& image);

 private:
  class Device;

  // The format a file name's extension names ("BMP", "PNG"); another raises.
  static const char* FileFormat(const UString& fileName);

  int32_t width_ = 0;
  int32_t height_ = 0;
  QImage image_;  // null while width_ or height_ is 0
  std::unique_ptr<Device> device_;
  std::unique_ptr<TCanvas> canvas_;
};

}  // namespace kv
