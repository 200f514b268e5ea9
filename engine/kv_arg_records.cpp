// Argument records <-> Variants: event arguments coming in from the host, by-reference
// event arguments going back, and the argument blocks of the formatting routines.
#include <vector>

#include "engine/kv_iconst.h"
#include "engine/kv_itools.h"
#include "host/core/exceptions.h"

namespace kv {

namespace {

// The host's argument blocks hold 32 records; longer lists are refused with that limit.
constexpr size_t kMaxArgs = 32;

Variant CharValue(int64_t code) {
  return Variant(UString(1, static_cast<char16_t>(code & 0xFFFF)));
}

// The record of one element of an argument array; elements of other tags stay integer 0.
TVarRec ElementToArg(const Variant& element) {
  switch (element.Type()) {
    case varSmallint:
    case varInteger:
    case varByte:
      return TVarRec::Integer(element.ToInt());
    case varSingle:
    case varDouble:
    case varCurrency:
    case varDate:
      return TVarRec::Extended(element.ToDouble());
    case varOleStr:
    case varString:
      return TVarRec::String(element.RawString());
    case varBoolean:
      return TVarRec::Boolean(element.RawBool());
    default:
      return TVarRec::Integer(0);
  }
}

}  // namespace

// Our records own their text, so the text tags (the host's pointer-to-characters ones
// included) all give the string; only raw pointers, classes and interfaces give Null.
Variant ArgRecordToVariant(const TVarRec& rec) {
  switch (rec.VType) {
    case TVarRec::vtInteger:
    case TVarRec::vtInt64:
      return Variant::FromInt64(rec.VInt);
    case TVarRec::vtObject:
      return Variant(static_cast<int32_t>(rec.VInt));
    case TVarRec::vtBoolean:
      return Variant(rec.VInt != 0);
    case TVarRec::vtChar:
    case TVarRec::vtWideChar:
      return CharValue(rec.VInt);
    case TVarRec::vtExtended:
      return Variant(rec.VExtended);
    case TVarRec::vtCurrency:
      return Variant(static_cast<double>(rec.VInt) / 10000.0);
    case TVarRec::vtString:
    case TVarRec::vtAnsiString:
    case TVarRec::vtWideString:
    case TVarRec::vtPChar:
    case TVarRec::vtPWideChar:
      return Variant(rec.VString);
    case TVarRec::vtVariant:
      return rec.VVariant;
    case TVarRec::vtPointer:
    case TVarRec::vtClass:
    case TVarRec::vtInterface:
      break;
  }
  return Variant::Null();
}

// A character record written from an empty string gets the code 0, which the host reads
// as "no character" (a key press handler that clears Key swallows the key).
void VariantToArgRecord(const Variant& value, TVarRec& rec) {
  switch (rec.VType) {
    case TVarRec::vtInteger:
    case TVarRec::vtObject:
      rec.VInt = value.ToInt();
      break;
    case TVarRec::vtInt64:
      rec.VInt = value.ToInt64();
      break;
    case TVarRec::vtBoolean:
      rec.VInt = value.ToBool() ? 1 : 0;
      break;
    case TVarRec::vtChar:
    case TVarRec::vtWideChar: {
      const UString text = value.ToString();
      rec.VInt = text.empty() ? 0 : text[0];
      break;
    }
    case TVarRec::vtExtended:
      rec.VExtended = value.ToDouble();
      break;
    case TVarRec::vtCurrency:
      rec.VInt = value.ToCurrency();
      break;
    case TVarRec::vtString:
    case TVarRec::vtAnsiString:
    case TVarRec::vtWideString:
    case TVarRec::vtPChar:
    case TVarRec::vtPWideChar:
      rec.VString = value.ToString();
      break;
    case TVarRec::vtVariant:
      rec.VVariant = value;
      break;
    case TVarRec::vtPointer:
    case TVarRec::vtClass:
    case TVarRec::vtInterface:
      break;  // nothing a script value could mean
  }
}

// A value that is no array is taken as a list of one, so Format('%d', 5) works as well as
// Format('%d', [5]).
// Exactly one record per element: a format that asks for more arguments than the script gave
// must find none and raise, not read made-up zeros.
std::vector<TVarRec> VariantArrayToArgs(const Variant& array) {
  if (!array.IsArray()) return {ElementToArg(array)};
  if (array.ArrayDimCount() != 1)
    throw EVariantError(UString(u"An argument list must be a one-dimensional array"));
  const ArrayBound bound = array.ArrayBoundOf(1);
  if (static_cast<size_t>(bound.Count()) > kMaxArgs)
    throw Exception(UString(msg::TooManyArguments));
  std::vector<TVarRec> args;
  args.reserve(static_cast<size_t>(bound.Count()));
  for (int32_t i = 0; i < bound.Count(); ++i) {
    const int32_t index = bound.low + i;
    args.push_back(ElementToArg(array.Element(&index, 1)));
  }
  return args;
}

}  // namespace kv
