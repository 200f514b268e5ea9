// TVarRec: the host's tagged argument record, one element of an open argument list. Event
// handlers receive their arguments as a list of them; a record passed by reference is read
// back by the host after the handler returns.
#pragma once

#include <cstdint>
#include <vector>

#include "host/core/variant.h"

namespace kv {

struct TVarRec {
  enum Tag : uint8_t {
    vtInteger,
    vtBoolean,
    vtChar,
    vtExtended,
    vtString,
    vtPointer,
    vtPChar,
    vtObject,
    vtClass,
    vtWideChar,
    vtPWideChar,
    vtAnsiString,
    vtCurrency,
    vtVariant,
    vtInterface,
    vtWideString,
    vtInt64,
  };

  Tag VType = vtInteger;
  // vtInteger, vtInt64, vtBoolean (0 or 1), vtChar and vtWideChar (the code),
  // vtObject (the object's handle), vtCurrency (value * 10000).
  int64_t VInt = 0;
  double VExtended = 0;  // vtExtended
  UString VString;       // vtString, vtAnsiString, vtWideString, vtPChar, vtPWideChar
  Variant VVariant;      // vtVariant

  static TVarRec Integer(int64_t v) {
    TVarRec r;
    r.VType = vtInteger;
    r.VInt = v;
    return r;
  }
  static TVarRec Boolean(bool v) {
    TVarRec r;
    r.VType = vtBoolean;
    r.VInt = v;
    return r;
  }
  static TVarRec Char(char16_t c) {
    TVarRec r;
    r.VType = vtWideChar;
    r.VInt = c;
    return r;
  }
  static TVarRec Extended(double v) {
    TVarRec r;
    r.VType = vtExtended;
    r.VExtended = v;
    return r;
  }
  static TVarRec String(UString s) {
    TVarRec r;
    r.VType = vtAnsiString;
    r.VString = std::move(s);
    return r;
  }
  static TVarRec Object(int32_t handle) {
    TVarRec r;
    r.VType = vtObject;
    r.VInt = handle;
    return r;
  }
  static TVarRec OfVariant(Variant v) {
    TVarRec r;
    r.VType = vtVariant;
    r.VVariant = std::move(v);
    return r;
  }
};

using TEventArgs = std::vector<TVarRec>;

}  // namespace kv
