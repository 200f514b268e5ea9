// The operators of expressions, in one table: the text that names each in the IL (any letter
// case), its kind, where it stands in an expression and how tightly it binds. The expression
// builder and the IL compiler's shape check both read it.
#pragma once

#include <cstdint>
#include <memory>

#include "host/core/ustring.h"

namespace kv {

class TkvExpressionNode;

// Operator codes, stored as 8-bit numbers.
enum TkvOperatorKind : uint8_t {
  okNone = 0,
  okGreat = 1,
  okLess = 2,
  okLessEq = 3,
  okGreatEq = 4,
  okNonEq = 5,
  okEq = 6,
  okPlus = 7,
  okMinus = 8,
  okOr = 9,
  okXor = 10,
  okMul = 11,
  okDivFloat = 12,
  okDivInt = 13,
  okMod = 14,
  okAnd = 15,
  okShl = 16,
  okShr = 17,
  okLeftBracket = 18,
  okRightBracket = 19,
  okNot = 20,
  okUnMinus = 21,
  okIn = 22,
  okIs = 23,
  okStrCat = 24,  // concatenation asked for by name; adds like "+" when not both strings
};
inline constexpr int kOperatorKindCount = okStrCat + 1;

enum class TkvOperatorPlace : uint8_t {
  Opening,      // stands before its operand: "(", "not", unary minus
  Closing,      // ")"
  Binary,       // between its operands
  Placeholder,  // the builder's empty root; never written in an expression
};

struct TkvOperatorInfo {
  const char16_t* text;  // upper case
  TkvOperatorKind kind;
  TkvOperatorPlace place;
  // Lower binds tighter: 1 unary, 2 multiplying, 3 adding, 4 comparing; brackets and the
  // placeholder rank above every operator so that building stops at them.
  uint8_t priority;
  std::unique_ptr<TkvExpressionNode> (*make)();  // a new node of the operator
};

// The operator a text names, in any letter case; nullptr when it names none.
const TkvOperatorInfo* FindOperator(UStringView text);
// The entry of a kind ("+" for okPlus, which string concatenation shares).
const TkvOperatorInfo& OperatorInfo(TkvOperatorKind kind);

}  // namespace kv
