// Member helpers: the items through which a designator step reaches host code (properties,
// methods, events) or an element of an array or a string. The designator sets each up
// right before the call.
#pragma once

#include <memory>

#include "engine/kv_items.h"

namespace kv {

class TkvDesignatorItem;

class TkvCustomHelper : public TkvCustomVariable {
 public:
  TkvCustomHelper(UString name, UString typeName, TkvValueKind kind)
      : TkvCustomVariable(std::move(name), std::move(typeName), kind) {
    Roles = irHelper;
  }
  TkvCustomVariable* ParentRef = nullptr;  // item of the preceding step; not owned
  Variant InstanceValue;                   // value of the preceding step
  TkvScript* Script = nullptr;             // where name look-ups start; not owned
};

class TkvPropertyHelper : public TkvCustomHelper {
 public:
  using TkvCustomHelper::TkvCustomHelper;
  Variant GetValue() override;
  void SetValue(const Variant& value) override;
  TClass* HostClass = nullptr;
  bool Published = false;
  TkvGetterCallback Getter;
  TkvSetterCallback Setter;

 private:
  // The published property of the object's class by Name, and the upper-cased name the
  // getter and setter receive: both looked up again only when Name, the class or the set of
  // published properties changed, so an access neither searches nor allocates.
  const TPropInfo* PublishedProperty(const TObject& obj);
  const UString& CallbackName();

  // Made at the first access: most registered properties are never used, and each holds only
  // this pointer until then.
  struct AccessCache {
    UString nameOf;
    UString upperName;
    const TClass* propClass = nullptr;
    UString propNameOf;
    uint64_t propGeneration = 0;
    const TPropInfo* prop = nullptr;
  };
  AccessCache& Cache();
  std::unique_ptr<AccessCache> cache_;
};

class TkvMethodHelper : public TkvCustomHelper {
 public:
  using TkvCustomHelper::TkvCustomHelper;
  Variant GetValue() override;                   // the call
  void SetValue(const Variant& value) override;  // ".SET" of an indexed property
  UString Category;
  TClass* HostClass = nullptr;
  UString Description;
  bool IsIndexedProperty = false;
  TkvMethodCallback Callback;
  UString Declaration;

  // Whether a call through `step` may take CallWith: every parameter has its argument and
  // none is a var parameter, so the parameter items need not carry the values.
  bool TakesArgumentsOf(const TkvDesignatorItem& step) const;
  // The call, with the arguments of `step` evaluated in order straight into the callback's
  // argument list (GetValue reads them from the parameter items the designator bound).
  Variant CallWith(TkvDesignatorItem& step);

  // A helper named, typed and parameterised by a declaration string; read-only.
  static TkvMethodHelper* FromDeclaration(UStringView declaration, TkvMethodCallback callback,
                                          TClass* hostClass);

 private:
  void FillParams(TkvParams& params) const;
  // The upper-cased names the callback receives (with ".GET"/".SET" for an indexed
  // property), made at the first call after Name or IsIndexedProperty changed.
  const UString& CallName(bool write);

  // What calls keep between them, made at the first call: most registered members are never
  // called, and each holds only this pointer until then.
  struct CallCache {
    UString nameOf;
    bool indexed = false;
    UString getName;
    UString setName;
    // The argument list of the last call, kept for its capacity; a call that finds it taken
    // (a re-entrant call from inside the callback) makes its own.
    TkvParams spareParams;
  };
  CallCache& Cache();
  std::unique_ptr<CallCache> cache_;
};

class TkvEventHelper : public TkvCustomHelper {
 public:
  using TkvCustomHelper::TkvCustomHelper;
  Variant GetValue() override;                   // the handler's name, or the empty string
  void SetValue(const Variant& value) override;  // attaches or detaches a handler
  TClass* HostClass = nullptr;
  TkvEventClass AdapterClass = nullptr;
};

// Element access of the array held by ParentRef (1 to 3 dimensions), in place. When
// ParentRef's stored value is no array, the array of InstanceValue is used (a write then
// stores the whole array through ParentRef). Both operations release InstanceValue first:
// hand the preceding value over with std::move, or a write copies the whole array because
// its body is still shared.
class TkvArrayHelper : public TkvCustomHelper {
 public:
  using TkvCustomHelper::TkvCustomHelper;
  Variant GetValue() override;
  void SetValue(const Variant& value) override;
};

// One character of InstanceValue; a write stores the whole new string through ParentRef.
class TkvStringHelper : public TkvCustomHelper {
 public:
  TkvStringHelper();
  Variant GetValue() override;
  void SetValue(const Variant& value) override;
};

}  // namespace kv
