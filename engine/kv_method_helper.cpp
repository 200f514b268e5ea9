// Method members and bound functions: the call through the binding's method callback, and
// the read and write of indexed properties.
#include <algorithm>

#include "engine/kv_iinterpreter.h"

namespace kv {

namespace {

int32_t CallInstance(const Variant& instanceValue) {
  return instanceValue.IsNull() ? 0 : instanceValue.ToInt();
}

}  // namespace

TkvMethodHelper* TkvMethodHelper::FromDeclaration(UStringView declaration,
                                                  TkvMethodCallback callback,
                                                  TClass* hostClass) {
  std::unique_ptr<TkvCustomVariable> parsed = ParseDeclaration(declaration);
  auto* method = new TkvMethodHelper(parsed->Name, parsed->TypeName, parsed->Kind);
  while (parsed->ItemCount() > 0) {
    TkvItemList* param = parsed->ItemAt(0);
    parsed->RemoveItem(param);
    method->AddItem(param);
  }
  method->ReadOnly = true;
  method->HostClass = hostClass;
  method->Callback = std::move(callback);
  method->Declaration = UString(declaration);
  return method;
}

TkvParams TkvMethodHelper::CurrentParams() const {
  TkvParams params;
  params.reserve(static_cast<size_t>(ItemCount()) + 1);
  for (int i = 0; i < ItemCount(); ++i) params.push_back(ParamAt(i)->GetValue());
  return params;
}

// The callback may store new values into Params; var parameters take them back. A callback
// that raises leaves the parameters as they were.
Variant TkvMethodHelper::GetValue() {
  if (!Callback) return Variant(0);
  TkvParams params = CurrentParams();
  UString name = UpperAscii(Name);
  if (IsIndexedProperty) name += u".GET";
  Variant result = Callback(CallInstance(InstanceValue), HostClass, name, params);
  const int count = std::min(ItemCount(), static_cast<int>(params.size()));
  for (int i = 0; i < count; ++i) {
    TkvParamItem* param = ParamAt(i);
    if (param->IsVar) param->SetValue(params[static_cast<size_t>(i)]);
  }
  return result;
}

void TkvMethodHelper::SetValue(const Variant& value) {
  if (!Callback || !IsIndexedProperty || ReadOnly) return;
  TkvParams params = CurrentParams();
  params.push_back(value);
  Callback(CallInstance(InstanceValue), HostClass, UpperAscii(Name) + u".SET", params);
}

}  // namespace kv
