// The graphics library: the colour names as constants, the font style set, the pen, brush
// and font enumerations, and the drawing classes (fonts, pens, brushes, canvases, bitmaps and
// metafiles). Their published properties (a font's Name, Size, Color, Style, a canvas's
// Font, Pen and Brush) reach scripts without registration. Starts after the core classes,
// whose TPersistent it names as an ancestor.
#pragma once

#include "host/core/component.h"
#include "rtti/kv_binding.h"

namespace kv {

namespace graphicsrtti {

class TFunctions : public TkvBindingLibrary {
 public:
  // Registers the colours, the set and the enumerations, then the classes, in order.
  TFunctions();

 private:
  void RegisterColors();
  void RegisterTypes();
  void RegisterFont();
  void RegisterPen();
  void RegisterBrush();
  void RegisterCanvas();
  void RegisterGraphic();
  void RegisterMetafile();
  void RegisterMetafileCanvas();
  void RegisterBitmap();
};

}  // namespace graphicsrtti

// The marker component of the library: a form that holds one documents that its scripts
// draw.
class TkvGraphicsRTTI : public TComponent {
  KV_CLASS(TkvGraphicsRTTI, TComponent)

 public:
  explicit TkvGraphicsRTTI(TComponent* owner = nullptr) : TComponent(owner) {}
};

// The first StartGraphicsRtti creates and registers the library; the StopGraphicsRtti that
// balances it removes its items (when the interpreter has not ended yet) and frees it.
void StartGraphicsRtti();
void StopGraphicsRtti();
// The running library, or nullptr.
graphicsrtti::TFunctions* GraphicsRtti();

}  // namespace kv
