#include "host/gui/graphic.h"

#include <QByteArray>

#include "host/core/class_builder.h"
#include "host/core/file_save.h"
#include "host/core/file_stream.h"
#include "host/gui/graphics_errors.h"

namespace kv {

KV_DEFINE_CLASS(TGraphic, TPersistent) {}

void TGraphic::CheckSide(const char16_t* what, int64_t value) {
  if (value < 0 || value > kMaxSide)
    throw EInvalidGraphic(UString(what) + u" must be 0.." + IntToUStr(kMaxSide) + u", not " +
                          IntToUStr(value));
}

QByteArray TGraphic::ReadFileBytes(const UString& fileName) {
  TFileStream file(fileName, fmOpenRead);
  const std::string bytes = file.ReadAllBytes();
  return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

// Pictures save like every other file: a failed save leaves the old file.
void TGraphic::WriteFileBytes(const UString& fileName, const QByteArray& bytes) {
  SaveFileBytes(fileName, std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
}

UString TGraphic::LowerExtension(const UString& fileName) {
  const size_t dot = fileName.find_last_of(u'.');
  const size_t slash = fileName.find_last_of(u'/');
  if (dot == UString::npos || (slash != UString::npos && dot < slash)) return UString();
  return LowerCase(UStringView(fileName).substr(dot + 1));
}

}  // namespace kv
