// Property members: published properties through the host's type information, the others
// through the binding's getter and setter.
#include "engine/kv_member_helpers.h"
#include "engine/kv_member_object.h"
#include "host/core/handles.h"
#include "host/core/variant_ops.h"

namespace kv {

TObject* MemberObject(const Variant& instanceValue, const TClass* hostClass) {
  TObject* obj = handles::ToObject(instanceValue.ToInt());
  if (hostClass && !obj->InheritsFrom(hostClass))
    throw EInvalidCast(u"Object of class " + obj->ClassName() + u" is not a " + hostClass->Name());
  return obj;
}

namespace {

bool IsOrdinalKind(TTypeKind kind) {
  switch (kind) {
    case TTypeKind::tkInteger:
    case TTypeKind::tkChar:
    case TTypeKind::tkEnumeration:
    case TTypeKind::tkSet:
    case TTypeKind::tkClass:
    case TTypeKind::tkWChar:
    case TTypeKind::tkInt64:
      return true;
    default:
      return false;
  }
}

bool IsStringKind(TTypeKind kind) {
  return kind == TTypeKind::tkString || kind == TTypeKind::tkLString ||
         kind == TTypeKind::tkWString;
}

// A class property's value is a handle (0 for nil); other ordinals are numbers that may
// exceed 32 bits (64-bit properties).
Variant ReadPublished(TObject* obj, const TPropInfo& prop) {
  if (IsOrdinalKind(prop.Kind))
    return prop.GetOrd ? Variant::FromInt64(prop.GetOrd(obj)) : Variant::Null();
  if (prop.Kind == TTypeKind::tkFloat)
    return prop.GetFloat ? Variant(prop.GetFloat(obj)) : Variant::Null();
  if (IsStringKind(prop.Kind)) return prop.GetStr ? Variant(prop.GetStr(obj)) : Variant::Null();
  if (prop.Kind == TTypeKind::tkVariant && prop.GetVariant) return prop.GetVariant(obj);
  return Variant::Null();
}

// A set written as a set constructor ([akLeft, akTop]) is the union of its elements' flag
// values; written as a number (akLeft or akTop) it is that mask.
int64_t SetMaskOf(const Variant& value) {
  const VarArrayData* array = value.ArrayData();
  if (!array) return value.ToInt();
  int64_t mask = 0;
  for (const Variant& element : array->elems) mask |= static_cast<uint32_t>(element.ToInt());
  return mask;
}

void WritePublished(TObject* obj, const TPropInfo& prop, TkvValueKind helperKind,
                    const Variant& value) {
  if (IsOrdinalKind(prop.Kind)) {
    if (!prop.SetOrd) return;
    if (prop.Kind == TTypeKind::tkSet)
      prop.SetOrd(obj, SetMaskOf(value));
    else if (helperKind == vkBoolean)
      prop.SetOrd(obj, value.ToBool() ? 1 : 0);
    else
      prop.SetOrd(obj, prop.Kind == TTypeKind::tkInt64 ? value.ToInt64() : value.ToInt());
  } else if (prop.Kind == TTypeKind::tkFloat) {
    if (prop.SetFloat) prop.SetFloat(obj, value.ToDouble());
  } else if (IsStringKind(prop.Kind)) {
    if (prop.SetStr) prop.SetStr(obj, value.ToString());
  } else if (prop.Kind == TTypeKind::tkVariant) {
    if (prop.SetVariant) prop.SetVariant(obj, value);
  }
}

// Getters of Boolean properties may answer any number: non-zero is True. Null stays "no
// value".
Variant AsBoolean(const Variant& value) {
  if (value.IsNull() || value.Type() == varBoolean) return value;
  return Variant(VarCompare(value, Variant(0)) != 0);
}

}  // namespace

TkvPropertyHelper::AccessCache& TkvPropertyHelper::Cache() {
  if (!cache_) cache_ = std::make_unique<AccessCache>();
  return *cache_;
}

const TPropInfo* TkvPropertyHelper::PublishedProperty(const TObject& obj) {
  AccessCache& cache = Cache();
  const TClass* cls = obj.ClassType();
  const uint64_t generation = TClass::PropertyGeneration();
  if (cache.propClass != cls || cache.propGeneration != generation ||
      !SameCodeUnits(cache.propNameOf, Name)) {
    cache.prop = cls->FindProperty(Name);
    cache.propClass = cls;
    cache.propGeneration = generation;
    cache.propNameOf = Name;
  }
  return cache.prop;
}

const UString& TkvPropertyHelper::CallbackName() {
  AccessCache& cache = Cache();
  if (cache.upperName.empty() || !SameCodeUnits(cache.nameOf, Name)) {
    cache.nameOf = Name;
    cache.upperName = UpperAscii(Name);
  }
  return cache.upperName;
}

Variant TkvPropertyHelper::GetValue() {
  Variant result = Variant::Null();
  if (Published) {
    TObject* obj = MemberObject(InstanceValue, HostClass);
    if (const TPropInfo* prop = PublishedProperty(*obj)) result = ReadPublished(obj, *prop);
  } else if (Getter) {
    result = Getter(InstanceValue.ToInt(), HostClass, CallbackName());
  }
  return Kind == vkBoolean ? AsBoolean(result) : result;
}

void TkvPropertyHelper::SetValue(const Variant& value) {
  if (ReadOnly) return;
  if (Published) {
    TObject* obj = MemberObject(InstanceValue, HostClass);
    if (const TPropInfo* prop = PublishedProperty(*obj)) WritePublished(obj, *prop, Kind, value);
  } else if (Setter) {
    Setter(InstanceValue.ToInt(), HostClass, CallbackName(), value);
  }
}

}  // namespace kv
