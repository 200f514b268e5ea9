// TGraphic: a picture of some kind (a bitmap, a metafile) that a canvas can draw, with a
// size, and a file format of its own.
#pragma once

#include <cstdint>

#include "host/core/component.h"
#include "host/core/ustring.h"

class QByteArray;
class QPainter;
class QRect;

namespace kv {

// Abstract: TGraphic.Create raises; a script names the kind it wants (TBitmap.Create).
class TGraphic : public TPersistent {
  KV_CLASS(TGraphic, TPersistent)

 public:
  // The longest side a picture may have, in pixels.
  static constexpr int32_t kMaxSide = 1 << 16;

  virtual int32_t Width() const = 0;
  virtual int32_t Height() const = 0;
  // Raise EInvalidGraphic outside 0..kMaxSide (or beyond what the kind of picture can hold).
  virtual void SetWidth(int32_t width) = 0;
  virtual void SetHeight(int32_t height) = 0;
  bool Empty() const { return Width() == 0 || Height() == 0; }

  // A file that cannot be opened raises EFOpenError or EFCreateError with its name; one
  // the class cannot read, or a name whose extension names no format of the class, raises
  // EInvalidGraphic with the name.
  virtual void LoadFromFile(const UString& fileName) = 0;
  virtual void SaveToFile(const UString& fileName) const = 0;

  // Draws the whole picture scaled into `target` with the painter's current state (a
  // canvas sets the copy mode first).
  virtual void DrawOn(QPainter& painter, const QRect& target) const = 0;

 protected:
  // Raises EInvalidGraphic "<what> must be 0..kMaxSide, not <value>".
  static void CheckSide(const char16_t* what, int64_t value);
  // A file's bytes and writing them, through the host's file streams (their messages name
  // the file and the reason).
  static QByteArray ReadFileBytes(const UString& fileName);
  static void WriteFileBytes(const UString& fileName, const QByteArray& bytes);
  // The extension of a file name in lower case, without the dot ("" for none).
  static UString LowerExtension(const UString& fileName);
};

}  // namespace kv
