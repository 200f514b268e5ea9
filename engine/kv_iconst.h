// Message texts of the engine. Every user-visible text of the engine lives here, so that the
// messages stay consistent and findable.
#pragma once

namespace kv::msg {

inline constexpr const char16_t* LanguageNotFound = u"Language '%s' not found";
inline constexpr const char16_t* InvalidLanguage = u"Invalid language definition";
inline constexpr const char16_t* EventHandlerMustBeProc = u"Event handler must be a procedure";
inline constexpr const char16_t* StackOverflow = u"Stack overflow";
inline constexpr const char16_t* NoFrontEnd = u"No language front end is linked";
inline constexpr const char16_t* IncompatibleTypes = u"Incompatible types";
inline constexpr const char16_t* DivisionByZero = u"Division by zero";
inline constexpr const char16_t* StringIndexOutOfRange = u"String index out of range (%d)";
inline constexpr const char16_t* EmptyCharacter = u"Cannot assign an empty string to a character";
inline constexpr const char16_t* TooManyEventParams =
    u"Event handler '%s' declares more parameters than its event passes";
// Assigning a handler whose parameters the event cannot fill: handler name, its parameter
// count, the event's name and the number of arguments it passes.
inline constexpr const char16_t* HandlerParamsExceedEvent =
    u"Event handler '%s' declares %d parameters, but %s passes only %d";
inline constexpr const char16_t* TooManyArguments = u"Too many arguments (at most 32)";

// Malformed expressions. The compiler never builds them from valid IL; they guard hosts and
// front ends that build expressions themselves.
inline constexpr const char16_t* ExprUnknownOperator = u"Unknown operator '%s'";
inline constexpr const char16_t* ExprUnmatchedBracket = u"')' without a matching '('";
inline constexpr const char16_t* ExprMissingBracket = u"Missing ')'";
inline constexpr const char16_t* ExprEmptyBrackets = u"Empty brackets";
inline constexpr const char16_t* ExprEmpty = u"Empty expression";
inline constexpr const char16_t* ExprMissingOperand = u"Missing operand";
inline constexpr const char16_t* ExprMissingOperator = u"Missing operator";
inline constexpr const char16_t* ExprInNeedsSet = u"The right operand of 'in' must be a set";
inline constexpr const char16_t* ExprIsNeedsClass =
    u"The right operand of 'is' must be a class name";

}  // namespace kv::msg
