#include "host/core/handles.h"

#include <memory>
#include <vector>

#include "host/core/handle_table.h"

namespace kv::handles {

namespace {

struct ObserverEntry {
  int id;
  bool removed;
  DestroyObserver fn;
};

// The process-wide table. It is created on first use and never destroyed, so objects that
// outlive main() (or are destroyed by other static destructors) still find it.
struct Table {
  HandleTable live;
  int32_t next = 1;  // invariant: every handle below `next` was given out once
  // Entries are heap-allocated so that an observer may add observers while it runs without
  // moving the callable being executed.
  std::vector<std::unique_ptr<ObserverEntry>> observers;
  int nextObserverId = 1;
  int notifyDepth = 0;  // > 0 while observers run; removals then only mark the entry
  bool hasRemoved = false;
};

Table& TheTable() {
  static Table* table = new Table;
  return *table;
}

void DropRemovedObservers(Table& t) {
  if (t.notifyDepth > 0 || !t.hasRemoved) return;
  std::erase_if(t.observers, [](const auto& e) { return e->removed; });
  t.hasRemoved = false;
}

void NotifyDestroy(Table& t, TObject* obj) noexcept {
  ++t.notifyDepth;
  // Observers added by an observer are not told about this object.
  const size_t count = t.observers.size();
  for (size_t i = 0; i < count; ++i) {
    ObserverEntry* entry = t.observers[i].get();
    if (entry->removed) continue;
    try {
      entry->fn(obj);
    } catch (...) {
      // A destructor cannot pass an exception on; the object goes regardless.
    }
  }
  --t.notifyDepth;
  DropRemovedObservers(t);
}

UString HandleText(int64_t handle) { return IntToUStr(handle); }

}  // namespace

int32_t Register(TObject* obj) {
  Table& t = TheTable();
  if (t.next > kLastObjectHandle)
    throw EOutOfMemory(u"Out of object handles: the process has created " +
                       HandleText(kLastObjectHandle) + u" objects");
  const int32_t handle = t.next++;
  t.live.Insert(handle, obj);
  return handle;
}

void Unregister(int32_t handle) {
  Table& t = TheTable();
  const LiveEntry* entry = t.live.Find(handle);
  if (!entry) return;
  NotifyDestroy(t, entry->object);
  // Observers may have created or destroyed other objects, so look the handle up again.
  t.live.Erase(handle);
}

namespace {

const LiveEntry* FindEntry(int32_t handle) noexcept {
  if (handle <= 0 || handle > kLastObjectHandle) return nullptr;
  return TheTable().live.Find(handle);
}

}  // namespace

TObject* Find(int32_t handle) noexcept {
  const LiveEntry* entry = FindEntry(handle);
  return entry ? entry->object : nullptr;
}

TObject* ToObjectOrNil(int32_t handle) {
  if (handle == 0) return nullptr;
  if (const LiveEntry* entry = FindEntry(handle)) {
    if (!entry->hidden) return entry->object;
    throw EInvalidPointer(u"Invalid object reference (" + HandleText(handle) +
                          u"): the object belongs to the engine and is not available to "
                          u"scripts");
  }
  if (TClass* cls = UnconstructedClass(handle))
    throw EInvalidPointer(u"Object of class " + cls->Name() + u" is not constructed");
  throw EInvalidPointer(u"Invalid object reference (" + HandleText(handle) +
                        u"): the object does not exist or was freed");
}

TObject* ToObject(int32_t handle) {
  if (handle == 0) throw EInvalidPointer(u"Object reference is nil");
  return ToObjectOrNil(handle);
}

void HideFromScripts(const TObject* obj) {
  if (!obj) return;
  Table& t = TheTable();
  if (LiveEntry* entry = t.live.Find(obj->Handle())) entry->hidden = true;
}

bool IsHiddenFromScripts(int32_t handle) noexcept {
  const LiveEntry* entry = FindEntry(handle);
  return entry && entry->hidden;
}

int32_t Unconstructed(const TClass* cls) { return cls ? kUnconstructedBase + cls->Id() : 0; }

TClass* UnconstructedClass(int32_t handle) noexcept {
  if (handle < kUnconstructedBase) return nullptr;
  return TClass::ById(handle - kUnconstructedBase);
}

int AddDestroyObserver(DestroyObserver observer) {
  Table& t = TheTable();
  const int id = t.nextObserverId++;
  t.observers.push_back(
      std::make_unique<ObserverEntry>(ObserverEntry{id, false, std::move(observer)}));
  return id;
}

void RemoveDestroyObserver(int id) {
  Table& t = TheTable();
  for (auto& entry : t.observers) {
    if (entry->id != id || entry->removed) continue;
    entry->removed = true;
    t.hasRemoved = true;
  }
  DropRemovedObservers(t);
}

size_t LiveCount() noexcept { return TheTable().live.size(); }

void SkipHandlesForTesting(int32_t next) {
  Table& t = TheTable();
  if (next > t.next) t.next = next;
}

}  // namespace kv::handles
