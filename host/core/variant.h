// Variant: the engine's only run-time value, a tagged value with the tags of the host's
// variant type. Integers, doubles, booleans and the like live inline; strings, arrays and
// dispatch objects are reference counted, so copying a Variant never allocates.
//
// Single-threaded: the reference counts are plain integers.
#pragma once

#include <bit>
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

// The integer and boolean constructors rely on the low bytes of the payload coming first.
static_assert(std::endian::native == std::endian::little);

class Variant {
 public:
  Variant() noexcept : type_(varEmpty) { u_.i64 = 0; }
  // The payload is written with one full-width store: a narrow store followed by the full
  // read of a copy stalls the processor's store forwarding on every integer result.
  Variant(int32_t v) noexcept : type_(varInteger) {
    u_.i64 = static_cast<int64_t>(static_cast<uint32_t>(v));
  }
  Variant(bool v) noexcept : type_(varBoolean) { u_.i64 = v ? 1 : 0; }
  Variant(double v) noexcept : type_(varDouble) { u_.d = v; }
  Variant(const UString& s);
  Variant(UString&& s);
  Variant(const char16_t* s) : Variant(UString(s)) {}
  // Any other pointer (a "narrow" literal, an object address) would silently become a
  // boolean; objects travel as handles, text as UString.
  Variant(const void*) = delete;
  Variant(const SharedString& s);  // native string sharing the buffer
  // Copies and moves are inline: the interpreter copies values on every variable read and
  // write, and only counted bodies need more than the tag and payload.
  Variant(const Variant& o) noexcept : type_(o.type_), u_(o.u_) {
    if (IsCounted()) AddRefBody();
  }
  Variant(Variant&& o) noexcept : type_(o.type_), u_(o.u_) { o.type_ = varEmpty; }
  ~Variant() {
    if (IsCounted()) ReleaseBody();
  }
  Variant& operator=(const Variant& o) noexcept {
    // Taking the new reference before dropping the old keeps self-assignment (and
    // assignment from a value inside our own array body) safe.
    const uint16_t t = o.type_;
    const Payload p = o.u_;
    if (o.IsCounted()) o.AddRefBody();
    if (IsCounted()) ReleaseBody();
    type_ = t;
    u_ = p;
    return *this;
  }
  // The same as assigning Variant(v), without the temporary: integer loops store this way.
  void SetInteger(int32_t v) noexcept {
    if (IsCounted()) ReleaseBody();
    type_ = varInteger;
    u_.i64 = static_cast<int64_t>(static_cast<uint32_t>(v));
  }
  Variant& operator=(Variant&& o) noexcept {
    if (this != &o) {
      const uint16_t t = o.type_;
      const Payload p = o.u_;
      o.type_ = varEmpty;
      // Released after taking o's payload: o may live inside the body being released.
      if (IsCounted()) ReleaseBody();
      type_ = t;
      u_ = p;
    }
    return *this;
  }

  static Variant Null() noexcept {
    Variant v;
    v.type_ = varNull;
    return v;
  }
  // A 64-bit host integer: Integer when it fits, else Double.
  static Variant FromInt64(int64_t v) noexcept;
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
  int32_t RawInt() const noexcept { return u_.i; }                  // varInteger
  int16_t RawSmallint() const noexcept { return u_.si; }            // varSmallint
  uint8_t RawByte() const noexcept { return u_.by; }                // varByte
  float RawSingle() const noexcept { return u_.f; }                 // varSingle
  double RawDouble() const noexcept { return u_.d; }                // varDouble, varDate
  bool RawBool() const noexcept { return u_.b; }                    // varBoolean
  int64_t RawCurrency() const noexcept { return u_.i64; }           // varCurrency
  const UString& RawString() const noexcept;                        // varString, varOleStr
  SharedString RawShared() const;                                   // varString, varOleStr
  DispatchObject* RawDispatch() const noexcept { return u_.disp; }  // varDispatch

  // Conversions with the host's rules. They raise EVariantError "Invalid variant type
  // conversion" for a value that has none, EVariantError "Variant overflow" when out of range.
  //  - Empty converts to 0, "" and False; Null, arrays, dispatch objects and error values
  //    have no conversion (Null raises for every one of them).
  //  - Booleans: True is -1 as a number, "True"/"False" as text.
  //  - Single, double, currency and date become integers rounding half to even (7.5 -> 8,
  //    6.5 -> 6); a result out of range (or NaN) raises "Variant overflow".
  //  - Strings become numbers when they hold integer text (decimal, or hexadecimal after
  //    "$") or a decimal float with "." as the point, blanks around allowed; to a boolean,
  //    "True"/"False" in any letter case or a number (non-zero is True).
  //  - As text: doubles in the general format with 15 significant digits (singles 7),
  //    currency with up to 4 decimals, dates as "yyyy-mm-dd", "hh:nn:ss" or both (see
  //    number_text.h).
  int32_t ToInt() const;  // floats round half to even
  int64_t ToInt64() const;
  double ToDouble() const;
  int64_t ToCurrency() const;  // scaled by 10000
  UString ToString() const;
  bool ToBool() const;

  // Variant arrays. Arrays have value semantics: writing into an array whose body is shared
  // first copies it. Index errors (also a wrong number of indices) raise "Variant or safe
  // array index out of bounds"; element access on a value that is no array raises
  // "Variant is not an array". SetElement converts the value to the element tag of a typed
  // array. A reference from Element is valid until the array is next written or released.
  // Array creation raises "Error creating variant or safe array" for no dimensions, a high
  // bound below low - 1, an element tag that cannot be stored (varEmpty, varNull, varError,
  // varUnknown, an array tag) or more than 2^26 elements in all.
  int ArrayDimCount() const;               // 0 for a value that is no array
  ArrayBound ArrayBoundOf(int dim) const;  // dim counts from 1
  const Variant& Element(const int32_t* indices, int count) const;
  void SetElement(const int32_t* indices, int count, const Variant& value);
  const VarArrayData* ArrayData() const noexcept { return IsArray() ? u_.arr : nullptr; }
  // The body for writing, unshared first. Never store the array itself (or a Variant that
  // shares this body) into its own elements through it: SetElement handles that case.
  VarArrayData* MutableArrayData();

  void Clear() noexcept { *this = Variant(); }

  // Whether both hold the very same counted body (string, array or dispatch object): an
  // operation on one would then have to copy it first.
  bool SharesBodyWith(const Variant& o) const noexcept {
    if (!IsCounted() || type_ != o.type_) return false;
    if (IsArray()) return u_.arr == o.u_.arr;
    if (type_ == varDispatch) return u_.disp == o.u_.disp;
    return u_.str == o.u_.str;
  }

 private:
  // Every tag below varOleStr is inline, so one comparison settles the common numbers.
  bool IsCounted() const noexcept {
    return type_ >= varOleStr &&
           (type_ <= varDispatch || type_ == varString || (type_ & varArray) != 0);
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

// The value converted to a tag, with the conversion rules above: varSmallint and varByte
// are range-checked, varOleStr and varString give text, varVariant and the value's own tag
// give a copy. Null converts only to varNull and varVariant; a tag without conversion raises
// "Invalid variant type conversion".
Variant VarAsType(const Variant& v, uint16_t varType);

}  // namespace kv
