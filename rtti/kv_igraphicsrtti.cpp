#include "rtti/kv_igraphicsrtti.h"

#include "host/core/class_builder.h"
#include "host/gui/bitmap.h"
#include "host/gui/canvas.h"
#include "host/gui/colors.h"
#include "host/gui/metafile.h"

namespace kv {

KV_DEFINE_CLASS(TkvGraphicsRTTI, TComponent) { c.Constructor(); }

namespace graphicsrtti {

namespace {

TkvLibraryHolder<TFunctions>& Holder() {
  static TkvLibraryHolder<TFunctions> holder;
  return holder;
}

}  // namespace

TFunctions::TFunctions() : TkvBindingLibrary(u"Graphics") {
  RegisterColors();
  RegisterTypes();
  RegisterFont();
  RegisterPen();
  RegisterBrush();
  RegisterCanvas();
  RegisterGraphic();
  RegisterMetafile();
  RegisterMetafileCanvas();
  RegisterBitmap();
}

void TFunctions::RegisterColors() {
  ForEachColorIdent(
      [this](UStringView name, TColor color) { Const(name, u"Integer", Variant(int32_t{color})); });
}

void TFunctions::RegisterTypes() {
  FlagsEnum(u"TFontStyles", u"fsBold, fsItalic, fsUnderline, fsStrikeout");
  Enum(u"TFontPitch", u"fpDefault, fpVariable, fpFixed");
  Enum(u"TPenStyle", u"psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame");
  Enum(u"TPenMode",
       u"pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot, "
       u"pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor");
  Enum(u"TBrushStyle",
       u"bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, "
       u"bsDiagCross");
}

void TFunctions::RegisterFont() { Class<TFont>(u"TPersistent").Constructor(u"constructor Create"); }

void TFunctions::RegisterPen() { Class<TPen>(u"TPersistent").Constructor(u"constructor Create"); }

void TFunctions::RegisterBrush() {
  Class<TBrush>(u"TPersistent").Constructor(u"constructor Create");
}

void TFunctions::RegisterCanvas() {
  auto c = Class<TCanvas>(u"TPersistent");
  c.Constructor(u"constructor Create");
  c.Method(u"procedure Draw(X, Y: Integer; Graphic: TGraphic)", [](TCanvas& self, TkvParams& p) {
    self.Draw(IntArg(p, 0), IntArg(p, 1), ObjectArg<TGraphic>(p, 2));
  });
  c.Method(u"procedure Ellipse(X1, Y1, X2, Y2: Integer)", [](TCanvas& self, TkvParams& p) {
    self.Ellipse(IntArg(p, 0), IntArg(p, 1), IntArg(p, 2), IntArg(p, 3));
  });
  c.Method(u"procedure LineTo(X, Y: Integer)",
           [](TCanvas& self, TkvParams& p) { self.LineTo(IntArg(p, 0), IntArg(p, 1)); });
  c.Method(u"procedure MoveTo(X, Y: Integer)",
           [](TCanvas& self, TkvParams& p) { self.MoveTo(IntArg(p, 0), IntArg(p, 1)); });
  c.Method(u"procedure Rectangle(X1, Y1, X2, Y2: Integer)", [](TCanvas& self, TkvParams& p) {
    self.Rectangle(IntArg(p, 0), IntArg(p, 1), IntArg(p, 2), IntArg(p, 3));
  });
  c.Method(u"procedure RoundRect(X1, Y1, X2, Y2, X3, Y3: Integer)",
           [](TCanvas& self, TkvParams& p) {
             self.RoundRect(IntArg(p, 0), IntArg(p, 1), IntArg(p, 2), IntArg(p, 3), IntArg(p, 4),
                            IntArg(p, 5));
           });
  c.Method(u"procedure StretchDraw(X1, Y1, X2, Y2: Integer; Graphic: TGraphic)",
           [](TCanvas& self, TkvParams& p) {
             self.StretchDraw(CornersRect(IntArg(p, 0), IntArg(p, 1), IntArg(p, 2), IntArg(p, 3)),
                              ObjectArg<TGraphic>(p, 4));
           });
  c.Method(u"function TextHeight(const Text: string): Integer",
           [](TCanvas& self, TkvParams& p) { return self.TextHeight(StrArg(p, 0)); });
  c.Method(
      u"procedure TextOut(X, Y: Integer; const Text: string)",
      [](TCanvas& self, TkvParams& p) { self.TextOut(IntArg(p, 0), IntArg(p, 1), StrArg(p, 2)); });
  c.Method(u"function TextWidth(const Text: string): Integer",
           [](TCanvas& self, TkvParams& p) { return self.TextWidth(StrArg(p, 0)); });
  c.IndexedProperty(
      u"Pixels", u"Integer, Integer", u"TColor",
      [](TCanvas& self, TkvParams& p) { return self.Pixels(IntArg(p, 0), IntArg(p, 1)); },
      [](TCanvas& self, TkvParams& p, const Variant& v) {
        self.SetPixels(IntArg(p, 0), IntArg(p, 1), v.ToInt());
      });
}

void TFunctions::RegisterGraphic() {
  auto c = Class<TGraphic>(u"TPersistent");
  // The class the script named is constructed (TBitmap.Create makes a bitmap); TGraphic
  // itself is abstract and raises.
  c.Constructor(u"constructor Create");
  c.Method(u"procedure LoadFromFile(const Filename: string)",
           [](TGraphic& self, TkvParams& p) { self.LoadFromFile(StrArg(p, 0)); });
  c.Method(u"procedure SaveToFile(const Filename: string)",
           [](TGraphic& self, TkvParams& p) { self.SaveToFile(StrArg(p, 0)); });
  c.Property(
      u"Height", u"Integer", [](TGraphic& self) { return self.Height(); },
      [](TGraphic& self, const Variant& v) { self.SetHeight(v.ToInt()); });
  c.Property(
      u"Width", u"Integer", [](TGraphic& self) { return self.Width(); },
      [](TGraphic& self, const Variant& v) { self.SetWidth(v.ToInt()); });
}

void TFunctions::RegisterMetafile() { Class<TMetafile>(u"TGraphic"); }

void TFunctions::RegisterMetafileCanvas() {
  auto c = Class<TMetafileCanvas>(u"TCanvas");
  c.Constructor(u"constructor Create(AMetafile: TMetafile; ReferenceDevice: Integer)",
                [](TClass&, TkvParams& p) {
                  return new TMetafileCanvas(ObjectArg<TMetafile>(p, 0), IntArg(p, 1));
                });
}

void TFunctions::RegisterBitmap() {
  auto c = Class<TBitmap>(u"TGraphic");
  c.Property(u"Canvas", u"TCanvas", [](TBitmap& self) { return ObjectResult(self.Canvas()); });
}

}  // namespace graphicsrtti

void StartGraphicsRtti() { graphicsrtti::Holder().Start(); }

void StopGraphicsRtti() { graphicsrtti::Holder().Stop(); }

graphicsrtti::TFunctions* GraphicsRtti() { return graphicsrtti::Holder().Instance(); }

}  // namespace kv
