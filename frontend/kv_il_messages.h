// Messages of the IL compiler. A compile error reaches the user as "Error in ROW:COL ->
// MESSAGE", so the texts name the construct in the script's own terms. The "Invalid IL
// document" texts are for IL that no grammar of ours produces (a broken grammar, a host or a
// fuzzer feeding the compiler directly).
#pragma once

#include "host/core/message_excerpt.h"
#include "host/core/ustring.h"

namespace kv::ilmsg {

// Names come from the source and may be any length: only their beginning is quoted.
inline UString Quoted(UStringView prefix, UStringView name) {
  UString text(prefix);
  text += u"'";
  text += MessageExcerpt(name);
  text += u"'";
  return text;
}

// Declarations and statements.
inline UString IdentifierRedeclared(UStringView name) {
  return Quoted(u"Identifier redeclared: ", name);
}
inline UString UnknownType(UStringView name) { return Quoted(u"Unknown type: ", name); }
inline UString IncompatibleTypes(UStringView target, UStringView source) {
  return Quoted(u"Incompatible types: ", target) + Quoted(u", ", source);
}
inline constexpr const char16_t* ClassTypeRequired = u"Class type required";
inline constexpr const char16_t* LeftSideNotAssignable = u"Left side cannot be assigned to";
inline constexpr const char16_t* ForLoopVariable = u"For loop variable must be numeric variable";
inline constexpr const char16_t* FlowOutsideLoop = u"Break or Continue outside of a loop";

// Expressions, designators and names.
inline UString UndeclaredIdentifier(UStringView name) {
  return Quoted(u"Undeclared identifier: ", name);
}
inline constexpr const char16_t* IncompatibleTypesPlain = u"Incompatible types";
inline constexpr const char16_t* IndexRequired = u"Index required";
inline constexpr const char16_t* StringsHaveNoMembers =
    u"Strings doesn't have properties or methods";
inline constexpr const char16_t* NoDefaultProperty = u"Class %s does not have a default property";
inline constexpr const char16_t* ArrayTypeRequired = u"Array type required";
inline constexpr const char16_t* VariableRequired = u"Variable required";
inline constexpr const char16_t* NotEnoughParameters = u"Not enough actual parameters";
inline constexpr const char16_t* TooManyParameters = u"Too many actual parameters";
inline constexpr const char16_t* ExpressionExpected = u"Expression expected";
inline constexpr const char16_t* MissingBracket = u"')' expected";
inline constexpr const char16_t* OleNotSupported = u"OLE automation is not supported yet";

// A member or index of a value the compiler cannot know before run time.
inline constexpr const char16_t* VariantResultMembers =
    u"The members of a Variant result are not known before run time; "
    u"assign the result to a Variant variable first";
inline constexpr const char16_t* ComputedArrayIndex =
    u"Only an array variable can be indexed; assign the result to a variable first";
// A designator put off until its first use meets a Variant that still holds no value.
inline UString NullVariantMember(UStringView name) {
  return Quoted(u"Variant holds no value (Null): cannot resolve ", name);
}
inline constexpr const char16_t* NullVariantIndex =
    u"Variant holds no value (Null): cannot index it";

inline constexpr const char16_t* NestingTooDeep =
    u"Program too complex: statements or expressions nested too deeply";

// IL that no grammar of ours produces.
inline UString UnexpectedElement(UStringView name) {
  return Quoted(u"Invalid IL document: unexpected element ", name);
}
inline UString IncompleteElement(UStringView name) {
  return Quoted(u"Invalid IL document: incomplete element ", name);
}
inline constexpr const char16_t* NotDeferredCode =
    u"Invalid deferred code: not produced by the IL compiler";

}  // namespace kv::ilmsg
