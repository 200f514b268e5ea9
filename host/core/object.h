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
#include <unordered_map>
#include <vector>

#include "host/core/arg_record.h"
#include "host/core/ustring.h"
#include "host/core/variant.h"

namespace kv {

class TObject;
class TClass;
class TComponent;
template <class T>
class ClassBuilder;

// Type kinds of published properties, in the host's order.
enum class TTypeKind : uint8_t {
  tkUnknown,
  tkInteger,
  tkChar,
  tkEnumeration,
  tkFloat,
  tkString,
  tkSet,
  tkClass,
  tkMethod,
  tkWChar,
  tkLString,
  tkWString,
  tkVariant,
  tkArray,
  tkRecord,
  tkInterface,
  tkInt64,
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
//
// Kinds ClassBuilder gives: tkInteger (tkInt64 for 64-bit fields), tkChar (a UTF-16 code
// unit), tkEnumeration (Boolean included), tkSet, tkFloat, tkLString (every string),
// tkVariant, tkClass and tkMethod. Accessors raise a clear exception for a value outside the
// property's range and for an object that is not of the property's class.
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

  // Registers the class; a name already taken (ignoring case) raises. Metaclasses are made
  // by KV_DEFINE_CLASS and live for the whole process.
  TClass(UString name, TClass* parent);
  ~TClass();
  TClass(const TClass&) = delete;
  TClass& operator=(const TClass&) = delete;

  const UString& Name() const { return name_; }
  TClass* Parent() const { return parent_; }
  bool InheritsFrom(const TClass* ancestor) const;  // true for the class itself

  // The virtual constructor: components are constructed with an owner (which may be null),
  // other classes without (the owner is then ignored). Abstract classes have none: Construct
  // raises "Cannot create an instance of the abstract class X". A constructor is not
  // inherited: a descendant without one of its own is abstract.
  void SetConstructor(PlainCtor ctor) { plainCtor_ = std::move(ctor); }
  void SetConstructor(OwnerCtor ctor) { ownerCtor_ = std::move(ctor); }
  bool IsComponentClass() const { return static_cast<bool>(ownerCtor_); }
  bool CanConstruct() const { return plainCtor_ || ownerCtor_; }
  TObject* Construct(TComponent* owner = nullptr) const;

  // Published properties, ancestors' first, each in declaration order. A descendant that
  // publishes a property of an inherited name replaces the inherited one in its place.
  std::vector<const TPropInfo*> Properties() const;
  const TPropInfo* FindProperty(UStringView name) const;  // ignores letter case
  // Used by ClassBuilder. An empty name, or one this class already declared, raises.
  void AddProperty(TPropInfo info);
  // Grows whenever any class gains a published property: a FindProperty result kept since
  // the same generation is still the answer.
  static uint64_t PropertyGeneration();

  // Every class that was ever declared, by name (ignoring case); nullptr when unknown.
  static TClass* Find(UStringView name);
  // A small number identifying the class, stable while the process lives.
  int32_t Id() const { return id_; }
  static TClass* ById(int32_t id);

 private:
  // The merged property list and its index by upper-cased name, rebuilt on first use after
  // any class gained a property (an ancestor may gain one after a descendant was looked at).
  struct PropertyIndex {
    uint64_t generation = 0;
    std::vector<const TPropInfo*> list;
    std::unordered_map<UString, const TPropInfo*> byName;
  };
  const PropertyIndex& Index() const;

  UString name_;
  TClass* parent_;
  int32_t id_;
  PlainCtor plainCtor_;
  OwnerCtor ownerCtor_;
  std::vector<std::unique_ptr<TPropInfo>> props_;
  mutable PropertyIndex index_;
};

// The root of every host class. Construction gives the object its handle; destruction runs
// the destroy observers (handles.h) and then drops the handle, so an object is reachable by
// its handle exactly while it lives.
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
  bool Is() const {
    return InheritsFrom(T::StaticClass());
  }

  // The handle scripts know this object by; never 0, never reused.
  int32_t Handle() const { return handle_ != 0 ? handle_ : RegisterLate(); }

  // Destroys the object (and so, for a component, everything it owns). An object that is
  // busy (a control delivering one of its own events, a form showing modally) may put its
  // destruction off until it is done; it is freed then.
  virtual void Free() { delete this; }

  // The object that owns this one without being told when it goes (a document's root
  // item, a control's Font or Lines): freeing this object would leave that owner with a
  // dangling pointer, so scripts may not (CheckScriptMayFree). Owners that are told (a
  // component's Owner, an XML item's parent) answer nullptr here, as do objects nothing
  // owns.
  virtual const TObject* Keeper() const { return nullptr; }

 protected:
  // For objects made in great numbers that scripts seldom see (the items of an XML
  // document): the handle is given when first asked for, so an object nobody asks about
  // takes no entry in the handle table. Until then handles::Find does not know it and
  // destroy observers are not told of its end; nothing can hold its handle before then.
  struct LateHandle {};
  explicit TObject(LateHandle) : handle_(0) {}

 private:
  int32_t RegisterLate() const;

  mutable int32_t handle_;  // 0 until registered
};

// Raises EInvalidPointer "Cannot free X: it belongs to Y" when the object has a Keeper.
// Every script-side Free asks this first.
void CheckScriptMayFree(const TObject& object);

// KV_CLASS(Name, Base) in a class body declares its metaclass accessors and the member
// function that KV_DEFINE_CLASS(Name, Base) defines in the class's .cpp (class_builder.h);
// being a member, that definition may name the class's private accessors.
#define KV_CLASS(Name, Base)                                         \
 public:                                                             \
  using KvBase = Base;                                               \
  static ::kv::TClass* StaticClass();                                \
  ::kv::TClass* ClassType() const override { return StaticClass(); } \
                                                                     \
 private:                                                            \
  static void KvDefineClass(::kv::ClassBuilder<Name>& c);

}  // namespace kv
