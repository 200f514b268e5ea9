// What a TCanvas draws on. A bitmap's canvas draws into its image, a control's canvas into
// the widget while the widget paints and into a retained layer otherwise, a metafile canvas
// into the metafile's picture. The canvas opens the device for each drawing operation, so
// a device may change between operations (a bitmap resized, a paint event begun).
#pragma once

class QImage;
class QPainter;
class QRect;
class QSize;

namespace kv {

class TCanvasDevice {
 public:
  virtual ~TCanvasDevice() = default;

  // A painter ready for one operation, in device coordinates; the canvas sets pen, brush,
  // font and render hints on it before drawing. nullptr when nothing can be drawn now (the
  // canvas then raises).
  virtual QPainter* BeginDraw() = 0;
  // Ends the operation BeginDraw began; `touched` bounds what it drew (a control repaints
  // that much of its widget).
  virtual void EndDraw(const QRect& touched) = 0;
  // The image whose pixels Pixels reads and writes, or nullptr for a device without pixels.
  virtual QImage* PixelImage() = 0;
};

}  // namespace kv
