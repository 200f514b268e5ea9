// Declaration strings ("function Find(s: String; var Index: Integer): Boolean") and literal
// values. Both read fixed texts of binding libraries and the compiler, so a malformed text is
// read as far as it makes sense instead of raising; every loop below consumes at least one
// token per turn, so no text can make it spin.
#include <memory>
#include <vector>

#include "engine/kv_script.h"
#include "host/core/exceptions.h"
#include "host/core/message_excerpt.h"
#include "host/core/number_text.h"
#include "tokenizer/kv_iparser.h"

namespace kv {

namespace {

UString ReadSymbolAfterBlanks(TkvParser& parser) {
  parser.SkipBlanks();
  return parser.ReadSymbol();
}

// "array of const" and "array of Integer" are both an array to the engine.
UString ReadTypeName(TkvParser& parser) {
  UString typeName = parser.ReadWord();
  if (!SameText(typeName, u"array")) return typeName;
  const int afterArray = parser.Position();
  if (SameText(parser.ReadWord(), u"of")) {
    if (parser.ReadWord().empty()) parser.SetPosition(afterArray);
  } else {
    parser.SetPosition(afterArray);
  }
  return typeName;
}

// A hexadecimal literal is a bit pattern: it keeps the low 32 bits of however many digits it
// has, so $FFFFFFFF is -1.
Variant HexLiteralValue(UStringView text) {
  constexpr UStringView kHexDigits = u"0123456789ABCDEF";
  const UStringView digits = text.substr(1);
  if (digits.empty() || digits.find_first_not_of(u"0123456789abcdefABCDEF") != UStringView::npos)
    throw EConvertError(u"'" + MessageExcerpt(text) + u"' is not a valid integer value");
  uint32_t bits = 0;
  for (char16_t c : digits) bits = bits << 4 | static_cast<uint32_t>(kHexDigits.find(UpCase(c)));
  return Variant(static_cast<int32_t>(bits));
}

// Integer values negate in 32 bits, so the bit pattern $80000000 stays itself.
Variant Negated(const Variant& value) {
  if (value.Type() == varInteger)
    return Variant(static_cast<int32_t>(0u - static_cast<uint32_t>(value.RawInt())));
  return Variant(-value.ToDouble());
}

// After "=": a number (with an optional sign), a string, or a name whose value the global
// script holds; Null when it holds no such name.
Variant ReadDefaultValue(TkvParser& parser) {
  parser.SkipBlanks();
  const int start = parser.Position();
  const UString sign = parser.ReadSymbol();
  if (sign == u"-" || sign == u"+") {
    const UString number = parser.ReadNumber();
    if (!number.empty()) {
      Variant value = ParseLiteralValue(number);
      return sign == u"-" ? Negated(value) : value;
    }
  }
  parser.SetPosition(start);
  if (UString number = parser.ReadNumber(); !number.empty()) return ParseLiteralValue(number);
  if (UString text = parser.ReadString(); !text.empty()) return ParseLiteralValue(text);
  if (UString name = parser.ReadWord(); !name.empty()) {
    TkvScript* global = GlobalScript();
    TkvCustomVariable* item = global ? global->FindItem(name) : nullptr;
    if (item) return item->GetValue();
  }
  return Variant::Null();
}

struct ParamGroup {
  std::vector<UString> names;
  UString typeName;
  bool isVar = false;
  Variant defaultValue = Variant::Null();
};

// Only the last name of a group carries the default, and is optional when it has one.
void AddGroupParams(TkvCustomVariable& holder, const ParamGroup& group) {
  const TkvValueKind kind = TypeKindOf(group.typeName);
  for (size_t i = 0; i < group.names.size(); ++i) {
    const bool last = i + 1 == group.names.size();
    const bool optional = last && !group.defaultValue.IsNull();
    auto* param = new TkvParamItem(group.names[i], group.typeName, kind,
                                   group.isVar ? TkvPassing::ByVar : TkvPassing::ByValue,
                                   optional ? TkvPresence::Optional : TkvPresence::Required);
    if (last) param->DefaultValue = group.defaultValue;
    holder.AddItem(param);
  }
}

// Reads one group up to and including the symbol that ends it; returns that symbol (";",
// ")" or empty at the end of the text or at text it cannot read).
UString ReadParamGroup(TkvParser& parser, ParamGroup& group) {
  UString symbol;
  for (;;) {
    UString word = parser.ReadWord();
    if (SameText(word, u"var")) {
      group.isVar = true;
      continue;
    }
    if (SameText(word, u"const")) continue;
    if (!word.empty()) group.names.push_back(std::move(word));
    symbol = ReadSymbolAfterBlanks(parser);
    if (symbol != u",") break;
  }
  if (symbol == u":") {
    parser.SkipBlanks();
    group.typeName = ReadTypeName(parser);
    symbol = ReadSymbolAfterBlanks(parser);
  }
  if (symbol == u"=") {
    group.defaultValue = ReadDefaultValue(parser);
    symbol = ReadSymbolAfterBlanks(parser);
  }
  return symbol;
}

void ReadParamList(TkvParser& parser, TkvCustomVariable& holder) {
  for (;;) {
    ParamGroup group;
    const int start = parser.Position();
    const UString end = ReadParamGroup(parser, group);
    AddGroupParams(holder, group);
    if (end != u";" || parser.Position() == start) return;
  }
}

// The word after the last ":" of the whole text.
UString ReadResultTypeName(TkvParser& parser, UStringView declaration) {
  const size_t colon = declaration.rfind(u':');
  if (colon == UStringView::npos) return {};
  const int resume = parser.Position();
  parser.SetPosition(int(colon) + 2);  // positions count from 1
  parser.SkipBlanks();
  UString typeName = ReadTypeName(parser);
  parser.SetPosition(resume);
  return typeName;
}

}  // namespace

std::unique_ptr<TkvCustomVariable> ParseDeclaration(UStringView declaration) {
  TkvParser parser;
  parser.SetSource(declaration);
  const bool isFunction = SameText(parser.ReadWord(), u"function");
  UString name = parser.ReadWord();
  UString resultType = isFunction ? ReadResultTypeName(parser, declaration) : UString();
  const TkvValueKind kind = TypeKindOf(resultType);
  auto holder = std::make_unique<TkvCustomVariable>(std::move(name), std::move(resultType), kind);
  if (ReadSymbolAfterBlanks(parser) == u"(") ReadParamList(parser, *holder);
  return holder;
}

Variant ParseLiteralValue(UStringView text) {
  if (text.empty()) return Variant::Null();
  if (text.front() == u'\'') {
    if (text.size() < 2) return Variant(UString());
    return Variant(UString(text.substr(1, text.size() - 2)));
  }
  if (text.front() == u'$') return HexLiteralValue(text);
  // A decimal number too large for Integer is a double, as an overflowing Variant operation
  // gives, not an unrelated wrapped integer; exact up to 2^53.
  int32_t small = 0;
  if (TryTextToInt32(text, small)) return Variant(small);
  double real = 0;
  if (TryTextToFloat(text, real)) return Variant(real);
  throw EConvertError(u"'" + MessageExcerpt(text) + u"' is not a valid floating point value");
}

}  // namespace kv
