// The built-in routine library: conversions, formatting, dates, strings, mathematics and a
// few general routines, plus the Variant type-tag constants, registered into the global
// script object so that every script sees them.
#pragma once

#include "rtti/kv_binding.h"

namespace kv {

class TFunctions : public TkvBindingLibrary {
 public:
  // Registers every routine and constant, in order, with this library as registrar.
  TFunctions();

  // The category of each routine (the host may group routines by it).
  const UString ctConv = u"ctConv";
  const UString ctDate = u"ctDate";
  const UString ctFormat = u"ctFormat";
  const UString ctMath = u"ctMath";
  const UString ctOther = u"ctOther";
  const UString ctString = u"ctString";

 private:
  void RegisterConversions();
  void RegisterFormatting();
  void RegisterDates();
  void RegisterStrings();
  void RegisterMathematics();
  void RegisterOthers();
  void RegisterConstants();
};

// The library's lifetime in the start-up sequence: the first StartSysRtti reads the
// locale's format settings and creates the library; the StopSysRtti that balances it
// removes the library's items (when the interpreter has not ended yet) and frees it.
void StartSysRtti();
void StopSysRtti();
// The running library, or nullptr.
TFunctions* SysRtti();

}  // namespace kv
