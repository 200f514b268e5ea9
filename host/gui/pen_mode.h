// Painting a figure under a pen mode. The modes that combine the pen with what is there
// (pmXor, pmNot, ...) must touch each pixel of a figure once: Qt fills a figure and then
// strokes its outline, which overlap, and a pixel XORed twice would come out unchanged. So
// on pixel devices such a figure is painted into a layer first and the layer is combined
// with the device through the covered pixels only.
#pragma once

#include <functional>

#include "host/gui/pen.h"

class QBrush;
class QPainter;
class QPen;
class QRect;

namespace kv {

// Paints `figure` (drawing with whatever pen and brush the painter has) with `pen` and
// `brush` under `mode`. `bounds` must hold every pixel the figure may cover. pmNop paints
// nothing; pmBlack and pmWhite paint in that colour.
void PaintWithPenMode(QPainter& painter, TPenMode mode, QPen pen, QBrush brush, const QRect& bounds,
                      const std::function<void(QPainter&)>& figure);

}  // namespace kv
