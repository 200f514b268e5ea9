// Engine tools shared by the engine, the front end and the binding libraries: type kinds,
// type compatibility, declaration strings, literal values, the language registry, and the
// conversions between Variants and the host's argument records.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "host/core/arg_record.h"
#include "host/core/ustring.h"
#include "host/core/variant.h"

namespace kv {

class TkvCustomVariable;

// The type kind of every item; the ordinals are stored and compared as numbers.
enum TkvValueKind : uint8_t {
  vkInteger = 0,
  vkBoolean = 1,
  vkFloat = 2,
  vkChar = 3,
  vkString = 4,
  vkClass = 5,
  vkArray = 6,
  vkVariant = 7,
  vkEnum = 8,
  vkConstructor = 9,
};

// Type names take part in compatibility tests with at most this many characters.
inline constexpr size_t kTypeNameSignificant = 32;

// The kind of the global item of that name; an unknown or empty name is taken for a class.
TkvValueKind TypeKindOf(UStringView typeName);
// Whether the class registered as className descends from (or is) the one of ancestorName.
bool ClassInherits(UStringView ancestorName, UStringView className);
// Whether a value of the source type may be stored into or passed as the target type.
bool TypesCompatible(TkvValueKind targetKind, UStringView targetType, TkvValueKind sourceKind,
                     UStringView sourceType);
// TypesCompatible, except that an integer variable refuses a float expression.
bool AssignmentCompatible(const TkvCustomVariable* variable, const TkvCustomVariable* expr);
// "Integer", "Extended", "Class TStringList", the enumeration's own name, ...
UString TypeDisplayName(const TkvCustomVariable* item);
UString TypeDisplayName(TkvValueKind kind, UStringView typeName);

// Parses a declaration string ("function Find(s: String; var Index: Integer): Boolean") into
// a holder item whose children are TkvParamItems, one per parameter in order. The caller
// takes the parameters over.
std::unique_ptr<TkvCustomVariable> ParseDeclaration(UStringView declaration);
// The value of a literal's text: '' quoted string; $hex integer (the low 32 bits of any
// number of digits); a decimal integer, or a double when it is outside the Integer range;
// else a float with "." as decimal separator. Empty text yields Null.
Variant ParseLiteralValue(UStringView text);

// The process-wide language registry: name -> grammar document text. The first
// registration of a name wins; names ignore letter case.
void RegisterLanguageGrammar(UStringView name, UStringView grammarText);
// Raises "Language '%s' not found" for an unregistered name.
UString LanguageGrammar(UStringView name);
void ClearLanguageRegistry();  // for the shut-down sequence and tests

// Argument records <-> Variants.
Variant ArgRecordToVariant(const TVarRec& rec);
// Fills a record of the same tag as `rec` from a value (the write-back of by-reference
// event arguments).
void VariantToArgRecord(const Variant& value, TVarRec& rec);
// A one-dimensional variant array -> one record per element (a value that is no array is a
// list of one). More than 32 elements raise "Too many arguments (at most 32)".
std::vector<TVarRec> VariantArrayToArgs(const Variant& array);
// Nothing to release: our records own their contents. Kept for the callers' symmetry.
inline void FreeArgs(std::vector<TVarRec>& args) { args.clear(); }

// Replaces the first "%s" or "%d" of a message pattern. The argument is often source text
// and is quoted as its MessageExcerpt.
UString FormatMessage(UStringView pattern, UStringView arg);

}  // namespace kv
