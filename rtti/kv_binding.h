// The pattern every binding library follows, built once.
//
// A binding library is one object (a TkvBindingLibrary descendant) that registers functions,
// constants, enumerations and classes into the global script object and answers the calls
// scripts make to them. It is the registrar of everything it registers, and its destruction
// takes exactly those items away again (unless the interpreter has already ended).
//
// Registration names a typed handler for each routine or member; the library keeps them in
// one table keyed by (host class, upper-case member name) and hands the engine one method
// callback, one getter and one setter that look the handler up there. A handler never deals
// with handles: instances arrive converted and checked.
//
//   class TCoreLibrary : public TkvBindingLibrary {
//    public:
//     TCoreLibrary() : TkvBindingLibrary(u"core classes") {
//       Function(u"function Twice(i: Integer): Integer", u"ctMath",
//                [](TkvParams& p) { return IntArg(p, 0) * 2; });
//       auto c = Class<TStringList>(u"TStrings");
//       c.Constructor(u"constructor Create");
//       c.Method(u"function Add(S: String): Integer",
//                [](TStringList& self, TkvParams& p) { return self.Add(StrArg(p, 0)); });
//       c.Property(u"Count", u"Integer", [](TStringList& self) { return self.Count(); });
//       c.DefaultProperty(u"Strings", u"Integer", u"String",
//                         [](TStringList& self, TkvParams& p) { return self.Get(IntArg(p, 0)); },
//                         [](TStringList& self, TkvParams& p, const Variant& v) {
//                           self.Put(IntArg(p, 0), v.ToString());
//                         });
//     }
//   };
//
// Handlers may return a Variant or anything a Variant is made from (int32_t, bool, double,
// UString), or nothing. Registering the same member twice in one library is a programming
// error and raises at start-up.
#pragma once

#include <concepts>
#include <cstdint>
#include <cstring>
#include <functional>
#include <type_traits>
#include <unordered_map>
#include <utility>

#include "engine/kv_iinterpreter.h"
#include "host/core/handles.h"

namespace kv {

// ---------------------------------------------------------------------------------------
// Arguments and results

// Params element i; raises when the engine passed fewer (a declaration that does not match
// its handler).
const Variant& Arg(const TkvParams& params, size_t index);
// The same for writing: a var parameter's new value goes back through its element.
Variant& VarArg(TkvParams& params, size_t index);
int32_t IntArg(const TkvParams& params, size_t index);
double FloatArg(const TkvParams& params, size_t index);
bool BoolArg(const TkvParams& params, size_t index);
UString StrArg(const TkvParams& params, size_t index);
// The object of an argument, checked to be a T; nil gives nullptr.
template <class T>
T* ObjectArg(const TkvParams& params, size_t index) {
  return HandleToOrNil<T>(IntArg(params, index));
}
// The Variant scripts hold for an object: its handle, 0 for nil.
inline Variant ObjectResult(const TObject* obj) { return Variant(HandleOf(obj)); }

// The text of a value without copying when it is a string already.
class TextArg {
 public:
  explicit TextArg(const Variant& v) {
    if (v.IsString()) {
      view_ = v.RawString();
    } else {
      own_ = v.ToString();
      view_ = own_;
    }
  }
  TextArg(const TkvParams& params, size_t index) : TextArg(Arg(params, index)) {}
  UStringView View() const { return view_; }
  operator UStringView() const { return view_; }

 private:
  UString own_;
  UStringView view_;
};

namespace binding_detail {

// Calls a handler and turns what it returns into a Variant.
template <class F, class... Args>
Variant Invoke(F& f, Args&&... args) {
  using R = std::invoke_result_t<F&, Args...>;
  if constexpr (std::is_void_v<R>) {
    f(std::forward<Args>(args)...);
    return Variant();
  } else {
    return Variant(f(std::forward<Args>(args)...));
  }
}

// The object behind a member's instance, or a clear error for nil, stale, forged,
// unconstructed and wrong-class handles.
template <class T>
T& Self(int32_t instance) {
  return *HandleTo<T>(instance);
}

// The class a constructor is to construct: the unconstructed instance's class, which must
// be the bound class or a descendant.
TClass& ClassToConstruct(int32_t instance, const TClass* boundClass, UStringView member);
// The class of an instance for class methods: an unconstructed instance or a live object.
TClass& ClassOfInstance(int32_t instance);

}  // namespace binding_detail

// ---------------------------------------------------------------------------------------
// The library base

// Untyped handlers as the table keeps them.
using TkvMemberHandler = std::function<Variant(int32_t instance, TkvParams& params)>;
using TkvGetterHandler = std::function<Variant(int32_t instance)>;
using TkvSetterHandler = std::function<void(int32_t instance, const Variant& value)>;

template <class T>
class TkvClassBinding;

class TkvBindingLibrary {
 public:
  explicit TkvBindingLibrary(UString name);
  TkvBindingLibrary(const TkvBindingLibrary&) = delete;
  TkvBindingLibrary& operator=(const TkvBindingLibrary&) = delete;
  // Removes what this library registered, when the global script object still exists.
  virtual ~TkvBindingLibrary();

  const UString& Name() const { return name_; }
  TkvRegistrar Registrar() const { return this; }

  // Sets the global script's CurrentRegistrar to a library for the scope's life and then
  // restores what was there. The typed registrations below open one themselves.
  class RegistrationScope {
   public:
    explicit RegistrationScope(const TkvBindingLibrary& library);
    ~RegistrationScope();
    RegistrationScope(const RegistrationScope&) = delete;
    RegistrationScope& operator=(const RegistrationScope&) = delete;

   private:
    TkvScript* script_;
    TkvRegistrar previous_;
  };

  // The dispatchers the engine calls. A name without a handler answers Empty (the result
  // "unassigned").
  Variant DispatchMethod(int32_t instance, TClass* cls, const UString& name, TkvParams& params);
  Variant DispatchGet(int32_t instance, TClass* cls, const UString& name);
  void DispatchSet(int32_t instance, TClass* cls, const UString& name, const Variant& value);

 protected:
  // A global routine. The description is left empty, so the engine uses the routine's name.
  template <class F>
  requires std::invocable<F&, TkvParams&>
  void Function(UStringView declaration, UStringView category, F handler) {
    AddFunction(declaration, category, [h = std::move(handler)](int32_t, TkvParams& p) mutable {
      return binding_detail::Invoke(h, p);
    });
  }
  void Const(UStringView name, UStringView typeName, const Variant& value);
  void Enum(UStringView typeName, UStringView names);
  void FlagsEnum(UStringView typeName, UStringView names);
  void Type(UStringView name, TkvValueKind kind);

  // A new class descriptor for T (named like T's metaclass). Raises when the name is taken.
  template <class T>
  TkvClassBinding<T> Class(UStringView ancestorName) {
    return TkvClassBinding<T>(*this, NewClass(T::StaticClass(), ancestorName), T::StaticClass());
  }
  // Members added to the descriptor of T that another library registered; they belong to
  // this library and go with it.
  template <class T>
  TkvClassBinding<T> ExtendClass() {
    return TkvClassBinding<T>(*this, ExistingClass(T::StaticClass()), T::StaticClass());
  }

 private:
  template <class T>
  friend class TkvClassBinding;

  struct Key {
    const TClass* cls;
    UString name;
    bool operator==(const Key&) const = default;
  };
  // Look-ups take the name by view (heterogeneous look-up), so a call copies no string.
  struct KeyView {
    const TClass* cls;
    UStringView name;
  };
  struct KeyHash {
    using is_transparent = void;
    // Every script call of a bound member looks its handler up by name, and member names
    // are short: FNV-1a over the code units costs a few instructions per unit, a fraction of
    // the general byte hash.
    size_t operator()(const KeyView& k) const noexcept {
      uint64_t h = 14695981039346656037ull ^ reinterpret_cast<uintptr_t>(k.cls);
      for (const char16_t c : k.name) h = (h ^ c) * 1099511628211ull;
      return static_cast<size_t>(h ^ (h >> 29));
    }
    size_t operator()(const Key& k) const noexcept { return (*this)(KeyView{k.cls, k.name}); }
  };
  struct KeyEqual {
    using is_transparent = void;
    static KeyView View(const Key& k) { return {k.cls, k.name}; }
    static KeyView View(const KeyView& k) { return k; }
    template <class A, class B>
    bool operator()(const A& a, const B& b) const noexcept {
      const KeyView x = View(a), y = View(b);
      return x.cls == y.cls && x.name.size() == y.name.size() &&
             std::memcmp(x.name.data(), y.name.data(), x.name.size() * sizeof(char16_t)) == 0;
    }
  };

  void AddFunction(UStringView declaration, UStringView category, TkvMemberHandler handler);
  TkvClassVariable* NewClass(TClass* cls, UStringView ancestorName);
  TkvClassVariable* ExistingClass(TClass* cls);
  // Table entries; a key registered twice raises.
  void AddMethodHandler(const TClass* cls, UString upperName, TkvMemberHandler handler);
  void AddGetter(const TClass* cls, UString upperName, TkvGetterHandler handler);
  void AddSetter(const TClass* cls, UString upperName, TkvSetterHandler handler);
  [[noreturn]] void Duplicate(const TClass* cls, const UString& name) const;

  TkvMethodCallback MethodCallback();
  TkvGetterCallback GetterCallback();
  TkvSetterCallback SetterCallback();

  UString name_;
  std::unordered_map<Key, TkvMemberHandler, KeyHash, KeyEqual> methods_;
  std::unordered_map<Key, TkvGetterHandler, KeyHash, KeyEqual> getters_;
  std::unordered_map<Key, TkvSetterHandler, KeyHash, KeyEqual> setters_;
};

// ---------------------------------------------------------------------------------------
// Class members

// Defines members on one class descriptor for a library. Every member it defines records
// the library as its registrar.
template <class T>
class TkvClassBinding {
 public:
  TkvClassBinding(TkvBindingLibrary& library, TkvClassVariable* descriptor, TClass* cls)
      : lib_(library), desc_(descriptor), cls_(cls) {}

  TkvClassVariable* Descriptor() const { return desc_; }

  // handler(T& self, TkvParams& params)
  template <class F>
  requires std::invocable<F&, T&, TkvParams&> TkvClassBinding& Method(UStringView declaration,
                                                                      F handler) {
    TkvMethodHelper* m = Define([&] { return desc_->DefineMethod(declaration, Callback()); });
    lib_.AddMethodHandler(cls_, UpperAscii(m->Name),
                          [h = std::move(handler)](int32_t instance, TkvParams& p) mutable {
                            return binding_detail::Invoke(h, binding_detail::Self<T>(instance), p);
                          });
    return *this;
  }

  // A method that needs only the class, callable on the class itself (TForm.ClassName) as
  // well as on an object: handler(TClass& cls, TkvParams& params).
  template <class F>
  requires std::invocable<F&, TClass&, TkvParams&> TkvClassBinding& ClassMethod(
      UStringView declaration, F handler) {
    TkvMethodHelper* m = Define([&] { return desc_->DefineMethod(declaration, Callback()); });
    lib_.AddMethodHandler(cls_, UpperAscii(m->Name),
                          [h = std::move(handler)](int32_t instance, TkvParams& p) mutable {
                            return binding_detail::Invoke(
                                h, binding_detail::ClassOfInstance(instance), p);
                          });
    return *this;
  }

  // handler(TClass& cls, TkvParams& params) returns the new object, of class cls (the class
  // the script named: T or a descendant). The script receives its handle.
  template <class F>
  requires std::invocable<F&, TClass&, TkvParams&> TkvClassBinding& Constructor(
      UStringView declaration, F handler) {
    TkvMethodHelper* m = Define([&] { return desc_->DefineConstructor(declaration, Callback()); });
    UString name = UpperAscii(m->Name);
    lib_.AddMethodHandler(
        cls_, name,
        [h = std::move(handler), cls = cls_, name](int32_t instance, TkvParams& p) mutable {
          TClass& target = binding_detail::ClassToConstruct(instance, cls, name);
          TObject* obj = h(target, p);
          return ObjectResult(obj);
        });
    return *this;
  }
  // The class's own virtual constructor; a component class takes its owner from the first
  // argument when the declaration has one ("constructor Create(AOwner: TComponent)").
  TkvClassBinding& Constructor(UStringView declaration) {
    return Constructor(declaration, [](TClass& cls, TkvParams& p) {
      TComponent* owner = p.empty() ? nullptr : ObjectArg<TComponent>(p, 0);
      return cls.Construct(owner);
    });
  }

  // getter(T& self); setter(T& self, const Variant& value), or none for a read-only property.
  template <class G>
  requires std::invocable<G&, T&> TkvClassBinding& Property(UStringView name, UStringView typeName,
                                                            G getter) {
    return Property(name, typeName, std::move(getter), nullptr);
  }
  template <class G, class S>
  requires std::invocable<G&, T&> TkvClassBinding& Property(UStringView name, UStringView typeName,
                                                            G getter, S setter) {
    constexpr bool kWritable = !std::is_same_v<S, std::nullptr_t>;
    Define([&] {
      return desc_->DefineProperty(name, typeName, lib_.GetterCallback(),
                                   kWritable ? lib_.SetterCallback() : TkvSetterCallback());
    });
    UString upper = UpperAscii(name);
    lib_.AddGetter(cls_, upper, [g = std::move(getter)](int32_t instance) mutable {
      return binding_detail::Invoke(g, binding_detail::Self<T>(instance));
    });
    if constexpr (kWritable) {
      lib_.AddSetter(cls_, upper,
                     [s = std::move(setter)](int32_t instance, const Variant& v) mutable {
                       s(binding_detail::Self<T>(instance), v);
                     });
    }
    return *this;
  }

  // An indexed property (Items[i]); indexTypes is a comma list ("Integer" or
  // "Integer, Integer"). getter(T& self, TkvParams& indices); setter(T& self, TkvParams&
  // indices, const Variant& value), or none for a read-only property.
  template <class G>
  TkvClassBinding& IndexedProperty(UStringView name, UStringView indexTypes, UStringView resultType,
                                   G getter) {
    return Indexed(false, name, indexTypes, resultType, std::move(getter), nullptr);
  }
  template <class G, class S>
  TkvClassBinding& IndexedProperty(UStringView name, UStringView indexTypes, UStringView resultType,
                                   G getter, S setter) {
    return Indexed(false, name, indexTypes, resultType, std::move(getter), std::move(setter));
  }
  // The same, and the class's default property (List[i] means List.Items[i]).
  template <class G>
  TkvClassBinding& DefaultProperty(UStringView name, UStringView indexTypes, UStringView resultType,
                                   G getter) {
    return Indexed(true, name, indexTypes, resultType, std::move(getter), nullptr);
  }
  template <class G, class S>
  TkvClassBinding& DefaultProperty(UStringView name, UStringView indexTypes, UStringView resultType,
                                   G getter, S setter) {
    return Indexed(true, name, indexTypes, resultType, std::move(getter), std::move(setter));
  }

  // An event: assignments of script procedures create adapters of this class.
  TkvClassBinding& Event(UStringView name, TkvEventClass adapterClass) {
    Define([&] { return desc_->DefineEvent(name, adapterClass); });
    return *this;
  }

 private:
  TkvMethodCallback Callback() { return lib_.MethodCallback(); }

  // Runs one Define on the descriptor with the library stamped on the new member.
  template <class D>
  auto Define(D define) {
    TkvRegistrar saved = desc_->MemberRegistrar;
    desc_->MemberRegistrar = lib_.Registrar();
    struct Restore {
      TkvClassVariable* d;
      TkvRegistrar r;
      ~Restore() { d->MemberRegistrar = r; }
    } restore{desc_, saved};
    return define();
  }

  template <class G, class S>
  TkvClassBinding& Indexed(bool isDefault, UStringView name, UStringView indexTypes,
                           UStringView resultType, G getter, S setter) {
    static_assert(std::is_invocable_v<G&, T&, TkvParams&>,
                  "an indexed getter takes (T& self, TkvParams& indices)");
    constexpr bool kWritable = !std::is_same_v<S, std::nullptr_t>;
    Define([&] {
      return isDefault ? desc_->DefineDefaultProperty(name, indexTypes, !kWritable, Callback(),
                                                      resultType)
                       : desc_->DefineIndexedProperty(name, indexTypes, !kWritable, Callback(),
                                                      resultType);
    });
    UString upper = UpperAscii(name);
    lib_.AddMethodHandler(cls_, upper + u".GET",
                          [g = std::move(getter)](int32_t instance, TkvParams& p) mutable {
                            return binding_detail::Invoke(g, binding_detail::Self<T>(instance), p);
                          });
    if constexpr (kWritable) {
      static_assert(std::is_invocable_v<S&, T&, TkvParams&, const Variant&>,
                    "an indexed setter takes (T& self, TkvParams& indices, const Variant& value)");
      lib_.AddMethodHandler(cls_, upper + u".SET",
                            [s = std::move(setter)](int32_t instance, TkvParams& p) mutable {
                              // The engine appends the value being assigned to the indices.
                              Variant value = p.empty() ? Variant() : std::move(p.back());
                              if (!p.empty()) p.pop_back();
                              s(binding_detail::Self<T>(instance), p, value);
                              return Variant();
                            });
    }
    return *this;
  }

  TkvBindingLibrary& lib_;
  TkvClassVariable* desc_;
  TClass* cls_;
};

// ---------------------------------------------------------------------------------------
// Lifetime

// The one instance of a library: the first Start creates it, the Stop that balances the
// first Start destroys it (nested Start/Stop pairs only count). A Stop without a Start does
// nothing. A library whose construction raises is not counted as started.
template <class L>
class TkvLibraryHolder {
 public:
  void Start() {
    if (counter_ == 0) instance_ = new L();
    --counter_;
  }
  void Stop() {
    if (counter_ == 0) return;
    if (++counter_ == 0) {
      L* doomed = instance_;
      instance_ = nullptr;
      delete doomed;
    }
  }
  L* Instance() const { return instance_; }

 private:
  int counter_ = 0;        // 0 when stopped, -n after n Starts
  L* instance_ = nullptr;  // deliberately not freed at exit: Stop is the way out
};

}  // namespace kv
