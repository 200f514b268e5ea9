#include "host/core/component.h"

#include <algorithm>
#include <vector>

#include "host/core/class_builder.h"
#include "host/core/exceptions.h"
#include "host/core/handles.h"

namespace kv {

// ---------------------------------------------------------------------------------------
// TPersistent

KV_DEFINE_CLASS(TPersistent, TObject) { c.Constructor(); }

void TPersistent::Assign(TPersistent* source) {
  if (source) {
    source->AssignTo(this);
    return;
  }
  AssignError(nullptr);
}

void TPersistent::AssignTo(TPersistent* dest) { dest->AssignError(this); }

void TPersistent::AssignError(const TPersistent* source) const {
  const UString sourceName = source ? source->ClassName() : UString(u"nil");
  throw EConvertError(u"Cannot assign a " + sourceName + u" to a " + ClassName());
}

// ---------------------------------------------------------------------------------------
// TComponent

KV_DEFINE_CLASS(TComponent, TPersistent) {
  c.Constructor();
  c.Property("Name", &TComponent::Name, &TComponent::SetName);
  c.Property("Tag", &TComponent::Tag, &TComponent::SetTag);
}

// A new component owns nothing and has no name, so InsertComponent's checks (a walk up the
// owner chain, which made building a long chain quadratic) cannot fail.
TComponent::TComponent(TComponent* owner) : owner_(owner) {
  if (owner) owner->components_.push_back(this);
}

TComponent::~TComponent() {
  destroying_ = true;
  DestroyComponents();
  if (owner_) owner_->RemoveComponent(this);
}

// ---------------------------------------------------------------------------------------
// Deferred destruction

namespace {

// Handles of components whose Free was put off, in the order of the calls.
std::vector<int32_t>& PendingFrees() {
  static std::vector<int32_t> pending;
  return pending;
}

}  // namespace

void TComponent::Free() {
  if (!InUse()) {
    delete this;
    return;
  }
  if (freePending_) return;
  freePending_ = true;
  PendingFrees().push_back(Handle());
  FreeDeferred();
}

bool TComponent::InUse() const {
  if (busy_ > 0) return true;
  return std::any_of(components_.begin(), components_.end(),
                     [](const TComponent* c) { return c->InUse(); });
}

// One destruction may end others' use or destroy marked components itself, so the list is
// walked again after each.
void TComponent::FreeWhatIsNoLongerInUse() {
  std::vector<int32_t>& pending = PendingFrees();
  for (size_t i = 0; i < pending.size();) {
    auto* component = static_cast<TComponent*>(handles::Find(pending[i]));
    if (!component) {
      pending.erase(pending.begin() + static_cast<ptrdiff_t>(i));
      continue;
    }
    if (component->Destroying() || component->InUse()) {
      ++i;
      continue;
    }
    pending.erase(pending.begin() + static_cast<ptrdiff_t>(i));
    delete component;
    i = 0;
  }
}

TBusyScope::TBusyScope(TComponent& component)
    : component_(&component), handle_(component.Handle()) {
  ++component.busy_;
}

TBusyScope::~TBusyScope() {
  if (!Alive()) return;
  if (--component_->busy_ == 0 && !PendingFrees().empty()) TComponent::FreeWhatIsNoLongerInUse();
}

bool TBusyScope::Alive() const { return handles::Find(handle_) == component_; }

// ---------------------------------------------------------------------------------------

TComponent* TComponent::Components(int index) const {
  if (index < 0 || index >= ComponentCount())
    throw EListError(u"List index out of bounds (" + IntToUStr(index) + u")");
  return components_[static_cast<size_t>(index)];
}

int TComponent::ComponentIndex() const {
  if (!owner_) return -1;
  const auto& siblings = owner_->components_;
  return static_cast<int>(std::find(siblings.begin(), siblings.end(), this) - siblings.begin());
}

TComponent* TComponent::FindComponent(UStringView name) const {
  if (name.empty()) return nullptr;
  for (TComponent* component : components_)
    if (SameText(component->name_, name)) return component;
  return nullptr;
}

void TComponent::InsertComponent(TComponent* component) {
  if (!component) throw EInvalidPointer(u"Object reference is nil");
  for (const TComponent* c = this; c; c = c->owner_)
    if (c == component)
      throw Exception(u"Component " + component->ClassName() +
                      u" cannot own itself or one of its owners");
  if (component->owner_ == this) return;
  if (FindComponent(component->name_))
    throw Exception(u"A component named " + component->name_ + u" already exists");
  if (component->owner_) component->owner_->RemoveComponent(component);
  components_.push_back(component);
  component->owner_ = this;
}

void TComponent::RemoveComponent(TComponent* component) {
  if (!component || component->owner_ != this) return;
  std::erase(components_, component);
  component->owner_ = nullptr;
}

namespace {

// Destroying a component destroys what it owns, recursively: a chain of owners as long as a
// script cares to build would overflow the stack. Beyond kMaxDestroyDepth nested
// destructions a detached component waits in a list that the outermost destruction works
// through, so only such a chain sees its deep end go after its top.
constexpr int kMaxDestroyDepth = 256;

struct DeferredDestruction {
  int depth = 0;
  std::vector<TComponent*> waiting;
};

DeferredDestruction& Deferred() {
  static auto* deferred = new DeferredDestruction;  // components may go after static destructors
  return *deferred;
}

}  // namespace

void TComponent::DestroyComponents() {
  DeferredDestruction& deferred = Deferred();
  const bool outermost = deferred.depth == 0;
  ++deferred.depth;
  // A component's destructor may create or free siblings, so take one at a time.
  while (!components_.empty()) {
    TComponent* component = components_.back();
    components_.pop_back();
    component->owner_ = nullptr;
    if (deferred.depth > kMaxDestroyDepth) {
      try {
        deferred.waiting.push_back(component);
        continue;
      } catch (...) {
        // No memory for the list: destroy it here.
      }
    }
    delete component;
  }
  if (outermost) {
    while (!deferred.waiting.empty()) {
      TComponent* component = deferred.waiting.back();
      deferred.waiting.pop_back();
      delete component;
    }
  }
  --deferred.depth;
}

bool TComponent::IsValidName(UStringView name) {
  auto isLetter = [](char16_t ch) {
    return (ch >= u'A' && ch <= u'Z') || (ch >= u'a' && ch <= u'z') || ch == u'_';
  };
  auto isDigit = [](char16_t ch) { return ch >= u'0' && ch <= u'9'; };
  if (name.empty() || !isLetter(name[0])) return false;
  return std::all_of(name.begin() + 1, name.end(),
                     [&](char16_t ch) { return isLetter(ch) || isDigit(ch); });
}

void TComponent::SetName(const UString& name) {
  if (name == name_) return;
  if (!name.empty() && !IsValidName(name))
    throw Exception(u"'" + name + u"' is not a valid component name");
  if (owner_) {
    const TComponent* other = owner_->FindComponent(name);
    if (other && other != this) throw Exception(u"A component named " + name + u" already exists");
  }
  name_ = name;
}

}  // namespace kv
