#include "host/gui/metafile.h"

#include <QBuffer>
#include <QPainter>
#include <QSvgGenerator>
#include <QSvgRenderer>

#include "host/core/class_builder.h"
#include "host/core/handles.h"
#include "host/gui/canvas_device.h"
#include "host/gui/graphics_errors.h"

namespace kv {

namespace {

// Pictures are recorded and written in pixels at the host's screen resolution.
constexpr int kPixelsPerInch = 96;

UString Quoted(const UString& fileName) { return u"\"" + fileName + u"\""; }

}  // namespace

// ---------------------------------------------------------------------------------------
// TMetafile

KV_DEFINE_CLASS(TMetafile, TGraphic) { c.Constructor(); }

void TMetafile::Assign(TPersistent* source) {
  auto* metafile = dynamic_cast<TMetafile*>(source);
  if (!metafile) {
    TGraphic::Assign(source);
    return;
  }
  if (metafile == this) return;
  merged_ = metafile->merged_;
  pending_ = metafile->pending_;
  width_ = metafile->width_;
  height_ = metafile->height_;
}

// A picture's bounding rectangle is geometric: a one-pixel outline drawn on its right and
// bottom edge covers one pixel more.
QRect TMetafile::Extent() const {
  QRect extent;
  for (const QPicture& picture : merged_) extent |= picture.boundingRect();
  for (const QPicture& picture : pending_) extent |= picture.boundingRect();
  return extent.isNull() ? extent : extent.adjusted(0, 0, 1, 1);
}

int32_t TMetafile::Width() const {
  if (width_) return *width_;
  const QRect extent = Extent();
  return extent.isNull() ? 0 : std::clamp(extent.x() + extent.width(), 0, kMaxSide);
}

int32_t TMetafile::Height() const {
  if (height_) return *height_;
  const QRect extent = Extent();
  return extent.isNull() ? 0 : std::clamp(extent.y() + extent.height(), 0, kMaxSide);
}

void TMetafile::SetWidth(int32_t width) {
  CheckSide(u"Metafile width", width);
  width_ = width;
}

void TMetafile::SetHeight(int32_t height) {
  CheckSide(u"Metafile height", height);
  height_ = height;
}

void TMetafile::Record(const QPicture& operation) {
  pending_.push_back(operation);
  if (pending_.size() >= kBatch) MergePending();
}

void TMetafile::MergePending() {
  QPicture batch;
  QPainter painter(&batch);
  for (const QPicture& picture : pending_) painter.drawPicture(0, 0, picture);
  painter.end();
  merged_.push_back(batch);
  pending_.clear();
}

void TMetafile::Clear() {
  merged_.clear();
  pending_.clear();
  width_.reset();
  height_.reset();
}

void TMetafile::PlayBack(QPainter& painter) const {
  for (const QPicture& picture : merged_) painter.drawPicture(0, 0, picture);
  for (const QPicture& picture : pending_) painter.drawPicture(0, 0, picture);
}

void TMetafile::DrawOn(QPainter& painter, const QRect& target) const {
  const int32_t width = Width(), height = Height();
  if (width == 0 || height == 0) return;
  painter.save();
  painter.translate(target.topLeft());
  painter.scale(double(target.width()) / width, double(target.height()) / height);
  PlayBack(painter);
  painter.restore();
}

void TMetafile::LoadFromFile(const UString& fileName) {
  QSvgRenderer renderer(ReadFileBytes(fileName));
  if (!renderer.isValid())
    throw EInvalidGraphic(u"File " + Quoted(fileName) + u" is not a valid SVG picture");
  const QRectF view = renderer.viewBoxF();
  const QSize size = view.isEmpty() ? renderer.defaultSize() : view.size().toSize();
  CheckSide(u"Metafile width", size.width());
  CheckSide(u"Metafile height", size.height());
  QPicture picture;
  QPainter painter(&picture);
  renderer.render(&painter, QRectF(QPointF(0, 0), size));
  painter.end();
  merged_ = {picture};
  pending_.clear();
  width_ = size.width();
  height_ = size.height();
}

void TMetafile::SaveToFile(const UString& fileName) const {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  const QRect frame(0, 0, Width(), Height());
  QSvgGenerator generator;
  generator.setOutputDevice(&buffer);
  generator.setResolution(kPixelsPerInch);
  generator.setSize(frame.size());
  generator.setViewBox(frame);
  QPainter painter;
  if (!painter.begin(&generator))
    throw EInvalidGraphic(u"Cannot write the metafile as SVG to " + Quoted(fileName));
  PlayBack(painter);
  painter.end();
  WriteFileBytes(fileName, bytes);
}

// ---------------------------------------------------------------------------------------
// TMetafileCanvas

// Each operation is recorded into a picture of its own and handed to the metafile when it
// ends. The metafile is found by its handle each time, so a canvas that outlives it fails
// cleanly instead of writing into freed memory.
class TMetafileCanvas::Device : public TCanvasDevice {
 public:
  explicit Device(const TMetafile& metafile) : handle_(metafile.Handle()) {}

  QPainter* BeginDraw() override {
    if (!Metafile()) return nullptr;
    operation_ = QPicture();
    return painter_.begin(&operation_) ? &painter_ : nullptr;
  }
  void EndDraw(const QRect& touched) override {
    painter_.end();
    TMetafile* metafile = Metafile();
    if (metafile && !touched.isEmpty()) metafile->Record(operation_);
  }
  QImage* PixelImage() override { return nullptr; }

 private:
  TMetafile* Metafile() const { return dynamic_cast<TMetafile*>(handles::Find(handle_)); }

  int32_t handle_;
  QPicture operation_;
  QPainter painter_;
};

namespace {

const TMetafile& RequiredMetafile(const TMetafile* metafile) {
  if (!metafile) throw EInvalidGraphicOperation(u"A metafile canvas needs a metafile, not nil");
  return *metafile;
}

}  // namespace

KV_DEFINE_CLASS(TMetafileCanvas, TCanvas) {}

TMetafileCanvas::TMetafileCanvas(TMetafile* metafile, int32_t)
    : recorder_(std::make_unique<Device>(RequiredMetafile(metafile))) {
  SetDevice(recorder_.get());
}

TMetafileCanvas::~TMetafileCanvas() { SetDevice(nullptr); }

}  // namespace kv
