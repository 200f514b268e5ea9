// Declaration strings ("function Find(s: String; var Index: Integer): Boolean") and literal
// values. A declaration that does not read raises with the declaration in the message: it
// is a binding's mistake, and found at registration it is found at once (type names are
// checked once the library has registered its classes, kv_registration_checks.h). Every loop below
// consumes at least one token per turn, so no text can make it spin.
#include <memory>
#include <vector>

#include "engine/kv_registration_checks.h"
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

// One declaration being read: the text for messages and the tokenizer over it.
class DeclarationReader {
 public:
  explicit DeclarationReader(UStringView declaration) : declaration_(declaration) {
    parser_.SetSource(declaration);
  }

  std::unique_ptr<TkvCustomVariable> Read() {
    const UString head = parser_.ReadWord();
    const bool isFunction = SameText(head, u"function");
    if (!isFunction && !SameText(head, u"procedure"))
      Fail(u"it must begin with procedure or function");
    UString name = parser_.ReadWord();
    if (name.empty()) Fail(u"the routine has no name");
    auto holder = std::make_unique<TkvCustomVariable>(std::move(name), UString(), vkClass);
    UString symbol = ReadSymbolAfterBlanks(parser_);
    if (symbol == u"(") {
      ReadParamList(*holder);
      symbol = ReadSymbolAfterBlanks(parser_);
    }
    if (isFunction) {
      if (symbol != u":") Fail(u"a function needs its result type after ':'");
      holder->TypeName = ReadKnownType();
      holder->Kind = TypeKindOf(holder->TypeName);
      symbol = ReadSymbolAfterBlanks(parser_);
    }
    if (symbol == u";") symbol = ReadSymbolAfterBlanks(parser_);
    parser_.SkipBlanks();
    if (!symbol.empty() || parser_.Position() <= static_cast<int>(declaration_.size()))
      Fail(u"unexpected text after the declaration");
    return holder;
  }

 private:
  [[noreturn]] void Fail(const UString& reason) { BadDeclaration(declaration_, reason); }

  UString ReadKnownType() {
    parser_.SkipBlanks();
    UString typeName = ReadTypeName(parser_);
    if (typeName.empty()) Fail(u"a type name is missing");
    NoteTypeName(typeName, declaration_);
    return typeName;
  }

  // After "(": groups separated by ";" up to and including ")"; "()" is an empty list.
  void ReadParamList(TkvCustomVariable& holder) {
    const int start = parser_.Position();
    if (ReadSymbolAfterBlanks(parser_) == u")") return;
    parser_.SetPosition(start);
    for (;;) {
      ParamGroup group;
      const UString end = ReadParamGroup(group);
      AddGroupParams(holder, group);
      if (end == u")") return;
      if (end != u";") Fail(u"';' or ')' expected in the parameter list");
    }
  }

  // Reads one group and the symbol that ends it, which it returns.
  UString ReadParamGroup(ParamGroup& group) {
    const int start = parser_.Position();
    const UString mode = parser_.ReadWord();
    if (SameText(mode, u"var"))
      group.isVar = true;
    else if (!SameText(mode, u"const"))
      parser_.SetPosition(start);
    UString symbol;
    do {
      UString name = parser_.ReadWord();
      if (name.empty()) Fail(u"a parameter name is missing");
      group.names.push_back(std::move(name));
      symbol = ReadSymbolAfterBlanks(parser_);
    } while (symbol == u",");
    if (symbol != u":") Fail(u"parameter " + group.names.back() + u" has no type");
    group.typeName = ReadKnownType();
    symbol = ReadSymbolAfterBlanks(parser_);
    if (symbol == u"=") {
      group.defaultValue = ReadDefaultValue(parser_);
      symbol = ReadSymbolAfterBlanks(parser_);
    }
    return symbol;
  }

  UStringView declaration_;
  TkvParser parser_;
};

}  // namespace

std::unique_ptr<TkvCustomVariable> ParseDeclaration(UStringView declaration) {
  return DeclarationReader(declaration).Read();
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
