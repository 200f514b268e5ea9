#include "host/gui/pen_mode.h"

#include <QBrush>
#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <QPen>
#include <QRegion>
#include <optional>
#include <vector>

namespace kv {

namespace {

// The Qt raster operation of each combining mode; nothing for the modes that simply paint.
std::optional<QPainter::CompositionMode> RasterOp(TPenMode mode) {
  switch (mode) {
    case pmNot:
      return QPainter::RasterOp_NotDestination;
    case pmNotCopy:
      return QPainter::RasterOp_NotSource;
    case pmMergePenNot:
      return QPainter::RasterOp_SourceOrNotDestination;
    case pmMaskPenNot:
      return QPainter::RasterOp_SourceAndNotDestination;
    case pmMergeNotPen:
      return QPainter::RasterOp_NotSourceOrDestination;
    case pmMaskNotPen:
      return QPainter::RasterOp_NotSourceAndDestination;
    case pmMerge:
      return QPainter::RasterOp_SourceOrDestination;
    case pmNotMerge:
      return QPainter::RasterOp_NotSourceAndNotDestination;
    case pmMask:
      return QPainter::RasterOp_SourceAndDestination;
    case pmNotMask:
      return QPainter::RasterOp_NotSourceOrNotDestination;
    case pmXor:
      return QPainter::RasterOp_SourceXorDestination;
    case pmNotXor:
      return QPainter::RasterOp_NotSourceXorDestination;
    default:
      return std::nullopt;
  }
}

// The pixels of a layer something was painted on, as a region placed at `origin`.
QRegion CoveredPixels(const QImage& layer, const QPoint& origin) {
  std::vector<QRect> runs;
  for (int y = 0; y < layer.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(layer.constScanLine(y));
    int x = 0;
    while (x < layer.width()) {
      if (qAlpha(line[x]) == 0) {
        ++x;
        continue;
      }
      const int start = x;
      while (x < layer.width() && qAlpha(line[x]) != 0) ++x;
      runs.emplace_back(origin.x() + start, origin.y() + y, x - start, 1);
    }
  }
  QRegion region;
  if (!runs.empty()) region.setRects(runs.data(), static_cast<int>(runs.size()));
  return region;
}

void PaintThroughLayer(QPainter& painter, QPainter::CompositionMode op, const QRect& bounds,
                       const std::function<void(QPainter&)>& figure) {
  const QPaintDevice* device = painter.device();
  const QRect area = bounds & QRect(0, 0, device->width(), device->height());
  if (area.isEmpty()) return;
  QImage layer(area.size(), QImage::Format_ARGB32_Premultiplied);
  if (layer.isNull()) return;  // no memory for it: leave the device as it is
  layer.fill(Qt::transparent);
  {
    QPainter layerPainter(&layer);
    layerPainter.translate(-area.topLeft());
    layerPainter.setPen(painter.pen());
    layerPainter.setBrush(painter.brush());
    figure(layerPainter);
  }
  const QRegion covered = CoveredPixels(layer, area.topLeft());
  if (covered.isEmpty()) return;
  painter.save();
  painter.setClipRegion(covered, Qt::IntersectClip);
  painter.setCompositionMode(op);
  painter.drawImage(area.topLeft(), layer);
  painter.restore();
}

}  // namespace

void PaintWithPenMode(QPainter& painter, TPenMode mode, QPen pen, QBrush brush, const QRect& bounds,
                      const std::function<void(QPainter&)>& figure) {
  if (mode == pmNop) return;
  if (mode == pmBlack || mode == pmWhite) {
    const QColor color(mode == pmBlack ? Qt::black : Qt::white);
    pen.setColor(color);
    brush.setColor(color);
  }
  painter.setPen(pen);
  painter.setBrush(brush);
  const std::optional<QPainter::CompositionMode> op = RasterOp(mode);
  if (!op) {
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    figure(painter);
  } else if (painter.paintEngine()->type() == QPaintEngine::Raster) {
    PaintThroughLayer(painter, *op, bounds, figure);
  } else {
    // A vector device (a metafile) records the operation; whoever plays it back combines.
    painter.setCompositionMode(*op);
    figure(painter);
  }
}

}  // namespace kv
