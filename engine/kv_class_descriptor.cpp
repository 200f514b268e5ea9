// Class descriptors: a host class as scripts see it, with its members.
#include "engine/kv_member_helpers.h"
#include "engine/kv_registration_checks.h"
#include "engine/kv_script.h"
#include "host/core/handles.h"

namespace kv {

namespace {

// A member name is registered once per class; a descendant may name it again.
void CheckNewMember(const TkvClassVariable& cls, UStringView name, UStringView declaration) {
  for (int i = 0; i < cls.MemberCount(); ++i)
    if (SameTextAscii(cls.MemberAt(i)->Name, name))
      BadDeclaration(declaration, cls.Name + u"." + UString(name) + u" is already registered");
}

struct MemberType {
  TkvValueKind kind;
  UString typeName;
};

// The item kind and type name of a published property of a host type kind.
MemberType MemberTypeOf(const TPropInfo& prop) {
  switch (prop.Kind) {
    case TTypeKind::tkChar:
    case TTypeKind::tkWChar:
      return {vkChar, {}};
    case TTypeKind::tkEnumeration:
      return {SameText(prop.TypeName, u"Boolean") ? vkBoolean : vkEnum, prop.TypeName};
    case TTypeKind::tkFloat:
      return {vkFloat, {}};
    case TTypeKind::tkString:
    case TTypeKind::tkLString:
    case TTypeKind::tkWString:
      return {vkString, {}};
    case TTypeKind::tkSet:
      return {vkEnum, prop.TypeName};
    case TTypeKind::tkClass:
      return {vkClass, prop.TypeName};
    case TTypeKind::tkVariant:
      return {vkVariant, {}};
    default:
      return {vkInteger, {}};
  }
}

bool IsWritable(const TPropInfo& prop) {
  return prop.SetOrd || prop.SetFloat || prop.SetStr || prop.SetVariant;
}

// "Integer, String" -> "(p0: Integer; p1: String)"; no brackets without index types.
UString IndexParamList(UStringView indexTypes) {
  UString list;
  int position = 0;
  size_t start = 0;
  while (start <= indexTypes.size()) {
    size_t comma = indexTypes.find(u',', start);
    if (comma == UStringView::npos) comma = indexTypes.size();
    UStringView type = indexTypes.substr(start, comma - start);
    while (!type.empty() && type.front() <= u' ') type.remove_prefix(1);
    while (!type.empty() && type.back() <= u' ') type.remove_suffix(1);
    if (!type.empty()) {
      if (position > 0) list += u"; ";
      // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) on the joined temporary.
      list += u'p';
      list += IntToUStr(position++);
      list += u": ";
      list += type;
    }
    start = comma + 1;
  }
  return list.empty() ? list : u"(" + list + u")";
}

}  // namespace

TkvClassVariable::TkvClassVariable(TClass* hostClass, UString ancestorName)
    : TkvCustomVariable(hostClass ? hostClass->Name() : UString(),
                        hostClass ? hostClass->Name() : UString(), vkClass),
      AncestorName(std::move(ancestorName)),
      HostClass(hostClass) {
  AddItem(new TkvParamItem(UString(), UString(), vkVariant, TkvPassing::ByValue,
                           TkvPresence::Optional));
  ImportPublishedProperties();
}

void TkvClassVariable::ImportPublishedProperties() {
  if (!HostClass) return;
  for (const TPropInfo* prop : HostClass->Properties()) {
    if (prop->Kind == TTypeKind::tkMethod) continue;  // events are defined by the binding
    MemberType type = MemberTypeOf(*prop);
    auto* helper = new TkvPropertyHelper(prop->Name, std::move(type.typeName), type.kind);
    helper->HostClass = HostClass;
    helper->Published = true;
    helper->ReadOnly = !IsWritable(*prop);
    Members.AddItem(helper);
  }
}

// The bare class name yields an instance to construct; a cast yields its argument. Either
// way the cast parameter is Null again for the next use.
Variant TkvClassVariable::GetValue() {
  TkvParamItem* cast = ParamAt(0);
  Variant value = cast ? std::move(cast->Value) : Variant::Null();
  if (cast) cast->Value = Variant::Null();
  if (value.IsNull()) return HostClass ? Variant(handles::Unconstructed(HostClass)) : value;
  return value;
}

TkvMethodHelper* TkvClassVariable::AddMethod(UStringView declaration, TkvMethodCallback callback) {
  std::unique_ptr<TkvMethodHelper> owned(
      TkvMethodHelper::FromDeclaration(declaration, std::move(callback), HostClass));
  CheckNewMember(*this, owned->Name, declaration);
  TkvMethodHelper* method = owned.release();
  method->Registrar = MemberRegistrar;
  Members.AddItem(method);
  return method;
}

TkvMethodHelper* TkvClassVariable::DefineMethod(UStringView declaration,
                                                TkvMethodCallback callback) {
  return AddMethod(declaration, std::move(callback));
}

// "constructor Create(AOwner: TComponent)" -> "function Create(AOwner: TComponent): Constructor"
TkvMethodHelper* TkvClassVariable::DefineConstructor(UStringView declaration,
                                                     TkvMethodCallback callback) {
  const size_t blank = declaration.find(u' ');
  UString asFunction = u"function";
  if (blank != UStringView::npos) asFunction += declaration.substr(blank);
  asFunction += u": Constructor";
  return AddMethod(asFunction, std::move(callback));
}

TkvCustomVariable* TkvClassVariable::DefineProperty(UStringView name, UStringView typeName,
                                                    TkvGetterCallback getter,
                                                    TkvSetterCallback setter) {
  const UString declaration = u"property " + UString(name) + u": " + UString(typeName);
  CheckNewMember(*this, name, declaration);
  NoteTypeName(typeName, declaration);
  auto* property = new TkvPropertyHelper(UString(name), UString(typeName), TypeKindOf(typeName));
  property->HostClass = HostClass;
  property->ReadOnly = !setter;
  property->Getter = std::move(getter);
  property->Setter = std::move(setter);
  property->Registrar = MemberRegistrar;
  Members.AddItem(property);
  return property;
}

TkvMethodHelper* TkvClassVariable::DefineIndexedProperty(UStringView name, UStringView indexTypes,
                                                         bool readOnly, TkvMethodCallback callback,
                                                         UStringView resultType) {
  const UString declaration =
      u"function " + UString(name) + IndexParamList(indexTypes) + u": " + UString(resultType);
  TkvMethodHelper* property = AddMethod(declaration, std::move(callback));
  property->ReadOnly = readOnly;
  property->IsIndexedProperty = true;
  return property;
}

TkvMethodHelper* TkvClassVariable::DefineDefaultProperty(UStringView name, UStringView indexTypes,
                                                         bool readOnly, TkvMethodCallback callback,
                                                         UStringView resultType) {
  TkvMethodHelper* property =
      DefineIndexedProperty(name, indexTypes, readOnly, std::move(callback), resultType);
  DefaultProperty = property;
  return property;
}

TkvCustomVariable* TkvClassVariable::DefineEvent(UStringView name, TkvEventClass adapterClass) {
  CheckNewMember(*this, name, u"event " + UString(name));
  auto* event = new TkvEventHelper(UString(name), UString(), vkString);
  event->HostClass = HostClass;
  event->AdapterClass = adapterClass;
  event->Registrar = MemberRegistrar;
  Members.AddItem(event);
  return event;
}

TkvCustomVariable* TkvClassVariable::MemberAt(int index) const {
  if (index < 0 || index >= Members.ItemCount()) return nullptr;
  return static_cast<TkvCustomVariable*>(Members.ItemAt(index));
}

TkvCustomVariable* TkvClassVariable::FindMember(UStringView name) const {
  constexpr int kMaxChain = 256;  // ancestor names that form a cycle end the search
  const TkvClassVariable* cls = this;
  for (int step = 0; cls && step < kMaxChain; ++step) {
    for (int i = 0; i < cls->MemberCount(); ++i) {
      TkvCustomVariable* member = cls->MemberAt(i);
      if (SameTextAscii(member->Name, name)) return member;
    }
    TkvScript* global = GlobalScript();
    if (!global || cls->AncestorName.empty()) return nullptr;
    cls = global->FindClass(cls->AncestorName);
  }
  return nullptr;
}

}  // namespace kv
