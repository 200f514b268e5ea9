#include "host/core/object.h"

#include <unordered_map>

#include "host/core/exceptions.h"
#include "host/core/handles.h"

namespace kv {

namespace {

// Every metaclass by id (index = id; slot 0 unused) and by upper-cased name. Created on
// first use and never destroyed: metaclasses are made on first use too, from any file, so
// no order of static initialisers is relied on.
struct ClassRegistry {
  std::vector<TClass*> byId{nullptr};
  std::unordered_map<UString, TClass*> byName;
  // Bumped whenever any class gains a property; property indexes older than it are stale.
  uint64_t propertyGeneration = 1;
};

ClassRegistry& Registry() {
  static ClassRegistry* registry = new ClassRegistry;
  return *registry;
}

}  // namespace

// ---------------------------------------------------------------------------------------
// TClass

TClass::TClass(UString name, TClass* parent) : name_(std::move(name)), parent_(parent) {
  ClassRegistry& r = Registry();
  if (name_.empty()) throw Exception(u"A class needs a name");
  UString key = UpperCase(name_);
  if (r.byName.count(key)) throw Exception(u"A class named " + name_ + u" is already declared");
  // Ids stay below the width of the unconstructed-handle range.
  if (r.byId.size() > static_cast<size_t>(handles::kLastObjectHandle))
    throw Exception(u"Too many classes");
  id_ = static_cast<int32_t>(r.byId.size());
  r.byId.push_back(this);
  r.byName.emplace(std::move(key), this);
}

TClass::~TClass() {
  // Metaclasses normally live for the whole process; one that goes (a test's local class)
  // must not leave a dangling registry entry. Its id is not given out again.
  ClassRegistry& r = Registry();
  r.byId[id_] = nullptr;
  auto it = r.byName.find(UpperCase(name_));
  if (it != r.byName.end() && it->second == this) r.byName.erase(it);
  ++r.propertyGeneration;
}

bool TClass::InheritsFrom(const TClass* ancestor) const {
  if (!ancestor) return false;
  for (const TClass* c = this; c; c = c->parent_)
    if (c == ancestor) return true;
  return false;
}

TObject* TClass::Construct(TComponent* owner) const {
  if (ownerCtor_) return ownerCtor_(owner);
  if (plainCtor_) return plainCtor_();
  throw Exception(u"Cannot create an instance of the abstract class " + name_);
}

void TClass::AddProperty(TPropInfo info) {
  if (info.Name.empty()) throw Exception(u"A published property of " + name_ + u" has no name");
  const UString key = UpperCase(info.Name);
  for (const auto& own : props_)
    if (UpperCase(own->Name) == key)
      throw Exception(u"Class " + name_ + u" already publishes a property named " + info.Name);
  props_.push_back(std::make_unique<TPropInfo>(std::move(info)));
  ++Registry().propertyGeneration;
}

const TClass::PropertyIndex& TClass::Index() const {
  const uint64_t generation = Registry().propertyGeneration;
  if (index_.generation == generation) return index_;
  PropertyIndex fresh;
  fresh.generation = generation;
  if (parent_) {
    fresh.list = parent_->Index().list;
    fresh.byName = parent_->Index().byName;
  }
  for (const auto& prop : props_) {
    UString key = UpperCase(prop->Name);
    auto inherited = fresh.byName.find(key);
    if (inherited != fresh.byName.end()) {
      // A redeclared property keeps the inherited one's place in the list.
      for (auto& slot : fresh.list)
        if (slot == inherited->second) slot = prop.get();
      inherited->second = prop.get();
    } else {
      fresh.list.push_back(prop.get());
      fresh.byName.emplace(std::move(key), prop.get());
    }
  }
  index_ = std::move(fresh);
  return index_;
}

uint64_t TClass::PropertyGeneration() { return Registry().propertyGeneration; }

std::vector<const TPropInfo*> TClass::Properties() const { return Index().list; }

const TPropInfo* TClass::FindProperty(UStringView name) const {
  const auto& byName = Index().byName;
  auto it = byName.find(UpperCase(name));
  return it == byName.end() ? nullptr : it->second;
}

TClass* TClass::Find(UStringView name) {
  const auto& byName = Registry().byName;
  auto it = byName.find(UpperCase(name));
  return it == byName.end() ? nullptr : it->second;
}

TClass* TClass::ById(int32_t id) {
  const auto& byId = Registry().byId;
  if (id <= 0 || static_cast<size_t>(id) >= byId.size()) return nullptr;
  return byId[id];
}

// ---------------------------------------------------------------------------------------
// TObject

TObject::TObject() : handle_(handles::Register(this)) {}

TObject::~TObject() {
  if (handle_ != 0) handles::Unregister(handle_);
}

int32_t TObject::RegisterLate() const {
  handle_ = handles::Register(const_cast<TObject*>(this));
  return handle_;
}

void CheckScriptMayFree(const TObject& object) {
  if (const TObject* keeper = object.Keeper())
    throw EInvalidPointer(u"Cannot free " + object.ClassName() + u": it belongs to " +
                          keeper->ClassName() + u", which frees it; free the " +
                          keeper->ClassName() + u" instead");
}

TClass* TObject::StaticClass() {
  static TClass* cls = [] {
    auto* c = new TClass(u"TObject", nullptr);
    c->SetConstructor(TClass::PlainCtor([] { return new TObject; }));
    return c;
  }();
  return cls;
}

}  // namespace kv
