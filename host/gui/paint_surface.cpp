#include "host/gui/paint_surface.h"

#include <QWidget>

#include "host/gui/canvas.h"

namespace kv {

TPaintSurface::TPaintSurface(QWidget* widget, const TObject* keeper)
    : widget_(widget), canvas_(std::make_unique<TCanvas>(this)) {
  canvas_->SetKeeper(keeper);
}

TPaintSurface::~TPaintSurface() = default;

void TPaintSurface::Paint(const std::function<void()>& paint) {
  QPainter painter(widget_);
  if (!layer_.isNull()) painter.drawImage(0, 0, layer_);
  active_ = &painter;
  struct Reset {
    QPainter*& p;
    ~Reset() { p = nullptr; }
  } reset{active_};
  paint();
}

void TPaintSurface::Resized() {
  if (!layer_.isNull() && layer_.size() != widget_->size().expandedTo(QSize(1, 1)))
    layer_ = QImage();
}

QImage& TPaintSurface::Layer() {
  const QSize size = widget_->size().expandedTo(QSize(1, 1));
  if (layer_.size() != size) {
    QImage grown(size, QImage::Format_ARGB32_Premultiplied);
    grown.fill(Qt::transparent);
    if (!layer_.isNull()) {
      QPainter copy(&grown);
      copy.drawImage(0, 0, layer_);
    }
    layer_ = grown;
  }
  return layer_;
}

// A layer too large to allocate leaves nothing to draw on: the canvas then raises.
QPainter* TPaintSurface::BeginDraw() {
  if (active_) return active_;
  QImage& layer = Layer();
  if (layer.isNull() || !layerPainter_.begin(&layer)) return nullptr;
  return &layerPainter_;
}

void TPaintSurface::EndDraw(const QRect& touched) {
  if (layerPainter_.isActive()) {
    layerPainter_.end();
    widget_->update(touched);
  }
}

QImage* TPaintSurface::PixelImage() {
  QImage& layer = Layer();
  return layer.isNull() ? nullptr : &layer;
}

}  // namespace kv
