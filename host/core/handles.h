// Object handles: scripts know objects by 32-bit integers, never by address. A process-wide
// table maps each live object's handle to the object; a handle is given when an object is
// created, dropped when it is destroyed, and never reused while the process lives. Turning
// an integer back into an object validates it, so a forged or stale number raises a clear
// exception instead of crashing.
//
// Unconstructed instances: a script that names a class as a value (TStringList.Create) gets
// a handle that stands for "an instance of this class, not constructed yet". These handles
// lie in a range of their own (one per class) and are never live objects; the constructor
// member turns one into a constructed object with a handle of its own.
#pragma once

#include <cstdint>
#include <functional>

#include "host/core/exceptions.h"
#include "host/core/object.h"

namespace kv {

namespace handles {

// Live objects get 1, 2, 3, ... up to kLastObjectHandle; the unconstructed instance of a
// class is kUnconstructedBase + the class's id. No handle is negative.
inline constexpr int32_t kLastObjectHandle = 0x3FFFFFFF;
inline constexpr int32_t kUnconstructedBase = 0x40000000;

// Called by TObject's constructor and destructor only. Register raises EOutOfMemory "Out of
// object handles: ..." once every number up to kLastObjectHandle was given out. Unregister
// runs the destroy observers, then drops the handle.
int32_t Register(TObject* obj);
void Unregister(int32_t handle);

// The live object of a handle, or nullptr when the handle is 0, unknown, stale or stands
// for an unconstructed instance. Never raises.
TObject* Find(int32_t handle) noexcept;

// The object of a handle: 0 gives nullptr; an unknown or stale handle raises EInvalidPointer
// "Invalid object reference (N): the object does not exist or was freed"; an unconstructed
// instance raises EInvalidPointer "Object of class X is not constructed"; an object hidden
// from scripts (below) raises EInvalidPointer "Invalid object reference (N): the object
// belongs to the engine and is not available to scripts".
TObject* ToObjectOrNil(int32_t handle);
// As ToObjectOrNil, but 0 raises EInvalidPointer "Object reference is nil".
TObject* ToObject(int32_t handle);

// Objects the engine keeps for itself (script objects and their lines, grammar documents)
// are live, yet a script must not reach them with a forged number: freeing or changing one
// would pull the engine's own data from under it. Hiding is for the object's life; Find
// still answers hidden objects (for host code), ToObject and ToObjectOrNil refuse them.
void HideFromScripts(const TObject* obj);
bool IsHiddenFromScripts(int32_t handle) noexcept;

// The handle of an unconstructed instance of a class, and the class of such a handle
// (nullptr for any other number).
int32_t Unconstructed(const TClass* cls);
TClass* UnconstructedClass(int32_t handle) noexcept;

// Observers run when any object is destroyed, after its destructor body ran and before its
// handle is dropped (event adapters of the object are removed this way). They run in the
// order they were added. By then the object is a bare TObject: an observer may use its
// address and Handle(), not its class or members. An exception an observer raises is
// dropped (a destructor cannot pass it on). Observers may add and remove observers, and
// destroy other objects; one removed while a notification runs is not called again.
using DestroyObserver = std::function<void(TObject*)>;
int AddDestroyObserver(DestroyObserver observer);  // ids start at 1
void RemoveDestroyObserver(int id);                // an unknown id is ignored

// Number of live objects (for leak checks in tests).
size_t LiveCount() noexcept;

// For tests of handle exhaustion: the next object gets `next` (moved forward only, so
// handles stay unique).
void SkipHandlesForTesting(int32_t next);

}  // namespace handles

// The object of a handle checked to be a T: 0 raises (see ToObject) and an object of another
// class raises EInvalidCast "Object of class X is not a T".
template <class T>
T* HandleTo(int32_t handle) {
  TObject* obj = handles::ToObject(handle);
  if (!obj->InheritsFrom(T::StaticClass()))
    throw EInvalidCast(u"Object of class " + obj->ClassName() + u" is not a " +
                       T::StaticClass()->Name());
  return static_cast<T*>(obj);
}

// As HandleTo, but 0 gives nullptr.
template <class T>
T* HandleToOrNil(int32_t handle) {
  return handle == 0 ? nullptr : HandleTo<T>(handle);
}

inline int32_t HandleOf(const TObject* obj) { return obj ? obj->Handle() : 0; }

}  // namespace kv
