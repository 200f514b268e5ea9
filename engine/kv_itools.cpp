// Type kinds, type compatibility and type display names.
#include "engine/kv_itools.h"

#include <algorithm>
#include <initializer_list>

#include "engine/kv_script.h"
#include "host/core/message_excerpt.h"

namespace kv {

namespace {

UStringView Significant(UStringView typeName) { return typeName.substr(0, kTypeNameSignificant); }

// The class descriptor of a type name as compatibility tests see it: a name cut to the
// significant length still finds a class whose full name is longer.
const TkvClassVariable* FindClassForTypeTest(UStringView typeName) {
  TkvScript* global = GlobalScript();
  if (!global || typeName.empty()) return nullptr;
  if (TkvClassVariable* cls = global->FindClass(typeName)) return cls;
  if (typeName.size() < kTypeNameSignificant) return nullptr;
  UStringView wanted = Significant(typeName);
  for (int i = 0; i < global->ItemCount(); ++i) {
    auto* cls = dynamic_cast<TkvClassVariable*>(global->ItemAt(i));
    if (cls && SameText(Significant(cls->Name), wanted)) return cls;
  }
  return nullptr;
}

// Walks registered ancestor names when a descriptor has no host class to ask.
bool DescriptorDescendsFrom(const TkvClassVariable* cls, const TkvClassVariable* ancestor) {
  if (cls->HostClass && ancestor->HostClass)
    return cls->HostClass->InheritsFrom(ancestor->HostClass);
  constexpr int kMaxChain = 256;  // a registration cycle must not hang the compiler
  for (int step = 0; cls && step < kMaxChain; ++step) {
    if (cls == ancestor) return true;
    cls = FindClassForTypeTest(cls->AncestorName);
  }
  return false;
}

bool IsAnyOf(TkvValueKind kind, std::initializer_list<TkvValueKind> kinds) {
  for (TkvValueKind k : kinds)
    if (k == kind) return true;
  return false;
}

}  // namespace

TkvValueKind TypeKindOf(UStringView typeName) {
  if (typeName.empty()) return vkClass;
  TkvScript* global = GlobalScript();
  if (!global) return vkClass;
  const TkvCustomVariable* item = global->FindItem(typeName);
  return item ? item->Kind : vkClass;
}

bool ClassInherits(UStringView ancestorName, UStringView className) {
  const TkvClassVariable* ancestor = FindClassForTypeTest(Significant(ancestorName));
  const TkvClassVariable* cls = FindClassForTypeTest(Significant(className));
  return ancestor && cls && DescriptorDescendsFrom(cls, ancestor);
}

bool TypesCompatible(TkvValueKind targetKind, UStringView targetType, TkvValueKind sourceKind,
                     UStringView sourceType) {
  switch (targetKind) {
    case vkInteger:
      return IsAnyOf(sourceKind, {vkInteger, vkFloat, vkVariant, vkEnum});
    case vkBoolean:
      return IsAnyOf(sourceKind, {vkBoolean, vkVariant});
    case vkFloat:
      return IsAnyOf(sourceKind, {vkInteger, vkFloat, vkVariant});
    case vkChar:
    case vkString:
      return IsAnyOf(sourceKind, {vkChar, vkString, vkVariant});
    case vkClass:
      return sourceKind == vkVariant ||
             (sourceKind == vkClass && ClassInherits(targetType, sourceType));
    case vkArray:
      return IsAnyOf(sourceKind, {vkArray, vkVariant});
    case vkVariant:
      return true;
    case vkEnum:
      return IsAnyOf(sourceKind, {vkInteger, vkVariant}) ||
             (sourceKind == vkEnum && SameText(Significant(targetType), Significant(sourceType)));
    case vkConstructor:
      return false;
  }
  return false;
}

bool AssignmentCompatible(const TkvCustomVariable* variable, const TkvCustomVariable* expr) {
  if (variable->Kind == vkInteger && expr->Kind == vkFloat) return false;
  return TypesCompatible(variable->Kind, variable->TypeName, expr->Kind, expr->TypeName);
}

UString TypeDisplayName(TkvValueKind kind, UStringView typeName) {
  switch (kind) {
    case vkInteger:
      return u"Integer";
    case vkBoolean:
      return u"Boolean";
    case vkFloat:
      return u"Extended";
    case vkChar:
      return u"Char";
    case vkString:
      return u"String";
    case vkClass:
      return u"Class " + UString(typeName);
    case vkArray:
      return u"Array";
    case vkVariant:
      return u"Variant";
    case vkEnum:
      return UString(typeName);
    case vkConstructor:
      return u"Variant";
  }
  return u"Variant";
}

UString TypeDisplayName(const TkvCustomVariable* item) {
  return TypeDisplayName(item->Kind, item->TypeName);
}

UString FormatMessage(UStringView pattern, UStringView arg) {
  const size_t s = pattern.find(u"%s");
  const size_t d = pattern.find(u"%d");
  const size_t at = std::min(s, d);
  if (at == UStringView::npos) return UString(pattern);
  UString result(pattern.substr(0, at));
  result += MessageExcerpt(arg);
  result += pattern.substr(at + 2);
  return result;
}

}  // namespace kv
