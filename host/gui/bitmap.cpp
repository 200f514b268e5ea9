#include "host/gui/bitmap.h"

#include <QBuffer>
#include <QPainter>

#include "host/core/class_builder.h"
#include "host/gui/canvas.h"
#include "host/gui/canvas_device.h"
#include "host/gui/graphics_errors.h"

namespace kv {

namespace {

constexpr QImage::Format kFormat = QImage::Format_RGB32;

QImage WhiteImage(int width, int height) {
  QImage image(width, height, kFormat);
  if (image.isNull())
    throw EInvalidGraphic(u"Not enough memory for a bitmap of " + IntToUStr(width) + u"x" +
                          IntToUStr(height) + u" pixels");
  image.fill(Qt::white);
  return image;
}

UString Quoted(const UString& fileName) { return u"\"" + fileName + u"\""; }

}  // namespace

// The canvas of a bitmap draws into its image. An empty bitmap has no image: its canvas then
// draws on a scratch pixel that nobody sees, as drawing on an empty picture shows nothing.
class TBitmap::Device : public TCanvasDevice {
 public:
  explicit Device(TBitmap& bitmap) : bitmap_(bitmap), scratch_(1, 1, kFormat) {}

  QPainter* BeginDraw() override {
    QImage& target = bitmap_.image_.isNull() ? scratch_ : bitmap_.image_;
    return painter_.begin(&target) ? &painter_ : nullptr;
  }
  void EndDraw(const QRect&) override { painter_.end(); }
  QImage* PixelImage() override { return bitmap_.image_.isNull() ? nullptr : &bitmap_.image_; }

 private:
  TBitmap& bitmap_;
  QImage scratch_;
  QPainter painter_;
};

KV_DEFINE_CLASS(TBitmap, TGraphic) { c.Constructor(); }

TBitmap::TBitmap()
    : device_(std::make_unique<Device>(*this)), canvas_(std::make_unique<TCanvas>(device_.get())) {
  canvas_->SetKeeper(this);
}

TBitmap::~TBitmap() = default;

void TBitmap::Assign(TPersistent* source) {
  auto* bitmap = dynamic_cast<TBitmap*>(source);
  if (!bitmap) {
    TGraphic::Assign(source);
    return;
  }
  width_ = bitmap->width_;
  height_ = bitmap->height_;
  image_ = bitmap->image_;
}

void TBitmap::SetSize(int32_t width, int32_t height) {
  CheckSide(u"Bitmap width", width);
  CheckSide(u"Bitmap height", height);
  if (int64_t{width} * height > kMaxPixels)
    throw EInvalidGraphic(u"A bitmap of " + IntToUStr(width) + u"x" + IntToUStr(height) +
                          u" pixels is too large");
  if (width == width_ && height == height_) return;
  QImage resized;
  if (width > 0 && height > 0) {
    resized = WhiteImage(width, height);
    if (!image_.isNull()) {
      QPainter painter(&resized);
      painter.setCompositionMode(QPainter::CompositionMode_Source);
      painter.drawImage(0, 0, image_);
    }
  }
  image_ = resized;
  width_ = width;
  height_ = height;
}

void TBitmap::SetImage(const QImage& image) {
  if (int64_t{image.width()} * image.height() > kMaxPixels)
    throw EInvalidGraphic(u"A bitmap of " + IntToUStr(image.width()) + u"x" +
                          IntToUStr(image.height()) + u" pixels is too large");
  QImage converted;
  if (!image.isNull()) {
    converted = WhiteImage(image.width(), image.height());
    QPainter painter(&converted);
    painter.drawImage(0, 0, image);
  }
  image_ = converted;
  width_ = image_.width();
  height_ = image_.height();
}

const char* TBitmap::FileFormat(const UString& fileName) {
  const UString extension = LowerExtension(fileName);
  if (extension == u"bmp") return "BMP";
  if (extension == u"png") return "PNG";
  throw EInvalidGraphic(u"Unknown picture file extension (." + extension + u") of " +
                        Quoted(fileName) + u": a bitmap is read and written as .bmp or .png");
}

void TBitmap::LoadFromFile(const UString& fileName) {
  const char* format = FileFormat(fileName);
  const QByteArray bytes = ReadFileBytes(fileName);
  QImage loaded;
  if (!loaded.loadFromData(bytes, format) || loaded.isNull())
    throw EInvalidGraphic(u"File " + Quoted(fileName) + u" is not a valid " + FromUtf8(format) +
                          u" picture");
  SetImage(loaded);
}

void TBitmap::SaveToFile(const UString& fileName) const {
  const char* format = FileFormat(fileName);
  if (image_.isNull()) throw EInvalidGraphic(u"Cannot save an empty bitmap to " + Quoted(fileName));
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!image_.save(&buffer, format))
    throw EInvalidGraphic(u"Cannot write the bitmap as " + FromUtf8(format) + u" to " +
                          Quoted(fileName));
  WriteFileBytes(fileName, bytes);
}

void TBitmap::DrawOn(QPainter& painter, const QRect& target) const {
  if (image_.isNull()) return;
  // Drawing a bitmap on its own canvas reads the pixels it writes: read a copy.
  const QImage source = painter.device() == &image_ ? image_.copy() : image_;
  painter.drawImage(QRectF(target), source);
}

}  // namespace kv
