#include "host/core/variant.h"

#include <cfloat>
#include <cmath>
#include <limits>

#include "host/core/exceptions.h"
#include "host/core/number_text.h"
#include "host/core/string_routines.h"

namespace kv {

namespace {

[[noreturn]] void ThrowConversion() { throw EVariantError(u"Invalid variant type conversion"); }
[[noreturn]] void ThrowOverflow() { throw EVariantError(u"Variant overflow"); }
[[noreturn]] void ThrowIndex() {
  throw EVariantError(u"Variant or safe array index out of bounds");
}
[[noreturn]] void ThrowNotArray() { throw EVariantError(u"Variant is not an array"); }
[[noreturn]] void ThrowArrayCreate() {
  throw EVariantError(u"Error creating variant or safe array");
}

constexpr int64_t kMaxArrayElements = int64_t{1} << 26;

// A rounded float as a 64-bit integer; the bounds are powers of two and so exact doubles.
int64_t RoundedToInt64(double x) {
  double r = RoundHalfEven(x);
  if (!(r >= -9223372036854775808.0 && r < 9223372036854775808.0)) ThrowOverflow();
  return static_cast<int64_t>(r);
}

int32_t CheckedInt32(int64_t v) {
  if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max())
    ThrowOverflow();
  return static_cast<int32_t>(v);
}

// Currency (scaled by 10000) to a whole number, rounding half to even.
int64_t CurrencyToWhole(int64_t scaled) {
  int64_t q = scaled / 10000, r = scaled % 10000;
  int64_t absR = r < 0 ? -r : r;
  if (absR > 5000 || (absR == 5000 && (q & 1))) q += scaled < 0 ? -1 : 1;
  return q;
}

int64_t DoubleToCurrency(double v) {
  // The limits are the nearest doubles to +-2^63 / 10000 inside the range after scaling.
  double scaled = RoundHalfEven(v * 10000.0);
  if (!(scaled >= -9223372036854775808.0 && scaled < 9223372036854775808.0)) ThrowOverflow();
  return static_cast<int64_t>(scaled);
}

// Numbers from text: integer text first (so that "$FF" and big integers stay exact), then
// a decimal float.
bool TextToInt64(const UString& s, int64_t& out) {
  if (TryTextToInt64(s, out)) return true;
  double d;
  if (!TryTextToFloat(s, d)) return false;
  out = RoundedToInt64(d);
  return true;
}

double TextToDouble(const UString& s) {
  int64_t i;
  if (TryTextToInt64(s, i)) return static_cast<double>(i);
  double d;
  if (!TryTextToFloat(s, d)) ThrowConversion();
  return d;
}

bool TextToBool(const UString& s) {
  UStringView t = s;
  while (!t.empty() && (t.front() == u' ' || t.front() == u'\t')) t.remove_prefix(1);
  while (!t.empty() && (t.back() == u' ' || t.back() == u'\t')) t.remove_suffix(1);
  if (SameTextAscii(t, u"true")) return true;
  if (SameTextAscii(t, u"false")) return false;
  int64_t i;
  if (TryTextToInt64(t, i)) return i != 0;
  double d;
  if (TryTextToFloat(t, d)) return d != 0;
  ThrowConversion();
}

bool IsStorableElementType(uint16_t t) {
  switch (t) {
    case varSmallint:
    case varInteger:
    case varSingle:
    case varDouble:
    case varCurrency:
    case varDate:
    case varOleStr:
    case varDispatch:
    case varBoolean:
    case varVariant:
    case varByte:
    case varString:
      return true;
    default:
      return false;
  }
}

Variant ZeroOf(uint16_t elemType) {
  switch (elemType) {
    case varSmallint:
      return Variant::Smallint(0);
    case varInteger:
      return Variant(int32_t{0});
    case varSingle:
      return Variant::Single(0);
    case varDouble:
      return Variant(0.0);
    case varCurrency:
      return Variant::Currency(0);
    case varDate:
      return Variant::Date(0);
    case varOleStr:
      return Variant::OleStr(UString());
    case varString:
      return Variant(UString());
    case varDispatch:
      return Variant::Dispatch(nullptr);
    case varBoolean:
      return Variant(false);
    case varByte:
      return Variant::Byte(0);
    default:
      return Variant();
  }
}

}  // namespace

// --- construction and lifetime ---------------------------------------------------------

namespace {

// One-character ASCII strings (what Chr, S[I] and Copy(S, I, 1) yield) share one body per
// character and thread instead of allocating one each time. The table holds a reference to
// each body, so a body is never unique: a write unshares it as for any shared string. The
// counts are plain integers, so each thread has its own table; at thread exit the table
// drops its references, and a body still held elsewhere lives on until its last holder.
class CharBodies {
 public:
  ~CharBodies() {
    for (SharedString::Rep*& rep : bodies_) {
      if (rep != nullptr && --rep->refs == 0) delete rep;
    }
  }
  SharedString::Rep* Share(char16_t c) {
    SharedString::Rep*& rep = bodies_[c];
    if (rep == nullptr) rep = new SharedString::Rep{1, UString(1, c)};
    ++rep->refs;
    return rep;
  }

 private:
  SharedString::Rep* bodies_[128] = {};
};

thread_local CharBodies tCharBodies;

inline bool IsSharedChar(const UString& s) { return s.size() == 1 && s[0] < 128; }

}  // namespace

// Every string a script holds passes here, so none is longer than kMaxStringLength.
Variant::Variant(const UString& s) : type_(varString) {
  if (IsSharedChar(s)) {
    u_.str = tCharBodies.Share(s[0]);
    return;
  }
  CheckStringLength(static_cast<int64_t>(s.size()));
  u_.str = new SharedString::Rep{1, s};
}

Variant::Variant(UString&& s) : type_(varString) {
  if (IsSharedChar(s)) {
    u_.str = tCharBodies.Share(s[0]);
    return;
  }
  CheckStringLength(static_cast<int64_t>(s.size()));
  u_.str = new SharedString::Rep{1, std::move(s)};
}

Variant::Variant(const SharedString& s) : type_(varString) {
  // Share the body when there is one; an empty SharedString gets a body of its own so that
  // a string Variant always has one.
  CheckStringLength(static_cast<int64_t>(s.Size()));
  SharedString copy = s;
  u_.str = copy.Detach();
  if (!u_.str) u_.str = new SharedString::Rep{1, UString()};
}

void Variant::AddRefBody() const noexcept {
  if (type_ & varArray) {
    ++u_.arr->refs;
  } else if (type_ == varDispatch) {
    if (u_.disp) u_.disp->AddRef();
  } else {
    ++u_.str->refs;
  }
}

namespace {

// Freeing an array body frees its elements, which may hold array bodies in turn, to any
// depth a script built (a million arrays each holding the one before). Done recursively that
// would overflow the stack; so while one body is being freed, the bodies whose last
// reference its elements drop wait in a list that the outermost free works through.
void FreeArrayBody(VarArrayData* body) noexcept {
  // Never destroyed: arrays may still go after static destructors ran.
  static auto& waiting = *new std::vector<VarArrayData*>;
  static bool freeing = false;
  if (freeing) {
    try {
      waiting.push_back(body);
      return;
    } catch (...) {
      // No memory for the list: free this one at once, recursing as deep as it goes.
    }
    delete body;
    return;
  }
  freeing = true;
  delete body;
  while (!waiting.empty()) {
    VarArrayData* next = waiting.back();
    waiting.pop_back();
    delete next;
  }
  freeing = false;
}

}  // namespace

void Variant::ReleaseBody() noexcept {
  uint16_t t = type_;
  type_ = varEmpty;
  if (t & varArray) {
    if (--u_.arr->refs == 0) FreeArrayBody(u_.arr);
  } else if (t == varDispatch) {
    if (u_.disp) u_.disp->Release();
  } else {
    if (--u_.str->refs == 0) delete u_.str;
  }
}

Variant Variant::FromInt64(int64_t v) noexcept {
  if (v >= std::numeric_limits<int32_t>::min() && v <= std::numeric_limits<int32_t>::max())
    return Variant(static_cast<int32_t>(v));
  return Variant(static_cast<double>(v));
}

Variant Variant::Smallint(int16_t v) noexcept {
  Variant r;
  r.type_ = varSmallint;
  r.u_.si = v;
  return r;
}

Variant Variant::Byte(uint8_t v) noexcept {
  Variant r;
  r.type_ = varByte;
  r.u_.by = v;
  return r;
}

Variant Variant::Single(float v) noexcept {
  Variant r;
  r.type_ = varSingle;
  r.u_.f = v;
  return r;
}

Variant Variant::Currency(int64_t scaled) noexcept {
  Variant r;
  r.type_ = varCurrency;
  r.u_.i64 = scaled;
  return r;
}

Variant Variant::Date(double v) noexcept {
  Variant r;
  r.type_ = varDate;
  r.u_.d = v;
  return r;
}

Variant Variant::OleStr(const UString& s) {
  Variant r(s);
  r.type_ = varOleStr;
  return r;
}

Variant Variant::Dispatch(DispatchObject* obj) {
  Variant r;
  r.type_ = varDispatch;
  r.u_.disp = obj;
  if (obj) obj->AddRef();
  return r;
}

bool Variant::IsOrdinal() const noexcept {
  return type_ == varSmallint || type_ == varInteger || type_ == varByte || type_ == varBoolean;
}

const UString& Variant::RawString() const noexcept { return u_.str->text; }

SharedString Variant::RawShared() const {
  ++u_.str->refs;
  return SharedString::Adopt(u_.str);
}

// --- conversions -----------------------------------------------------------------------

int64_t Variant::ToInt64() const {
  switch (type_) {
    case varEmpty:
      return 0;
    case varSmallint:
      return u_.si;
    case varInteger:
      return u_.i;
    case varByte:
      return u_.by;
    case varBoolean:
      return u_.b ? -1 : 0;
    case varSingle:
      return RoundedToInt64(u_.f);
    case varDouble:
    case varDate:
      return RoundedToInt64(u_.d);
    case varCurrency:
      return CurrencyToWhole(u_.i64);
    case varString:
    case varOleStr: {
      int64_t v;
      if (!TextToInt64(u_.str->text, v)) ThrowConversion();
      return v;
    }
    default:
      ThrowConversion();
  }
}

int32_t Variant::ToInt() const {
  switch (type_) {
    case varInteger:
      return u_.i;
    case varString:
    case varOleStr: {
      int32_t v;
      if (TryTextToInt32(u_.str->text, v)) return v;
      return CheckedInt32(ToInt64());
    }
    default:
      return CheckedInt32(ToInt64());
  }
}

double Variant::ToDouble() const {
  switch (type_) {
    case varEmpty:
      return 0;
    case varSmallint:
      return u_.si;
    case varInteger:
      return u_.i;
    case varByte:
      return u_.by;
    case varBoolean:
      return u_.b ? -1 : 0;
    case varSingle:
      return u_.f;
    case varDouble:
    case varDate:
      return u_.d;
    case varCurrency:
      return static_cast<double>(u_.i64) / 10000.0;
    case varString:
    case varOleStr:
      return TextToDouble(u_.str->text);
    default:
      ThrowConversion();
  }
}

int64_t Variant::ToCurrency() const {
  switch (type_) {
    case varCurrency:
      return u_.i64;
    case varEmpty:
      return 0;
    case varSmallint:
    case varInteger:
    case varByte:
    case varBoolean:
      return ToInt64() * 10000;
    case varString:
    case varOleStr: {
      int64_t v;
      if (TryTextToCurrency(u_.str->text, v)) return v;
      return DoubleToCurrency(ToDouble());
    }
    default:
      return DoubleToCurrency(ToDouble());
  }
}

UString Variant::ToString() const {
  switch (type_) {
    case varEmpty:
      return UString();
    case varSmallint:
    case varInteger:
    case varByte:
      return IntToUStr(ToInt64());
    case varBoolean:
      return u_.b ? u"True" : u"False";
    case varSingle:
      return FloatToText(u_.f, 7);
    case varDouble:
      return FloatToText(u_.d);
    case varCurrency:
      return CurrencyToText(u_.i64);
    case varDate:
      return DateTimeToText(u_.d);
    case varString:
    case varOleStr:
      return u_.str->text;
    default:
      ThrowConversion();
  }
}

bool Variant::ToBool() const {
  switch (type_) {
    case varEmpty:
      return false;
    case varBoolean:
      return u_.b;
    case varSmallint:
      return u_.si != 0;
    case varInteger:
      return u_.i != 0;
    case varByte:
      return u_.by != 0;
    case varSingle:
      return u_.f != 0;
    case varDouble:
    case varDate:
      return u_.d != 0;
    case varCurrency:
      return u_.i64 != 0;
    case varString:
    case varOleStr:
      return TextToBool(u_.str->text);
    default:
      ThrowConversion();
  }
}

Variant VarAsType(const Variant& v, uint16_t varType) {
  if (v.Type() == varType || varType == varVariant) return v;
  if (v.IsNull()) ThrowConversion();
  switch (varType) {
    case varEmpty:
      return Variant();
    case varSmallint: {
      int32_t i = v.ToInt();
      if (i < std::numeric_limits<int16_t>::min() || i > std::numeric_limits<int16_t>::max())
        ThrowOverflow();
      return Variant::Smallint(static_cast<int16_t>(i));
    }
    case varByte: {
      int32_t i = v.ToInt();
      if (i < 0 || i > 255) ThrowOverflow();
      return Variant::Byte(static_cast<uint8_t>(i));
    }
    case varInteger:
      return Variant(v.ToInt());
    case varSingle: {
      double d = v.ToDouble();
      if (std::isfinite(d) && std::fabs(d) > FLT_MAX) ThrowOverflow();
      return Variant::Single(static_cast<float>(d));
    }
    case varDouble:
      return Variant(v.ToDouble());
    case varCurrency:
      return Variant::Currency(v.ToCurrency());
    case varDate:
      return Variant::Date(v.ToDouble());
    case varBoolean:
      return Variant(v.ToBool());
    case varOleStr:
      return Variant::OleStr(v.ToString());
    case varString:
      return Variant(v.ToString());
    case varDispatch:
      if (v.IsEmpty()) return Variant::Dispatch(nullptr);
      ThrowConversion();
    default:
      ThrowConversion();
  }
}

// --- arrays ----------------------------------------------------------------------------

Variant Variant::Array(const std::vector<ArrayBound>& bounds, uint16_t elemType) {
  if (bounds.empty() || !IsStorableElementType(elemType)) ThrowArrayCreate();
  int64_t total = 1;
  for (const ArrayBound& b : bounds) {
    int64_t count = int64_t{b.high} - b.low + 1;
    if (count < 0) ThrowArrayCreate();
    total *= count;
    if (total > kMaxArrayElements) ThrowArrayCreate();
  }
  auto* data = new VarArrayData;
  data->refs = 1;
  data->elemType = elemType;
  data->bounds = bounds;
  try {
    data->elems.assign(static_cast<size_t>(total), ZeroOf(elemType));
  } catch (...) {
    delete data;
    throw;
  }
  Variant r;
  r.type_ = static_cast<uint16_t>(varArray | elemType);
  r.u_.arr = data;
  return r;
}

Variant Variant::ArrayOf(std::vector<Variant> values) {
  if (values.size() > static_cast<size_t>(kMaxArrayElements)) ThrowArrayCreate();
  Variant r = Array({ArrayBound{0, -1}});
  r.u_.arr->bounds[0].high = static_cast<int32_t>(values.size()) - 1;
  r.u_.arr->elems = std::move(values);
  return r;
}

int Variant::ArrayDimCount() const {
  return IsArray() ? static_cast<int>(u_.arr->bounds.size()) : 0;
}

ArrayBound Variant::ArrayBoundOf(int dim) const {
  if (!IsArray()) ThrowNotArray();
  if (dim < 1 || dim > ArrayDimCount()) ThrowIndex();
  return u_.arr->bounds[static_cast<size_t>(dim - 1)];
}

namespace {

// Row-major position of an element: the last index varies fastest.
size_t ElementOffset(const VarArrayData& data, const int32_t* indices, int count) {
  if (count != static_cast<int>(data.bounds.size()) || (count > 0 && !indices)) ThrowIndex();
  size_t offset = 0;
  for (int k = 0; k < count; ++k) {
    const ArrayBound& b = data.bounds[static_cast<size_t>(k)];
    if (indices[k] < b.low || indices[k] > b.high) ThrowIndex();
    offset = offset * static_cast<size_t>(b.Count()) + static_cast<size_t>(indices[k] - b.low);
  }
  return offset;
}

}  // namespace

const Variant& Variant::Element(const int32_t* indices, int count) const {
  if (!IsArray()) ThrowNotArray();
  return u_.arr->elems[ElementOffset(*u_.arr, indices, count)];
}

VarArrayData* Variant::MutableArrayData() {
  if (!IsArray()) ThrowNotArray();
  if (u_.arr->refs > 1) {
    auto* copy = new VarArrayData(*u_.arr);
    copy->refs = 1;
    --u_.arr->refs;
    u_.arr = copy;
  }
  return u_.arr;
}

void Variant::SetElement(const int32_t* indices, int count, const Variant& value) {
  if (!IsArray()) ThrowNotArray();
  size_t offset = ElementOffset(*u_.arr, indices, count);
  // The converted copy holds its own reference to whatever it shares, so storing an array
  // into itself unshares the body first and never builds a cycle.
  Variant stored = VarAsType(value, u_.arr->elemType);
  MutableArrayData()->elems[offset] = std::move(stored);
}

}  // namespace kv
