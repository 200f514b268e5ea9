// Method members and bound functions: the call through the binding's method callback, and
// the read and write of indexed properties.
#include <algorithm>

#include "engine/kv_designators.h"
#include "engine/kv_member_helpers.h"

namespace kv {

namespace {

int32_t CallInstance(const Variant& instanceValue) {
  return instanceValue.IsNull() ? 0 : instanceValue.ToInt();
}

}  // namespace

TkvMethodHelper* TkvMethodHelper::FromDeclaration(UStringView declaration,
                                                  TkvMethodCallback callback, TClass* hostClass) {
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

void TkvMethodHelper::FillParams(TkvParams& params) const {
  params.reserve(static_cast<size_t>(ItemCount()) + 1);
  for (int i = 0; i < ItemCount(); ++i) params.push_back(ParamAt(i)->GetValue());
}

TkvMethodHelper::CallCache& TkvMethodHelper::Cache() {
  if (!cache_) cache_ = std::make_unique<CallCache>();
  return *cache_;
}

namespace {

// Member names are a few code units long: a plain loop beats a call of memcmp.
bool SameShortName(const UString& a, const UString& b) {
  const size_t n = a.size();
  if (n != b.size()) return false;
  for (size_t i = 0; i < n; ++i) {
    if (a[i] != b[i]) return false;
  }
  return true;
}

}  // namespace

const UString& TkvMethodHelper::CallName(bool write) {
  CallCache& cache = Cache();
  if (!SameShortName(cache.nameOf, Name) || cache.indexed != IsIndexedProperty ||
      cache.getName.empty()) {
    cache.nameOf = Name;
    cache.indexed = IsIndexedProperty;
    cache.getName = UpperAscii(Name);
    cache.setName = cache.getName + u".SET";
    if (IsIndexedProperty) cache.getName += u".GET";
  }
  return write ? cache.setName : cache.getName;
}

namespace {

// Lends a helper's spare argument list to one call and takes it back, emptied, afterwards:
// the values must not outlive the call (they may hold the last reference to an object).
class ParamsLease {
 public:
  explicit ParamsLease(TkvParams& home) : home_(home), params_(std::move(home)) { params_.clear(); }
  ~ParamsLease() {
    params_.clear();
    home_ = std::move(params_);
  }
  ParamsLease(const ParamsLease&) = delete;
  ParamsLease& operator=(const ParamsLease&) = delete;
  TkvParams& Params() { return params_; }

 private:
  TkvParams& home_;
  TkvParams params_;
};

}  // namespace

// The callback may store new values into Params; var parameters take them back. A callback
// that raises leaves the parameters as they were.
Variant TkvMethodHelper::GetValue() {
  if (!Callback) return Variant(0);
  ParamsLease lease(Cache().spareParams);
  TkvParams& params = lease.Params();
  FillParams(params);
  Variant result = Callback(CallInstance(InstanceValue), HostClass, CallName(false), params);
  const int count = std::min(ItemCount(), static_cast<int>(params.size()));
  for (int i = 0; i < count; ++i) {
    TkvParamItem* param = ParamAt(i);
    if (param->IsVar) param->SetValue(params[static_cast<size_t>(i)]);
  }
  return result;
}

bool TkvMethodHelper::TakesArgumentsOf(const TkvDesignatorItem& step) const {
  if (step.ItemCount() != ItemCount()) return false;
  for (int i = 0; i < ItemCount(); ++i) {
    if (ParamAt(i)->IsVar) return false;
  }
  return true;
}

Variant TkvMethodHelper::CallWith(TkvDesignatorItem& step) {
  if (!Callback) return Variant(0);
  ParamsLease lease(Cache().spareParams);
  TkvParams& params = lease.Params();
  const int count = step.ItemCount();
  params.reserve(static_cast<size_t>(count) + 1);
  for (int i = 0; i < count; ++i) params.push_back(step.ArgAt(i)->GetValue());
  return Callback(CallInstance(InstanceValue), HostClass, CallName(false), params);
}

void TkvMethodHelper::SetValue(const Variant& value) {
  if (!Callback || !IsIndexedProperty || ReadOnly) return;
  ParamsLease lease(Cache().spareParams);
  TkvParams& params = lease.Params();
  FillParams(params);
  params.push_back(value);
  Callback(CallInstance(InstanceValue), HostClass, CallName(true), params);
}

}  // namespace kv
