// Declaring a host class's metaclass: its name and ancestor, its virtual constructor and its
// published properties, all in one place in the class's .cpp:
//
//   // strings.h
//   class TStringList : public TStrings {
//     KV_CLASS(TStringList, TStrings)
//    public:
//     TDuplicates Duplicates() const;
//     void SetDuplicates(TDuplicates d);
//     ...
//   };
//
//   // strings.cpp, inside namespace kv
//   KV_DEFINE_CLASS(TStringList, TStrings) {
//     c.Constructor();
//     c.Property("Duplicates", "TDuplicates", &TStringList::Duplicates,
//                &TStringList::SetDuplicates);
//     c.Property("Count", &TStringList::Count);  // no setter: read-only
//     c.Event("OnChange", "TNotifyEvent", &TStringList::OnChange);
//   }
//
// The property's kind follows from the getter's value type:
//
//   bool                      tkEnumeration, type name "Boolean", ordinal 0 or 1
//   char16_t                  tkChar, ordinal = the code unit
//   enumeration E             tkEnumeration, type name required, ordinal = the element's
//                             (E needs a fixed underlying type: `enum E : uint8_t`)
//   SetOf<E>                  tkSet, type name required, ordinal = the bit mask
//   other integers            tkInteger (tkInt64 for 64-bit ones)
//   float, double             tkFloat
//   UString                   tkLString
//   Variant                   tkVariant
//   U* (U a TObject)          tkClass, type name U's, ordinal = the handle (0 for nil)
//   TMethod                   only through Event: tkMethod
//
// A getter is a member function of the class or an ancestor (const or not), a data member,
// or any callable taking `T&`. A setter is a member function or callable taking (T&, value),
// or a data member; without one the property is read-only. An event's TMethod data member
// alone makes it readable and assignable.
//
// Writes are checked: an ordinal outside the C++ type's range raises ERangeError, a float
// too large for a `float` EOverflow, a class-valued write of a stale handle or of an object of
// another class EInvalidPointer or EInvalidCast. Accessors called with an object that is not
// a T raise EInvalidCast; with nil, EInvalidPointer.
//
// The metaclass is made on the first call of T::StaticClass() (a function-local static), so
// no order of static initialisers matters. KV_DEFINE_CLASS is written in the namespace of the
// class, with the class's plain name (it becomes the name scripts see).
#pragma once

#include <concepts>
#include <cstdint>
#include <functional>
#include <limits>
#include <string_view>
#include <type_traits>

#include "host/core/handles.h"
#include "host/core/object.h"
#include "host/core/set_of.h"

namespace kv {

namespace builder_detail {

// The object an accessor was called with, checked to be of `cls`.
TObject* CheckedSelf(TObject* obj, const TClass* cls);
// Raises ERangeError unless low <= value <= high.
void CheckRange(const UString& propName, int64_t value, int64_t low, int64_t high);
// Raises EOverflow when a finite value does not fit a float.
void CheckFloatRange(double value);
// A class property's ordinal turned into a handle; one outside the 32-bit range raises as
// any unknown handle does.
int32_t OrdinalToHandle(int64_t value);

template <class V>
inline constexpr bool kIsSetOf = false;
template <class E>
inline constexpr bool kIsSetOf<SetOf<E>> = true;

template <class V>
concept ObjectPointer =
    std::is_pointer_v<V> && std::is_base_of_v<TObject, std::remove_cv_t<std::remove_pointer_t<V>>>;

// An enumeration with a fixed underlying type holds every value of that type, so storing any
// in-range ordinal is well defined.
template <class E>
concept FixedEnum = std::is_enum_v<E> && requires {
  E{std::underlying_type_t<E>{}};
};

template <class V>
inline constexpr bool kNeedsTypeName = std::is_enum_v<V> || kIsSetOf<V>;

template <class>
inline constexpr bool kUnsupported = false;

}  // namespace builder_detail

template <class T>
class ClassBuilder {
 public:
  explicit ClassBuilder(TClass& cls) : cls_(cls) {}
  TClass& Class() const { return cls_; }

  // The virtual constructor: T(owner) when T can be made from a TComponent* (components),
  // else T().
  ClassBuilder& Constructor();

  // A published property; see the table above for the kinds.
  template <class Get, class Set = std::nullptr_t>
  requires(!std::is_convertible_v<Get, std::string_view>)
      ClassBuilder& Property(std::string_view name, Get get, Set set = nullptr);
  // The same with a type name (required for enumerations and sets; for a class property it
  // replaces the class's name, for others it is informative only).
  template <class Get, class Set = std::nullptr_t>
  ClassBuilder& Property(std::string_view name, std::string_view typeName, Get get,
                         Set set = nullptr);

  // A published event (method property) of the given event type ("TNotifyEvent").
  template <class Get, class Set = std::nullptr_t>
  ClassBuilder& Event(std::string_view name, std::string_view typeName, Get get, Set set = nullptr);

  // Used by KV_DEFINE_CLASS: creates the metaclass, stores it in `slot` before the
  // definitions run (so they may name the class itself), then runs them.
  static void Build(TClass*& slot, const char16_t* name, TClass* parent,
                    void (*define)(ClassBuilder&));

 private:
  template <class Get>
  using ValueOf = std::remove_cvref_t<std::invoke_result_t<const Get&, T&>>;

  static T& Self(TObject* obj, const TClass* cls) {
    return *static_cast<T*>(builder_detail::CheckedSelf(obj, cls));
  }
  template <class Set, class V>
  static void Store(const Set& set, T& self, V&& value) {
    if constexpr (std::is_member_object_pointer_v<Set>)
      self.*set = std::forward<V>(value);
    else
      std::invoke(set, self, std::forward<V>(value));
  }

  template <class V, class Get, class Set>
  void FillAccessors(TPropInfo& info, Get get, Set set);
  template <class V, class Get, class Set>
  void FillOrdinal(TPropInfo& info, Get get, Set set, int64_t low, int64_t high);
  template <class V, class Get, class Set>
  void FillClass(TPropInfo& info, Get get, Set set);

  TClass& cls_;
};

// ---------------------------------------------------------------------------------------
// Implementation

template <class T>
void ClassBuilder<T>::Build(TClass*& slot, const char16_t* name, TClass* parent,
                            void (*define)(ClassBuilder&)) {
  slot = new TClass(name, parent);
  ClassBuilder builder(*slot);
  define(builder);
}

template <class T>
ClassBuilder<T>& ClassBuilder<T>::Constructor() {
  static_assert(!std::is_abstract_v<T>, "an abstract class has no constructor");
  if constexpr (std::is_constructible_v<T, TComponent*>) {
    cls_.SetConstructor(
        TClass::OwnerCtor([](TComponent* owner) -> TObject* { return new T(owner); }));
  } else {
    static_assert(std::is_default_constructible_v<T>,
                  "the constructor needs T(TComponent* owner) or T()");
    cls_.SetConstructor(TClass::PlainCtor([]() -> TObject* { return new T(); }));
  }
  return *this;
}

template <class T>
template <class Get, class Set>
requires(!std::is_convertible_v<Get, std::string_view>) ClassBuilder<T>
&ClassBuilder<T>::Property(std::string_view name, Get get, Set set) {
  static_assert(!builder_detail::kNeedsTypeName<ValueOf<Get>>,
                "an enumeration or set property needs its type name");
  return Property(name, std::string_view{}, std::move(get), std::move(set));
}

template <class T>
template <class Get, class Set>
ClassBuilder<T>& ClassBuilder<T>::Property(std::string_view name, std::string_view typeName,
                                           Get get, Set set) {
  static_assert(std::is_invocable_v<const Get&, T&>,
                "the getter must be a member of the class (or an ancestor) or take T&");
  using V = ValueOf<Get>;
  static_assert(!std::is_same_v<V, TMethod>, "publish a TMethod with Event");
  static_assert(std::is_same_v<Set, std::nullptr_t> || std::is_member_object_pointer_v<Set> ||
                    std::is_invocable_v<const Set&, T&, V>,
                "the setter must accept the getter's value type");
  TPropInfo info;
  info.Name = FromUtf8(name);
  info.TypeName = FromUtf8(typeName);
  FillAccessors<V>(info, std::move(get), std::move(set));
  cls_.AddProperty(std::move(info));
  return *this;
}

template <class T>
template <class Get, class Set>
ClassBuilder<T>& ClassBuilder<T>::Event(std::string_view name, std::string_view typeName, Get get,
                                        Set set) {
  static_assert(std::is_invocable_v<const Get&, T&>,
                "the getter must be a member of the class (or an ancestor) or take T&");
  static_assert(std::is_same_v<ValueOf<Get>, TMethod>, "an event's value is a TMethod");
  TPropInfo info;
  info.Name = FromUtf8(name);
  info.Kind = TTypeKind::tkMethod;
  info.TypeName = FromUtf8(typeName);
  const TClass* cls = &cls_;
  info.GetMethod = [cls, get](TObject* o) -> TMethod { return std::invoke(get, Self(o, cls)); };
  if constexpr (!std::is_same_v<Set, std::nullptr_t>) {
    info.SetMethod = [cls, set](TObject* o, const TMethod& m) { Store(set, Self(o, cls), m); };
  } else if constexpr (std::is_member_object_pointer_v<Get>) {
    info.SetMethod = [cls, get](TObject* o, const TMethod& m) { Self(o, cls).*get = m; };
  }
  cls_.AddProperty(std::move(info));
  return *this;
}

template <class T>
template <class V, class Get, class Set>
void ClassBuilder<T>::FillAccessors(TPropInfo& info, Get get, Set set) {
  using namespace builder_detail;
  const TClass* cls = &cls_;
  constexpr bool kWritable = !std::is_same_v<Set, std::nullptr_t>;
  if constexpr (std::is_same_v<V, bool>) {
    info.Kind = TTypeKind::tkEnumeration;
    if (info.TypeName.empty()) info.TypeName = u"Boolean";
    info.GetOrd = [cls, get](TObject* o) -> int64_t {
      return std::invoke(get, Self(o, cls)) ? 1 : 0;
    };
    if constexpr (kWritable)
      info.SetOrd = [cls, set](TObject* o, int64_t v) { Store(set, Self(o, cls), v != 0); };
  } else if constexpr (std::is_same_v<V, char16_t>) {
    info.Kind = TTypeKind::tkChar;
    FillOrdinal<V>(info, get, set, 0, 0xFFFF);
  } else if constexpr (std::is_enum_v<V>) {
    static_assert(FixedEnum<V>,
                  "give the enumeration a fixed underlying type (enum E : uint8_t) so that "
                  "every ordinal a script may store is a value of it");
    using Under = std::underlying_type_t<V>;
    static_assert(sizeof(Under) < 8, "64-bit enumerations are not supported");
    info.Kind = TTypeKind::tkEnumeration;
    FillOrdinal<V>(info, get, set, std::numeric_limits<Under>::min(),
                   std::numeric_limits<Under>::max());
  } else if constexpr (kIsSetOf<V>) {
    info.Kind = TTypeKind::tkSet;
    info.GetOrd = [cls, get](TObject* o) -> int64_t {
      return std::invoke(get, Self(o, cls)).Bits();
    };
    if constexpr (kWritable) {
      info.SetOrd = [cls, set, name = info.Name](TObject* o, int64_t v) {
        T& self = Self(o, cls);
        CheckRange(name, v, 0, 0xFFFFFFFF);
        Store(set, self, V::FromBits(static_cast<uint32_t>(v)));
      };
    }
  } else if constexpr (std::is_integral_v<V>) {
    static_assert(!(std::is_unsigned_v<V> && sizeof(V) == 8),
                  "unsigned 64-bit properties are not supported");
    info.Kind = sizeof(V) == 8 ? TTypeKind::tkInt64 : TTypeKind::tkInteger;
    FillOrdinal<V>(info, get, set, std::numeric_limits<V>::min(), std::numeric_limits<V>::max());
  } else if constexpr (std::is_floating_point_v<V>) {
    info.Kind = TTypeKind::tkFloat;
    info.GetFloat = [cls, get](TObject* o) -> double {
      return static_cast<double>(std::invoke(get, Self(o, cls)));
    };
    if constexpr (kWritable) {
      info.SetFloat = [cls, set](TObject* o, double v) {
        T& self = Self(o, cls);
        if constexpr (sizeof(V) < sizeof(double)) CheckFloatRange(v);
        Store(set, self, static_cast<V>(v));
      };
    }
  } else if constexpr (std::is_same_v<V, UString>) {
    info.Kind = TTypeKind::tkLString;
    info.GetStr = [cls, get](TObject* o) -> UString { return std::invoke(get, Self(o, cls)); };
    if constexpr (kWritable)
      info.SetStr = [cls, set](TObject* o, const UString& v) { Store(set, Self(o, cls), v); };
  } else if constexpr (std::is_same_v<V, Variant>) {
    info.Kind = TTypeKind::tkVariant;
    info.GetVariant = [cls, get](TObject* o) -> Variant { return std::invoke(get, Self(o, cls)); };
    if constexpr (kWritable)
      info.SetVariant = [cls, set](TObject* o, const Variant& v) { Store(set, Self(o, cls), v); };
  } else if constexpr (ObjectPointer<V>) {
    FillClass<V>(info, get, set);
  } else {
    static_assert(kUnsupported<V>, "this value type cannot be a published property");
  }
}

template <class T>
template <class V, class Get, class Set>
void ClassBuilder<T>::FillOrdinal(TPropInfo& info, Get get, Set set, int64_t low, int64_t high) {
  using namespace builder_detail;
  const TClass* cls = &cls_;
  info.GetOrd = [cls, get](TObject* o) -> int64_t {
    return static_cast<int64_t>(std::invoke(get, Self(o, cls)));
  };
  if constexpr (!std::is_same_v<Set, std::nullptr_t>) {
    info.SetOrd = [cls, set, low, high, name = info.Name](TObject* o, int64_t v) {
      T& self = Self(o, cls);
      CheckRange(name, v, low, high);
      Store(set, self, static_cast<V>(v));
    };
  }
}

template <class T>
template <class V, class Get, class Set>
void ClassBuilder<T>::FillClass(TPropInfo& info, Get get, Set set) {
  using namespace builder_detail;
  using U = std::remove_cv_t<std::remove_pointer_t<V>>;
  const TClass* cls = &cls_;
  info.Kind = TTypeKind::tkClass;
  info.PropClass = U::StaticClass();
  if (info.TypeName.empty()) info.TypeName = info.PropClass->Name();
  info.GetOrd = [cls, get](TObject* o) -> int64_t {
    return HandleOf(std::invoke(get, Self(o, cls)));
  };
  if constexpr (!std::is_same_v<Set, std::nullptr_t>) {
    info.SetOrd = [cls, set](TObject* o, int64_t v) {
      T& self = Self(o, cls);
      Store(set, self, static_cast<V>(HandleToOrNil<U>(OrdinalToHandle(v))));
    };
  }
}

}  // namespace kv

// KV_DEFINE_CLASS(Name, Base) { definitions using `c` }: defines Name::StaticClass() and the
// definitions run once, when it is first called. Base must be the Base of KV_CLASS.
#define KV_DEFINE_CLASS(Name, Base)                                                               \
  static_assert(std::is_same_v<Name::KvBase, Base>,                                               \
                "KV_DEFINE_CLASS(" #Name ", " #Base ") names another base than KV_CLASS");        \
  ::kv::TClass* Name::StaticClass() {                                                             \
    static ::kv::TClass* cls = nullptr;                                                           \
    if (!cls)                                                                                     \
      ::kv::ClassBuilder<Name>::Build(cls, u"" #Name, Base::StaticClass(), &Name::KvDefineClass); \
    return cls;                                                                                   \
  }                                                                                               \
  void Name::KvDefineClass([[maybe_unused]] ::kv::ClassBuilder<Name>& c)
