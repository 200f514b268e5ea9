// The operator table.
#include "engine/kv_operators.h"

#include <array>
#include <memory>

#include "engine/kv_iexpression.h"

namespace kv {

namespace {

template <class Node>
std::unique_ptr<TkvExpressionNode> Make() {
  return std::make_unique<Node>();
}

using P = TkvOperatorPlace;

// The entry of a kind is the one OperatorInfo answers.
constexpr std::array<TkvOperatorInfo, 25> kOperators = {{
    {u" ", okNone, P::Placeholder, 7, &Make<TNoneNode>},
    {u">", okGreat, P::Binary, 4, &Make<TGreatNode>},
    {u"<", okLess, P::Binary, 4, &Make<TLessNode>},
    {u"<=", okLessEq, P::Binary, 4, &Make<TLessEqNode>},
    {u">=", okGreatEq, P::Binary, 4, &Make<TGreatEqNode>},
    {u"<>", okNonEq, P::Binary, 4, &Make<TNonEqNode>},
    {u"=", okEq, P::Binary, 4, &Make<TEqNode>},
    {u"+", okPlus, P::Binary, 3, &Make<TPlusNode>},
    {u"STRCAT", okStrCat, P::Binary, 3, &Make<TStrCatNode>},
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

constexpr size_t kLongestName = 7;
static_assert([] {
  for (const TkvOperatorInfo& entry : kOperators) {
    size_t length = 0;
    while (entry.text[length] != 0) ++length;
    if (length > kLongestName) return false;
  }
  return true;
}());

// The entries whose name begins with each ASCII character, in table order (kNoEntry ends a
// list): a look-up compares with these alone.
constexpr uint8_t kNoEntry = 0xFF;
constexpr size_t kMaxSameFirst = 4;
constexpr auto kByFirstChar = [] {
  std::array<std::array<uint8_t, kMaxSameFirst>, 128> lists{};
  for (auto& list : lists) list.fill(kNoEntry);
  for (size_t i = 0; i < kOperators.size(); ++i) {
    auto& list = lists[static_cast<size_t>(kOperators[i].text[0])];
    size_t k = 0;
    while (list[k] != kNoEntry) ++k;  // a fifth entry of one first character fails to compile
    list[k] = static_cast<uint8_t>(i);
  }
  return lists;
}();

}  // namespace

// Expressions are built operator by operator while compiling, so the look-up allocates
// nothing: operator names are short ASCII words, the text is upper-cased once into a buffer
// on the stack, then compared with the entries of its first character.
const TkvOperatorInfo* FindOperator(UStringView text) {
  if (text.empty() || text.size() > kLongestName) return nullptr;
  char16_t upper[kLongestName];
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c >= 0x80) return nullptr;
    upper[i] = c >= u'a' && c <= u'z' ? char16_t(c - u'a' + u'A') : c;
  }
  for (const uint8_t index : kByFirstChar[upper[0]]) {
    if (index == kNoEntry) break;
    const TkvOperatorInfo& entry = kOperators[index];
    const char16_t* name = entry.text;
    size_t i = 0;
    while (i < text.size() && name[i] == upper[i]) ++i;
    if (i == text.size() && name[i] == 0) return &entry;
  }
  return nullptr;
}

namespace {

// For each kind, the index of its entry.
constexpr std::array<uint8_t, kOperatorKindCount> kFirstOfKind = [] {
  std::array<uint8_t, kOperatorKindCount> first{};
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
