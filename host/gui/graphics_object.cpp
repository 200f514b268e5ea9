#include "host/gui/graphics_object.h"

#include "host/core/class_builder.h"
#include "host/core/exceptions.h"

namespace kv {

KV_DEFINE_CLASS(TGraphicsObject, TPersistent) {}

void TGraphicsObject::CheckOrdinal(const char16_t* property, int value, int last) {
  if (value < 0 || value > last)
    throw ERangeError(UString(property) + u" must be 0.." + IntToUStr(last) + u", not " +
                      IntToUStr(value));
}

}  // namespace kv
