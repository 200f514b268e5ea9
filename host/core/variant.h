// Variant: the engine's only run-time value, a tagged value with the tags of the host's
// variant type. Integers, doubles, booleans and the like live inline; strings, arrays and
// dispatch objects are reference counted, so copying a Variant never allocates.
//
// Single-threaded: the reference counts are plain integers.
#pragma once

#include <cstdint>
#include <vector>

#include "host/core/shared_string.h"
#include "host/core/ustring.h"

namespace kv {

// Tags, with the host's numbers (scripts and IL documents see them through VarType).
enum VarType : uint16_t {
  varEmpty = 0,
  varNull = 1,
  varSmallint = 2,
  varInteger = 3,
  varSingle = 4,
  varDouble = 5,
  varCurrency = 6,
  varDate = 7,
  varOleStr = 8,
  varDispatch = 9,
  varError = 10,
  varBoolean = 11,
  varVariant = 12,
  varUnknown = 13,
  varByte = 17,
  varString = 256,  // the native string
  varTypeMask = 0x0FFF,
  varArray = 0x2000,
};

class Variant;

// A late-bound automation object. The automation layer derives from it; a Variant of tag
// varDispatch holds one reference.
class DispatchObject {
 public:
  virtual ~DispatchObject() = default;
  void AddRef() { ++refs_; }
  void Release() {
    if (--refs_ == 0) delete this;
  }

 private:
  long refs_ = 0;
};

// Bounds of one dimension of a variant array.
struct ArrayBound {
  int32_t low = 0;
  int32_t high = -1;
  int32_t Count() const { return high >= low ? high - low + 1 : 0; }
};

// The shared body of a variant array: element tag, bounds, elements in row-major order.
// Elements start as the element tag's zero value (Empty for an array of Variant).
struct VarArrayData {
  long refs = 0;
  uint16_t elemType = varVariant;
  std::vector<ArrayBound> bounds;
  std::vector<Variant> elems;
};

class Variant {
 public:
  Variant() noexcept : type_(varEmpty) { u_.i64 = 0; }
  Variant(int32_t v) noexcept : type_(varInteger) { u_.i64 = 0; u_.i = v; }
  Variant(bool v) noexcept : type_(varBoolean) { u_.i64 = 0; u_.b = v; }
  Variant(double v) noexcept : type_(varDouble) { u_.d = v; }
  Variant(const UString& s);
  Variant(UString&& s);
  Variant(const char16_t* s) : Variant(UString(s)) {}
  Variant(const SharedString& s);  // native string sharing the buffer
  Variant(const Variant& o) noexcept;
  Variant(Variant&& o) noexcept : type_(o.type_), u_(o.u_) { o.type_ = varEmpty; }
  ~Variant() {
    if (IsCounted()) ReleaseBody();
  }
  Variant& operator=(const Variant& o) noexcept;
  Variant& operator=(Variant&& o) noexcept;

  static Variant Null() noexcept { Variant v; v.type_ = varNull; return v; }
  static Variant Smallint(int16_t v) noexcept;
  static Variant Byte(uint8_t v) noexcept;
  static Variant Single(float v) noexcept;
  static Variant Currency(int64_t scaled) noexcept;  // value * 10000
  static Variant Date(double v) noexcept;
  static Variant OleStr(const UString& s);
  static Variant Dispatch(DispatchObject* obj);  // takes a reference; nullptr is allowed
  // A new array of the element tag; one bound per dimension. Elements are the tag's zero.
  static Variant Array(const std::vector<ArrayBound>& bounds, uint16_t elemType = varVariant);
  // A one-dimensional array of Variant indexed from 0 holding the given values.
  static Variant ArrayOf(std::vector<Variant> values);

  uint16_t Type() const noexcept { return type_; }
  bool IsEmpty() const noexcept { return type_ == varEmpty; }
  bool IsNull() const noexcept { return type_ == varNull; }
  bool IsArray() const noexcept { return (type_ & varArray) != 0; }
  bool IsString() const noexcept { return type_ == varString || type_ == varOleStr; }
  bool IsOrdinal() const noexcept;  // smallint, integer, byte, boolean

  // Inline payloads without conversion; valid only for the matching tag.
  int32_t RawInt() const noexcept { return u_.i; }  // varInteger
  double RawDouble() const noexcept { return u_.d; }  // varDouble, varDate
  bool RawBool() const noexcept { return u_.b; }  // varBoolean
  int64_t RawCurrency() const noexcept { return u_.i64; }  // varCurrency
  const UString& RawString() const noexcept;  // varString, varOleStr
  SharedString RawShared() const;  // varString, varOleStr
  DispatchObject* RawDispatch() const noexcept { return u_.disp; }  // varDispatch

  // Conversions with the host's rules. They raise EVariantError "Invalid variant type
  // conversion" for a value that has none, EVariantError "Variant overflow" when out of range.
  int32_t ToInt() const;  // floats round half to even
  int64_t ToInt64() const;
  double ToDouble() const;
  int64_t ToCurrency() const;  // scaled by 10000
  UString ToString() const;
  bool ToBool() const;

  // Variant arrays. Arrays have value semantics: writing into an array whose body is shared
  // first copies it. Index errors raise "Variant or safe array index out of bounds".
  int ArrayDimCount() const;
  ArrayBound ArrayBoundOf(int dim) const;  // dim counts from 1
  const Variant& Element(const int32_t* indices, int count) const;
  void SetElement(const int32_t* indices, int count, const Variant& value);
  const VarArrayData* ArrayData() const noexcept { return IsArray() ? u_.arr : nullptr; }
  VarArrayData* MutableArrayData();  // unshares first

  void Clear() noexcept { *this = Variant(); }

 private:
  bool IsCounted() const noexcept {
    return type_ == varString || type_ == varOleStr || type_ == varDispatch || (type_ & varArray);
  }
  void ReleaseBody() noexcept;
  void AddRefBody() const noexcept;

  uint16_t type_;
  union Payload {
    int32_t i;
    int16_t si;
    uint8_t by;
    bool b;
    float f;
    double d;
    int64_t i64;
    SharedString::Rep* str;
    VarArrayData* arr;
    DispatchObject* disp;
  } u_;
};

}  // namespace kv
