// The items scripts name: variables, type names, parameters, procedures and class
// descriptors.
//
// Ownership: a procedure owns its local script and its parameters; a class descriptor owns
// its members. References named "not owned" are plain pointers whose target outlives the
// holder.
#pragma once

#include <memory>
#include <vector>

#include "engine/kv_call_frame.h"
#include "engine/kv_callbacks.h"
#include "engine/kv_condition.h"
#include "engine/kv_item_list.h"
#include "engine/kv_itools.h"
#include "host/core/object.h"
#include "host/core/source_place.h"
#include "host/core/ustring.h"
#include "host/core/variant.h"

namespace kv {

class TkvScript;
class TkvParamItem;
class TkvProcVariable;
class TkvMethodHelper;
class TkvCustomEvent;

// What an item is, for the paths that run for every access or call and would otherwise ask
// the type system. The constructors set the bits; a subclass inherits its base's bits and
// must clear irValueInPlace when it overrides GetValue or SetValue.
enum TkvItemRole : uint8_t {
  // Value is the item's value: GetValue reads it, and SetValue writes it unless ReadOnly.
  irValueInPlace = 1,
  // A variable or parameter: when it belongs to a procedure's local script, it is a slot of
  // the procedure's call frame.
  irFrameSlot = 2,
  irVariable = 4,  // a TkvVariable (string variables included)
  irStringVariable = 8,
  irProcedure = 16,
  irDesignator = 32,
  irHelper = 64,
};

// The named item every script-visible thing derives from. Children are its parameters
// (callable items) or argument expressions (designator steps).
class TkvCustomVariable : public TkvItemList {
 public:
  TkvCustomVariable() = default;
  TkvCustomVariable(UString name, UString typeName, TkvValueKind kind);

  virtual void SetValue(const Variant& value);  // ignored when ReadOnly
  virtual Variant GetValue();

  TkvParamItem* ParamAt(int index) const;
  int RequiredParamCount() const;
  bool HasRole(TkvItemRole role) const { return (Roles & role) != 0; }

  // The one-byte fields stand together: a compile makes items by the hundred thousand, and
  // scattered between the pointers and strings they padded every item by 24 bytes.
  uint8_t Roles = 0;  // TkvItemRole bits
  bool ReadOnly = false;
  bool NeedResult = true;
  TkvValueKind Kind = vkInteger;
  TkvRegistrar Registrar = nullptr;
  UString Name;
  TkvCustomVariable* RefItem = nullptr;  // not owned
  SourcePlace Place;  // where the source names the item; no place for registered ones
  UString TypeName;
  Variant Value = Variant::Null();
};

// Whether the item keeps its value in Value with the plain GetValue and SetValue (variables,
// parameters, constant operands): reading Value is then the same as GetValue, and writing it
// when not ReadOnly the same as SetValue. Statements ask once, when prepared, so that the
// hot paths skip the virtual calls.
bool HasPlainValue(const TkvCustomVariable* item);
// The item whose stored value reading and writing `item` comes down to: the item itself when
// it has a plain value, else for a compiled one-step path without arguments (a parameter)
// the plain item of that step, whose general evaluation reads and writes just that item.
// nullptr otherwise, also for a path that is still deferred.
TkvCustomVariable* PlainValueItem(TkvCustomVariable* item);

// Script variables, constants (read-only), enumeration values, hidden with-variables, Result.
class TkvVariable : public TkvCustomVariable {
 public:
  TkvVariable(UString name, UString typeName, TkvValueKind kind);
};

// A type name entry.
class TkvTypeVariable : public TkvCustomVariable {
 public:
  using TkvCustomVariable::TkvCustomVariable;
};

// A script variable of type String with native, shared storage that the string fast path
// indexes in place. SetValue ignores ReadOnly.
class TkvstringVariable : public TkvVariable {
 public:
  TkvstringVariable(UString name, UString typeName, TkvValueKind kind);
  void SetValue(const Variant& value) override;
  Variant GetValue() override;
  SharedString Storage;
};

// How an argument reaches a parameter, and whether the call may leave it out (the
// parameter's default then stands in).
enum class TkvPassing : uint8_t { ByValue, ByVar };
enum class TkvPresence : uint8_t { Required, Optional };

class TkvParamItem : public TkvCustomVariable {
 public:
  TkvParamItem(UString name, UString typeName, TkvValueKind kind, TkvPassing passing,
               TkvPresence presence);
  Variant DefaultValue = Variant::Null();
  bool Optional = false;
  bool IsVar = false;
};

// A procedure or function declared in a script. Its parameters are both its children (for
// argument binding) and items of its local script (for look-up in the body); it owns them.
class TkvProcVariable : public TkvCustomVariable {
 public:
  TkvProcVariable(UString name, UString typeName, TkvValueKind kind, bool isFunction,
                  TkvScript* declaringScript);
  ~TkvProcVariable() override;
  Variant GetValue() override;  // the call; arguments were bound by the designator
  inline Variant Call();        // the same without the virtual dispatch (kv_procedure_call.h)

  // Recursion support: the values of every slot of the call frame, in item order.
  void SaveLocals(std::vector<Variant>& out);
  void RestoreLocals(const std::vector<Variant>& saved);
  // The call frame, laid out again whenever the local script's items changed.
  TkvCallFrame& Frame() {
    frame_.Layout(*LocalScript);
    return frame_;
  }

  bool Executing = false;
  bool IsFunction = false;
  std::unique_ptr<TkvScript> LocalScript;

 private:
  TkvCallFrame frame_;
};

// Base of expressions (kv_iexpression.h).
class TkvCustomExpression : public TkvCustomVariable {
 public:
  using TkvCustomVariable::TkvCustomVariable;
  // The truth of the value, as a condition takes it; expressions that compare answer
  // without building the Boolean value.
  virtual bool Test() { return IsTrue(GetValue()); }
};

// Creates the event adapter of one event type for an object and a handler procedure.
using TkvEventClass = TkvCustomEvent* (*)(TObject* instance, TkvProcVariable* handler);

// The descriptor of a host class: its members (published properties first, then the ones
// the binding defines) and its default property. Its single child is the type-cast
// parameter: TStringList(x) yields x, the bare TStringList an unconstructed instance.
class TkvClassVariable : public TkvCustomVariable {
 public:
  TkvClassVariable(TClass* hostClass, UString ancestorName);
  Variant GetValue() override;

  TkvMethodHelper* DefineMethod(UStringView declaration, TkvMethodCallback callback);
  TkvMethodHelper* DefineConstructor(UStringView declaration, TkvMethodCallback callback);
  TkvCustomVariable* DefineProperty(UStringView name, UStringView typeName,
                                    TkvGetterCallback getter, TkvSetterCallback setter);
  TkvMethodHelper* DefineIndexedProperty(UStringView name, UStringView indexTypes, bool readOnly,
                                         TkvMethodCallback callback, UStringView resultType);
  TkvMethodHelper* DefineDefaultProperty(UStringView name, UStringView indexTypes, bool readOnly,
                                         TkvMethodCallback callback, UStringView resultType);
  TkvCustomVariable* DefineEvent(UStringView name, TkvEventClass adapterClass);

  int MemberCount() const { return Members.ItemCount(); }
  TkvCustomVariable* MemberAt(int index) const;
  // Own members first (ASCII case-insensitive), then the ancestors' through the global
  // script object; nullptr at the end of the chain.
  TkvCustomVariable* FindMember(UStringView name) const;

  UString AncestorName;
  TClass* HostClass = nullptr;
  TkvMethodHelper* DefaultProperty = nullptr;  // not owned (a member of this or an ancestor)
  TkvItemList Members;
  // Stamped as Registrar on every member defined from now on; DefineClass sets it to the
  // script's CurrentRegistrar. A binding library that adds members to a class another
  // library registered sets it to itself around its definitions, so that RemoveOwnedBy
  // takes exactly its members away again.
  TkvRegistrar MemberRegistrar = nullptr;

 private:
  void ImportPublishedProperties();
  TkvMethodHelper* AddMethod(UStringView declaration, TkvMethodCallback callback);
};

}  // namespace kv
