// Text across the Qt boundary: QString holds the same UTF-16 code units as a script
// string, so both directions copy without decoding.
#pragma once

#include <QString>

#include "host/core/ustring.h"

namespace kv {

inline QString QStringOf(UStringView text) {
  return QString(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size()));
}

inline UString UStringOf(const QString& text) {
  return UString(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<size_t>(text.size()));
}

}  // namespace kv
