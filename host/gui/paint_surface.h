// The canvas device of a control that paints itself (a form, a paint box, a custom control):
// inside the widget's paint event the canvas draws on the widget; outside it, into a
// retained layer the paint event draws first, so that drawing done at any time is kept
// (until the control is resized) instead of being lost.
#pragma once

#include <QImage>
#include <QPainter>
#include <functional>
#include <memory>

#include "host/gui/canvas_device.h"

class QWidget;

namespace kv {

class TCanvas;
class TObject;

class TPaintSurface : public TCanvasDevice {
 public:
  // The canvas belongs to `keeper` (a script may not free it).
  TPaintSurface(QWidget* widget, const TObject* keeper);
  ~TPaintSurface() override;

  TCanvas* Canvas() const { return canvas_.get(); }
  // Serves the widget's paint event: the retained layer, then `paint` drawing on Canvas.
  void Paint(const std::function<void()>& paint);
  // The layer no longer fits: it starts empty again.
  void Resized();

  QPainter* BeginDraw() override;
  void EndDraw(const QRect& touched) override;
  QImage* PixelImage() override;

 private:
  QImage& Layer();

  QWidget* widget_;
  std::unique_ptr<TCanvas> canvas_;
  QImage layer_;
  QPainter layerPainter_;
  QPainter* active_ = nullptr;  // the paint event's painter while it runs
};

}  // namespace kv
