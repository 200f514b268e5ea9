// Element access of arrays and character access of strings.
#include <algorithm>

#include "engine/kv_iconst.h"
#include "engine/kv_iinterpreter.h"

namespace kv {

namespace {

constexpr int kMaxIndexedDims = 3;

TkvCustomVariable& RequireParentRef(TkvCustomVariable* parentRef, const UString& helperName) {
  if (!parentRef) throw Exception(helperName + u" was called without the item it indexes");
  return *parentRef;
}

// The index parameters' values; Variant rejects a count that does not match the array.
int ReadIndices(const TkvCustomVariable& helper, int dims, int32_t (&indices)[kMaxIndexedDims]) {
  const int count = std::min(dims, helper.ItemCount());
  for (int k = 0; k < count; ++k) indices[k] = helper.ParamAt(k)->Value.ToInt();
  return count;
}

}  // namespace

// --- TkvArrayHelper ------------------------------------------------------------------------

// The array is the indexed item's stored value, read in place; a value that only the
// preceding step holds (a function result, a property) is read from InstanceValue.
Variant TkvArrayHelper::GetValue() {
  const TkvCustomVariable& owner = RequireParentRef(ParentRef, Name);
  Variant instance = std::move(InstanceValue);
  InstanceValue = Variant();
  const Variant& array = owner.Value.IsArray() || !instance.IsArray() ? owner.Value : instance;
  const int dims = array.ArrayDimCount();
  if (dims > kMaxIndexedDims) return Variant::Null();
  int32_t indices[kMaxIndexedDims] = {};
  const int count = ReadIndices(*this, dims, indices);
  return array.Element(indices, count);
}

// InstanceValue is released before the write: a second reference to the array's body would
// make the in-place write copy the whole array.
void TkvArrayHelper::SetValue(const Variant& value) {
  TkvCustomVariable& owner = RequireParentRef(ParentRef, Name);
  Variant instance = std::move(InstanceValue);
  InstanceValue = Variant();
  if (owner.ReadOnly) return;
  if (owner.Value.IsArray() || !instance.IsArray()) {
    instance = Variant();
    const int dims = owner.Value.ArrayDimCount();
    if (dims > kMaxIndexedDims) return;
    int32_t indices[kMaxIndexedDims] = {};
    const int count = ReadIndices(*this, dims, indices);
    owner.Value.SetElement(indices, count, value);
    return;
  }
  const int dims = instance.ArrayDimCount();
  if (dims > kMaxIndexedDims) return;
  int32_t indices[kMaxIndexedDims] = {};
  const int count = ReadIndices(*this, dims, indices);
  instance.SetElement(indices, count, value);
  owner.SetValue(instance);
}

// --- TkvStringHelper -----------------------------------------------------------------------

namespace {

size_t CheckedCharIndex(int32_t index, size_t length) {
  if (index < 1 || static_cast<size_t>(index) > length)
    throw ERangeError(FormatMessage(msg::StringIndexOutOfRange, IntToUStr(index)));
  return static_cast<size_t>(index - 1);
}

}  // namespace

TkvStringHelper::TkvStringHelper() : TkvCustomHelper(u"__StringHelper", UString(), vkChar) {
  AddItem(new TkvParamItem(UString(), UString(), vkInteger, false, false));
}

Variant TkvStringHelper::GetValue() {
  const int32_t index = ParamAt(0)->Value.ToInt();
  if (InstanceValue.IsString()) {
    const UString& text = InstanceValue.RawString();
    return Variant(UString(1, text[CheckedCharIndex(index, text.size())]));
  }
  const UString text = InstanceValue.ToString();
  return Variant(UString(1, text[CheckedCharIndex(index, text.size())]));
}

// Only the first character of the new value counts, so S[1] := 'AB' stores A.
void TkvStringHelper::SetValue(const Variant& value) {
  TkvCustomVariable& owner = RequireParentRef(ParentRef, Name);
  const int32_t index = ParamAt(0)->Value.ToInt();
  UString text = InstanceValue.ToString();
  const size_t at = CheckedCharIndex(index, text.size());
  const UString replacement = value.ToString();
  if (replacement.empty()) throw EConvertError(UString(msg::EmptyCharacter));
  text[at] = replacement[0];
  InstanceValue = Variant();
  owner.SetValue(Variant(std::move(text)));
}

}  // namespace kv
