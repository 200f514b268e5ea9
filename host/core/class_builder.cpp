#include "host/core/class_builder.h"

#include <cmath>

#include "host/core/exceptions.h"

namespace kv::builder_detail {

TObject* CheckedSelf(TObject* obj, const TClass* cls) {
  if (!obj) throw EInvalidPointer(u"Object reference is nil");
  if (!obj->InheritsFrom(cls))
    throw EInvalidCast(u"Object of class " + obj->ClassName() + u" is not a " + cls->Name());
  return obj;
}

void CheckRange(const UString& propName, int64_t value, int64_t low, int64_t high) {
  if (value >= low && value <= high) return;
  throw ERangeError(u"Range check error: " + IntToUStr(value) + u" is outside the range " +
                    IntToUStr(low) + u".." + IntToUStr(high) + u" of property " + propName);
}

void CheckFloatRange(double value) {
  if (std::isfinite(value) && std::fabs(value) > std::numeric_limits<float>::max())
    throw EOverflow(u"Floating point overflow");
}

int32_t OrdinalToHandle(int64_t value) {
  if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max())
    throw EInvalidPointer(u"Invalid object reference (" + IntToUStr(value) +
                          u"): the object does not exist or was freed");
  return static_cast<int32_t>(value);
}

}  // namespace kv::builder_detail
