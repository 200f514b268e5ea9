// The object model: TObject, its metaclass TClass with a virtual constructor and the
// published-property tables, and the event handler type of method properties.
//
// Every host class derives from TObject and declares itself with KV_CLASS in its body; its
// .cpp defines the metaclass with KV_DEFINE_CLASS (see class_builder.h). Scripts never see
// addresses: an object is known to them by its handle (handles.h).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "host/core/arg_record.h"
#include "host/core/ustring.h"
#include "host/core/variant.h"

namespace kv {

class TObject;
class TClass;
class TComponent;

// Type kinds of published properties, in the host's order.
enum class TTypeKind : uint8_t {
  tkUnknown, tkInteger, tkChar, tkEnumeration, tkFloat, tkString, tkSet, tkClass, tkMethod,
  tkWChar, tkLString, tkWString, tkVariant, tkArray, tkRecord, tkInterface, tkInt64,
  tkDynArray,
};

// The value of a method (event) property: the routine the host calls with the event's
// arguments, and the identity of the object that serves it (nullptr when unassigned).
struct TMethod {
  std::function<void(TEventArgs&)> Code;
  const void* Data = nullptr;
  bool Assigned() const { return static_cast<bool>(Code); }
};

// One published property: its name, type kind and type name (the enumeration, set or class
// name; empty otherwise) and the accessors of its kind. Ordinal kinds read and write an
// integer: a class property's ordinal is the object's handle (0 for nil), a boolean's 0 or
// 1, an enumeration's the element's ordinal, a set's its bit mask. A missing setter makes
// the property read-only.
struct TPropInfo {
  UString Name;
  TTypeKind Kind = TTypeKind::tkUnknown;
  UString TypeName;
  std::function<int64_t(TObject*)> GetOrd;
  std::function<void(TObject*, int64_t)> SetOrd;
  std::function<double(TObject*)> GetFloat;
  std::function<void(TObject*, double)> SetFloat;
  std::function<UString(TObject*)> GetStr;
  std::function<void(TObject*, const UString&)> SetStr;
  std::function<Variant(TObject*)> GetVariant;
  std::function<void(TObject*, const Variant&)> SetVariant;
  std::function<TMethod(TObject*)> GetMethod;
  std::function<void(TObject*, const TMethod&)> SetMethod;
  // For a class property: the class its value must be.
  TClass* PropClass = nullptr;
};

// The metaclass of a host class. One instance per class lives for the whole process.
class TClass {
 public:
  using PlainCtor = std::function<TObject*()>;
  using OwnerCtor = std::function<TObject*(TComponent* owner)>;

  TClass(UString name, TClass* parent);
  TClass(const TClass&) = delete;
  TClass& operator=(const TClass&) = delete;

  const UString& Name() const { return name_; }
  TClass* Parent() const { return parent_; }
  bool InheritsFrom(const TClass* ancestor) const;  // true for the class itself

  // The virtual constructor: components are constructed with an owner (which may be null),
  // other classes without. Abstract classes have none and raise when constructed.
  void SetConstructor(PlainCtor ctor) { plainCtor_ = std::move(ctor); }
  void SetConstructor(OwnerCtor ctor) { ownerCtor_ = std::move(ctor); }
  bool IsComponentClass() const { return static_cast<bool>(ownerCtor_); }
  bool CanConstruct() const { return plainCtor_ || ownerCtor_; }
  TObject* Construct(TComponent* owner = nullptr) const;

  // Published properties, ancestors' first, each in declaration order.
  std::vector<const TPropInfo*> Properties() const;
  const TPropInfo* FindProperty(UStringView name) const;  // ignores letter case
  void AddProperty(TPropInfo info);  // used by ClassBuilder

  // Every class that was ever declared, by name (ignoring case); nullptr when unknown.
  static TClass* Find(UStringView name);
  // A small number identifying the class, stable while the process lives.
  int32_t Id() const { return id_; }
  static TClass* ById(int32_t id);

 private:
  UString name_;
  TClass* parent_;
  int32_t id_;
  PlainCtor plainCtor_;
  OwnerCtor ownerCtor_;
  std::vector<std::unique_ptr<TPropInfo>> props_;
};

class TObject {
 public:
  TObject();
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
  virtual ~TObject();

  static TClass* StaticClass();
  virtual TClass* ClassType() const { return StaticClass(); }
  const UString& ClassName() const { return ClassType()->Name(); }
  bool InheritsFrom(const TClass* c) const { return ClassType()->InheritsFrom(c); }
  template <class T>
  bool Is() const { return InheritsFrom(T::StaticClass()); }

  // The handle scripts know this object by; never 0, never reused.
  int32_t Handle() const { return handle_; }

  // Destroys the object (and so, for a component, everything it owns).
  void Free() { delete this; }

 private:
  int32_t handle_;
};

// KV_CLASS(Name, Base) in a class body declares its metaclass accessors.
#define KV_CLASS(Name, Base)                                           \
 public:                                                               \
  static ::kv::TClass* StaticClass();                                  \
  ::kv::TClass* ClassType() const override { return StaticClass(); } \
                                                                       \
 private:

}  // namespace kv
