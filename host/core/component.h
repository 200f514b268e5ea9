// TPersistent, the base of objects that can copy one another (Assign), and TComponent, the
// base of objects with an owner, a name and a tag. An owner frees the components it owns
// when it is destroyed; a component destroyed first leaves its owner's list.
#pragma once

#include <cstdint>
#include <vector>

#include "host/core/object.h"
#include "host/core/ustring.h"

namespace kv {

class TPersistent : public TObject {
  KV_CLASS(TPersistent, TObject)

 public:
  // Copies `source` into this object. This default lets the source try (AssignTo); classes
  // that know how to copy from a source override it and pass other sources on to it.
  // Raises EConvertError "Cannot assign a X to a Y" when neither side knows how ("a nil"
  // for a nil source).
  virtual void Assign(TPersistent* source);

 protected:
  // Copies this object into `dest`; the default raises the Assign error.
  virtual void AssignTo(TPersistent* dest);
  [[noreturn]] void AssignError(const TPersistent* source) const;
};

// Published properties: Name (string), Tag (integer).
class TComponent : public TPersistent {
  KV_CLASS(TComponent, TPersistent)

 public:
  // Joins `owner`'s components when it is not null.
  explicit TComponent(TComponent* owner = nullptr);
  // Frees the owned components (last first), then leaves the owner's list.
  ~TComponent() override;

  TComponent* Owner() const { return owner_; }

  // The owned components in the order they joined.
  int ComponentCount() const { return static_cast<int>(components_.size()); }
  // Raises EListError "List index out of bounds (N)" outside 0..ComponentCount-1.
  TComponent* Components(int index) const;
  // This component's position in its owner's list; -1 without owner.
  int ComponentIndex() const;
  // The owned component of that name, ignoring case; nullptr for none or an empty name.
  TComponent* FindComponent(UStringView name) const;

  // Takes `component` over from its current owner. Raises for nil, for this component or one
  // of its owners (ownership must not form a cycle) and for a name already taken here.
  void InsertComponent(TComponent* component);
  // Lets `component` go without freeing it; a component owned by another is left alone.
  void RemoveComponent(TComponent* component);
  // Frees every owned component, last first.
  void DestroyComponents();

  // Empty, or an identifier (a letter or "_", then letters, digits and "_"; ASCII) that no
  // other component of the owner has, ignoring case. Raises "'X' is not a valid component
  // name" or "A component named X already exists".
  const UString& Name() const { return name_; }
  virtual void SetName(const UString& name);
  int32_t Tag() const { return tag_; }
  void SetTag(int32_t tag) { tag_ = tag; }

  // True while the destructor runs.
  bool Destroying() const { return destroying_; }

  // Busy components put off their destruction. A component is in use while it is busy
  // itself (a control delivering one of its events, a form showing modally) or anything its
  // destruction would take with it is; Free on a component in use only marks it, and it is
  // destroyed as soon as the last busy scope that kept it ends (see TBusyScope).
  void Free() override;
  virtual bool InUse() const;
  bool FreePending() const { return freePending_; }
  // Destroys every marked component that is no longer in use.
  static void FreeWhatIsNoLongerInUse();

 protected:
  // Called when Free marks the component instead of destroying it (a control hides).
  virtual void FreeDeferred() {}
  // Descendants whose destructors run handlers call it first, so that Destroying is true
  // for the whole destruction (nothing then frees the component a second time).
  void MarkDestroying() { destroying_ = true; }
  int BusyCount() const { return busy_; }

 private:
  static bool IsValidName(UStringView name);

  TComponent* owner_ = nullptr;          // not owned
  std::vector<TComponent*> components_;  // owned; each one's owner_ is this
  UString name_;
  int32_t tag_ = 0;
  bool destroying_ = false;
  bool freePending_ = false;
  int busy_ = 0;

  friend class TBusyScope;
};

// Marks a component busy for the scope's life. When the last scope ends and the component
// was freed meanwhile, it is destroyed then (and with it any other marked component no longer
// in use). The component may also be destroyed by other routes while the scope runs (its
// owner destroyed from host code): the scope finds that out by the handle and leaves it.
class TBusyScope {
 public:
  explicit TBusyScope(TComponent& component);
  ~TBusyScope();
  TBusyScope(const TBusyScope&) = delete;
  TBusyScope& operator=(const TBusyScope&) = delete;
  // Whether the component still lives.
  bool Alive() const;

 private:
  TComponent* component_;
  int32_t handle_;
};

}  // namespace kv
