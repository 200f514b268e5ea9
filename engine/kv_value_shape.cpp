#include "engine/kv_value_shape.h"

#include "host/core/handles.h"

namespace kv {

TkvValueShape ShapeOf(const Variant& value) {
  if (value.IsString()) return {TkvValueShape::kString, nullptr};
  if (value.IsArray()) return {TkvValueShape::kArray, nullptr};
  const uint16_t type = value.Type();
  if (type != varInteger && type != varSmallint && type != varByte) return {};
  const int32_t handle = value.ToInt();
  if (const TClass* cls = handles::UnconstructedClass(handle)) {
    return {TkvValueShape::kObject, cls};
  }
  if (const TObject* object = handles::Find(handle)) {
    return {TkvValueShape::kObject, object->ClassType()};
  }
  return {};
}

}  // namespace kv
