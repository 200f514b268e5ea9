// The core classes library: the object root, persistent objects, pointer lists, string
// lists, streams, components and the engine's XML items and documents, with the file-mode
// and seek constants, the TDuplicates enumeration and the file routines FileExists and
// DeleteFile. Every other class library names TObject, TPersistent or TComponent as
// ancestors, so this one starts first.
#pragma once

#include "host/core/component.h"
#include "rtti/kv_binding.h"

namespace kv {

namespace classesrtti {

// Each binding library has its own TFunctions; this namespace keeps them apart.
class TFunctions : public TkvBindingLibrary {
 public:
  // Registers the constants, the enumeration and the classes with their members, in order.
  TFunctions();

 private:
  void RegisterConstants();
  void RegisterObject();
  void RegisterPersistent();
  void RegisterList();
  void RegisterStrings();
  void RegisterStringList();
  void RegisterStream();
  void RegisterFileStream();
  void RegisterMemoryStream();
  void RegisterComponent();
  void RegisterXMLItem();
  void RegisterXMLDocument();
  void RegisterFileRoutines();
};

}  // namespace classesrtti

// The marker component of the library: it has no members of its own; a form that holds
// one documents that its scripts use the core classes.
class TkvClassesRTTI : public TComponent {
  KV_CLASS(TkvClassesRTTI, TComponent)

 public:
  explicit TkvClassesRTTI(TComponent* owner = nullptr) : TComponent(owner) {}
};

// The library's lifetime in the start-up sequence: the first StartClassesRtti creates and
// registers it; the StopClassesRtti that balances it removes its items (when the
// interpreter has not ended yet) and frees it.
void StartClassesRtti();
void StopClassesRtti();
// The running library, or nullptr.
classesrtti::TFunctions* ClassesRtti();

}  // namespace kv
