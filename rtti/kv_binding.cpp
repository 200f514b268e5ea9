#include "rtti/kv_binding.h"

#include "host/core/exceptions.h"

namespace kv {

// ---------------------------------------------------------------------------------------
// Arguments

const Variant& Arg(const TkvParams& params, size_t index) {
  if (index >= params.size())
    throw Exception(u"Argument " + IntToUStr(static_cast<long long>(index) + 1) +
                    u" is missing: the routine's declaration does not match its handler");
  return params[index];
}

Variant& VarArg(TkvParams& params, size_t index) {
  Arg(params, index);
  return params[index];
}

int32_t IntArg(const TkvParams& params, size_t index) { return Arg(params, index).ToInt(); }
double FloatArg(const TkvParams& params, size_t index) { return Arg(params, index).ToDouble(); }
bool BoolArg(const TkvParams& params, size_t index) { return Arg(params, index).ToBool(); }
UString StrArg(const TkvParams& params, size_t index) { return Arg(params, index).ToString(); }

namespace binding_detail {

TClass& ClassToConstruct(int32_t instance, const TClass* boundClass, UStringView member) {
  TClass* target = handles::UnconstructedClass(instance);
  if (!target) {
    // A forged number that is neither a class nor an object gets the handle table's error.
    if (instance != 0 && !handles::Find(instance)) handles::ToObject(instance);
    // A live object or nil: the script wrote obj.Create instead of TClassName.Create.
    UString what = instance == 0 ? UString(u"nil") : u"an existing object";
    throw EInvalidPointer(u"Constructor " + UString(member) + u" called on " + what +
                          u": call it on the class, as in " + boundClass->Name() + u"." +
                          UString(member));
  }
  if (!target->InheritsFrom(boundClass))
    throw EInvalidCast(u"Class " + target->Name() + u" is not a " + boundClass->Name());
  return *target;
}

TClass& ClassOfInstance(int32_t instance) {
  if (TClass* cls = handles::UnconstructedClass(instance)) return *cls;
  return *handles::ToObject(instance)->ClassType();
}

}  // namespace binding_detail

// ---------------------------------------------------------------------------------------
// The library base

TkvBindingLibrary::TkvBindingLibrary(UString name) : name_(std::move(name)) {}

TkvBindingLibrary::~TkvBindingLibrary() {
  if (TkvScript* global = GlobalScript()) global->RemoveOwnedBy(Registrar());
}

TkvBindingLibrary::RegistrationScope::RegistrationScope(const TkvBindingLibrary& library)
    : script_(GlobalScript()), previous_(nullptr) {
  if (!script_)
    throw Exception(u"The interpreter has ended: " + library.Name() + u" cannot register anything");
  previous_ = script_->CurrentRegistrar;
  script_->CurrentRegistrar = library.Registrar();
}

TkvBindingLibrary::RegistrationScope::~RegistrationScope() {
  script_->CurrentRegistrar = previous_;
}

Variant TkvBindingLibrary::DispatchMethod(int32_t instance, TClass* cls, const UString& name,
                                          TkvParams& params) {
  auto it = methods_.find(KeyView{cls, name});
  if (it == methods_.end()) return Variant();
  return it->second(instance, params);
}

Variant TkvBindingLibrary::DispatchGet(int32_t instance, TClass* cls, const UString& name) {
  auto it = getters_.find(KeyView{cls, name});
  if (it == getters_.end()) return Variant();
  return it->second(instance);
}

void TkvBindingLibrary::DispatchSet(int32_t instance, TClass* cls, const UString& name,
                                    const Variant& value) {
  auto it = setters_.find(KeyView{cls, name});
  if (it != setters_.end()) it->second(instance, value);
}

TkvMethodCallback TkvBindingLibrary::MethodCallback() {
  return [this](int32_t instance, TClass* cls, const UString& name, TkvParams& params) {
    return DispatchMethod(instance, cls, name, params);
  };
}

TkvGetterCallback TkvBindingLibrary::GetterCallback() {
  return [this](int32_t instance, TClass* cls, const UString& name) {
    return DispatchGet(instance, cls, name);
  };
}

TkvSetterCallback TkvBindingLibrary::SetterCallback() {
  return [this](int32_t instance, TClass* cls, const UString& name, const Variant& value) {
    DispatchSet(instance, cls, name, value);
  };
}

void TkvBindingLibrary::Duplicate(const TClass* cls, const UString& name) const {
  UString owner = cls ? cls->Name() + u"." : UString();
  throw Exception(name_ + u" registers " + owner + name + u" twice");
}

void TkvBindingLibrary::AddMethodHandler(const TClass* cls, UString upperName,
                                         TkvMemberHandler handler) {
  Key key{cls, std::move(upperName)};
  if (methods_.contains(key)) Duplicate(cls, key.name);
  methods_.emplace(std::move(key), std::move(handler));
}

void TkvBindingLibrary::AddGetter(const TClass* cls, UString upperName, TkvGetterHandler handler) {
  Key key{cls, std::move(upperName)};
  if (getters_.contains(key)) Duplicate(cls, key.name);
  getters_.emplace(std::move(key), std::move(handler));
}

void TkvBindingLibrary::AddSetter(const TClass* cls, UString upperName, TkvSetterHandler handler) {
  Key key{cls, std::move(upperName)};
  if (setters_.contains(key)) Duplicate(cls, key.name);
  setters_.emplace(std::move(key), std::move(handler));
}

void TkvBindingLibrary::AddFunction(UStringView declaration, UStringView category,
                                    TkvMemberHandler handler) {
  RegistrationScope scope(*this);
  TkvMethodHelper* helper = GlobalScript()->DefineFunction(declaration, MethodCallback(), category);
  AddMethodHandler(nullptr, UpperAscii(helper->Name), std::move(handler));
}

void TkvBindingLibrary::Const(UStringView name, UStringView typeName, const Variant& value) {
  RegistrationScope scope(*this);
  GlobalScript()->DefineConst(name, typeName, value);
}

void TkvBindingLibrary::Enum(UStringView typeName, UStringView names) {
  RegistrationScope scope(*this);
  GlobalScript()->DefineEnum(typeName, names);
}

void TkvBindingLibrary::FlagsEnum(UStringView typeName, UStringView names) {
  RegistrationScope scope(*this);
  GlobalScript()->DefineFlagsEnum(typeName, names);
}

void TkvBindingLibrary::Type(UStringView name, TkvValueKind kind) {
  RegistrationScope scope(*this);
  GlobalScript()->DefineType(name, kind);
}

TkvClassVariable* TkvBindingLibrary::NewClass(TClass* cls, UStringView ancestorName) {
  RegistrationScope scope(*this);
  TkvClassVariable* descriptor = GlobalScript()->DefineClass(cls, ancestorName);
  if (!descriptor)
    throw Exception(name_ + u" registers class " + cls->Name() +
                    u", but the name is already taken");
  return descriptor;
}

TkvClassVariable* TkvBindingLibrary::ExistingClass(TClass* cls) {
  RegistrationScope scope(*this);
  TkvClassVariable* descriptor = GlobalScript()->FindClass(cls->Name());
  if (!descriptor || descriptor->HostClass != cls)
    throw Exception(name_ + u" extends class " + cls->Name() + u", which is not registered");
  return descriptor;
}

}  // namespace kv
