// The operator table.
#include "engine/kv_operators.h"

#include <array>

#include "engine/kv_iexpression.h"

namespace kv {

namespace {

template <class Node>
TkvExpressionNode* Make() {
  return new Node;
}

using P = TkvOperatorPlace;

// The first entry of each kind is the one OperatorInfo answers.
constexpr std::array<TkvOperatorInfo, 25> kOperators = {{
    {u" ", okNone, P::Placeholder, 7, &Make<TNoneNode>},
    {u">", okGreat, P::Binary, 4, &Make<TGreatNode>},
    {u"<", okLess, P::Binary, 4, &Make<TLessNode>},
    {u"<=", okLessEq, P::Binary, 4, &Make<TLessEqNode>},
    {u">=", okGreatEq, P::Binary, 4, &Make<TGreatEqNode>},
    {u"<>", okNonEq, P::Binary, 4, &Make<TNonEqNode>},
    {u"=", okEq, P::Binary, 4, &Make<TEqNode>},
    {u"+", okPlus, P::Binary, 3, &Make<TPlusNode>},
    {u"STRCAT", okPlus, P::Binary, 3, &Make<TStrCatNode>},
    {u"-", okMinus, P::Binary, 3, &Make<TMinusNode>},
    {u"OR", okOr, P::Binary, 3, &Make<TOrNode>},
    {u"XOR", okXor, P::Binary, 3, &Make<TXorNode>},
    {u"*", okMul, P::Binary, 2, &Make<TMulNode>},
    {u"/", okDivFloat, P::Binary, 2, &Make<TDivFloatNode>},
    {u"DIV", okDivInt, P::Binary, 2, &Make<TDivIntNode>},
    {u"MOD", okMod, P::Binary, 2, &Make<TModNode>},
    {u"AND", okAnd, P::Binary, 2, &Make<TAndNode>},
    {u"SHL", okShl, P::Binary, 2, &Make<TShlNode>},
    {u"SHR", okShr, P::Binary, 2, &Make<TShrNode>},
    {u"(", okLeftBracket, P::Opening, 6, &Make<TLeftBracketNode>},
    {u")", okRightBracket, P::Closing, 5, &Make<TRightBracketNode>},
    {u"NOT", okNot, P::Opening, 1, &Make<TNotNode>},
    {u"UNMINUS", okUnMinus, P::Opening, 1, &Make<TUnMinusNode>},
    {u"IN", okIn, P::Binary, 4, &Make<TInNode>},
    {u"IS", okIs, P::Binary, 4, &Make<TIsNode>},
}};

}  // namespace

// Expressions are built operator by operator while compiling: the look-up compares in place,
// without an upper-cased copy of the text.
const TkvOperatorInfo* FindOperator(UStringView text) {
  for (const TkvOperatorInfo& entry : kOperators) {
    const UStringView name = entry.text;
    if (name.size() != text.size()) continue;
    size_t i = 0;
    while (i < name.size() && text[i] < 0x80 && UpCase(text[i]) == name[i]) ++i;  // ASCII
    if (i == name.size()) return &entry;
  }
  return nullptr;
}

namespace {

// For each kind, the index of its first entry.
constexpr std::array<uint8_t, okIs + 1> kFirstOfKind = [] {
  std::array<uint8_t, okIs + 1> first{};
  for (size_t k = 0; k < first.size(); ++k) {
    for (size_t i = 0; i < kOperators.size(); ++i) {
      if (kOperators[i].kind == k) {
        first[k] = static_cast<uint8_t>(i);
        break;
      }
    }
  }
  return first;
}();

}  // namespace

const TkvOperatorInfo& OperatorInfo(TkvOperatorKind kind) {
  return kind < kFirstOfKind.size() ? kOperators[kFirstOfKind[kind]] : kOperators[0];
}

}  // namespace kv
