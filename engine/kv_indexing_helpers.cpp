// Element access of arrays and character access of strings.
#include <vector>

#include "engine/kv_iconst.h"
#include "engine/kv_member_helpers.h"
#include "host/core/exceptions.h"

namespace kv {

namespace {

TkvCustomVariable& RequireParentRef(TkvCustomVariable* parentRef, const UString& helperName) {
  if (!parentRef) throw Exception(helperName + u" was called without the item it indexes");
  return *parentRef;
}

// The indices of one element, read from the helper's index parameters: a declared array's
// helper has one parameter per dimension, the shared helper of Variant arrays three, of which
// those not given hold Null. A count that does not match the array's dimensions raises,
// instead of reading some other element or nothing at all.
class ElementIndices {
 public:
  ElementIndices(const TkvCustomVariable& helper, const Variant& array) {
    const int dims = array.ArrayDimCount();
    if (dims == 0) return;  // not an array: Element and SetElement raise for it
    const int given = GivenCount(helper);
    if (given != dims)
      throw EVariantError(u"The array has " + IntToUStr(dims) +
                          (dims == 1 ? u" dimension" : u" dimensions") + u", but " +
                          IntToUStr(given) + (given == 1 ? u" index was" : u" indices were") +
                          u" given");
    if (dims > kInline) overflow_.resize(static_cast<size_t>(dims));
    int32_t* out = Data();
    for (int k = 0; k < dims; ++k) out[k] = helper.ParamAt(k)->Value.ToInt();
    count_ = dims;
  }
  const int32_t* Data() const { return overflow_.empty() ? inline_ : overflow_.data(); }
  int Count() const { return count_; }

 private:
  static constexpr int kInline = 3;

  int32_t* Data() { return overflow_.empty() ? inline_ : overflow_.data(); }

  static int GivenCount(const TkvCustomVariable& helper) {
    int count = helper.ItemCount();
    while (count > 0) {
      const TkvParamItem* last = helper.ParamAt(count - 1);
      if (!last->Optional || !last->Value.IsNull()) break;
      --count;
    }
    return count;
  }

  int32_t inline_[kInline] = {};
  std::vector<int32_t> overflow_;
  int count_ = 0;
};

}  // namespace

// --- TkvArrayHelper ------------------------------------------------------------------------

// The array is the indexed item's stored value, read in place; a value that only the
// preceding step holds (a function result, a property) is read from InstanceValue.
Variant TkvArrayHelper::GetValue() {
  const TkvCustomVariable& owner = RequireParentRef(ParentRef, Name);
  Variant instance = std::move(InstanceValue);
  InstanceValue = Variant();
  const Variant& array = owner.Value.IsArray() || !instance.IsArray() ? owner.Value : instance;
  const ElementIndices indices(*this, array);
  return array.Element(indices.Data(), indices.Count());
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
    const ElementIndices indices(*this, owner.Value);
    owner.Value.SetElement(indices.Data(), indices.Count(), value);
    return;
  }
  const ElementIndices indices(*this, instance);
  instance.SetElement(indices.Data(), indices.Count(), value);
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
  AddItem(new TkvParamItem(UString(), UString(), vkInteger, TkvPassing::ByValue,
                           TkvPresence::Required));
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
