// TMetafile: a vector picture, the drawing operations recorded by metafile canvases (or
// read from a file) and played back at any size. Files are SVG.
//
// TMetafileCanvas: a canvas whose drawing is recorded into a metafile. Each operation joins
// the metafile as it is done.
#pragma once

#include <QPicture>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "host/gui/canvas.h"
#include "host/gui/graphic.h"

namespace kv {

class TMetafile : public TGraphic {
  KV_CLASS(TMetafile, TGraphic)

 public:
  TMetafile() = default;

  // Copies another metafile's recording and size.
  void Assign(TPersistent* source) override;

  // The size set last, or while none was set, the extent of what was drawn (from 0, 0).
  int32_t Width() const override;
  int32_t Height() const override;
  void SetWidth(int32_t width) override;
  void SetHeight(int32_t height) override;

  // Reading replaces the recording with the file's picture and takes its size.
  void LoadFromFile(const UString& fileName) override;
  void SaveToFile(const UString& fileName) const override;
  void DrawOn(QPainter& painter, const QRect& target) const override;

  // Appends one recorded operation (a metafile canvas does).
  void Record(const QPicture& operation);
  void Clear();

 private:
  // Recordings pile up as small pictures; every kBatch of them are merged into one.
  static constexpr size_t kBatch = 256;

  QRect Extent() const;
  void PlayBack(QPainter& painter) const;
  void MergePending();

  std::vector<QPicture> merged_;
  std::vector<QPicture> pending_;
  std::optional<int32_t> width_;  // unset: the extent's
  std::optional<int32_t> height_;
};

class TMetafileCanvas : public TCanvas {
  KV_CLASS(TMetafileCanvas, TCanvas)

 public:
  // `referenceDevice` names the device whose resolution the host would record for; this
  // one records in pixels, so it is accepted and ignored. A nil metafile raises
  // EInvalidGraphicOperation; drawing after the metafile was freed raises "Canvas does not
  // allow drawing".
  TMetafileCanvas(TMetafile* metafile, int32_t referenceDevice);
  ~TMetafileCanvas() override;

 private:
  class Device;
  std::unique_ptr<Device> recorder_;
};

}  // namespace kv
