#include "frontend/kv_il_grammar.h"

#include "engine/kv_iconst.h"
#include "engine/kv_itools.h"
#include "host/core/exceptions.h"

namespace kv {

namespace {

[[noreturn]] void InvalidLanguage() { throw Exception(UString(msg::InvalidLanguage)); }

// Node and add values become element names of the IL document, which is written and read
// back for used units and by scripts: a name the reader would split or misread is a fault of
// the grammar, reported when it is selected rather than as a broken IL document later.
bool IsWritableElementName(UStringView name) {
  if (name.empty()) return false;
  for (char16_t c : name)
    if (c <= 32 || c == u'<' || c == u'>' || c == u'/' || c == u'"' || c == u'=') return false;
  return true;
}

}  // namespace

TkvGrammar::TkvGrammar(UStringView documentText) {
  try {
    document_.LoadFromString(ToUtf8(documentText));
    HideFromScripts(document_);
    ReadParserSection();
    TkvXMLItem* root = document_.Root();
    types_ = root->FindItem(u"types");
    rules_.assign(std::size_t(root->Count()), nullptr);
    const int program = root->Find(u"program");
    if (program < 0) InvalidLanguage();
    start_ = RuleAt(program);
    BuildRules();
    WorkOutFirstChars();
  } catch (const Exception&) {
    InvalidLanguage();
  }
}

void TkvGrammar::ReadParserSection() {
  TkvXMLItem* parser = document_.Root()->FindItem(u"parser");
  for (const TkvXMLItem* setting : parser->Children()) {
    UString key = LowerCase(setting->Name());
    if (key == u"keywords" || key == u"errors") continue;
    UString value = setting->Prop(u"text");
    if (key == u"declarevars" && value == u"0") declareVars_ = false;
    settings_.emplace_back(std::move(key), std::move(value));
  }
  for (const TkvXMLItem* word : parser->FindItem(u"keywords")->Children())
    keywords_.push_back(word->Name());
  errors_ = parser->FindItem(u"errors");
}

void TkvGrammar::ConfigureTokenizer(TkvParser& tokenizer) const {
  tokenizer = TkvParser();
  for (const auto& [key, value] : settings_) {
    if (key == u"identchars")
      tokenizer.SetIdentChars(value);
    else if (key == u"commentline1")
      tokenizer.SetCommentLine1(value);
    else if (key == u"commentline2")
      tokenizer.SetCommentLine2(value);
    else if (key == u"commentblock1")
      tokenizer.SetCommentBlock1(value);
    else if (key == u"commentblock2")
      tokenizer.SetCommentBlock2(value);
    else if (key == u"stringquotes")
      tokenizer.SetStringQuotes(value);
    else if (key == u"hexsequence")
      tokenizer.SetHexSequence(value);
    else if (key == u"skipchar")
      tokenizer.SetSkipChar(value);
    else if (key == u"skipeol" && value == u"0")
      tokenizer.SetSkipEOL(false);
  }
  tokenizer.Keywords().Clear();
  for (const UString& word : keywords_) tokenizer.Keywords().Add(word);
}

TkvGrammarElement* TkvGrammar::NewElement() {
  elements_.push_back(std::make_unique<TkvGrammarElement>());
  return elements_.back().get();
}

// A rule definition is built once, however many references lead to it; its body is built by
// BuildRules, so that neither the depth of a grammar nor a rule that refers to itself can
// make this recurse.
const TkvGrammarElement* TkvGrammar::RuleAt(int rootIndex) {
  if (const TkvGrammarElement* built = rules_[std::size_t(rootIndex)]) return built;
  const TkvXMLItem* item = document_.Root()->Items(rootIndex);
  TkvGrammarElement* rule = NewElement();
  rule->Op = TkvGrammarOp::Rule;
  ReadAttributes(*item, *rule);
  rules_[std::size_t(rootIndex)] = rule;
  pending_.emplace_back(item, rule);
  return rule;
}

void TkvGrammar::BuildRules() {
  const TkvXMLItem* root = document_.Root();
  while (!pending_.empty()) {
    auto [item, element] = pending_.back();
    pending_.pop_back();
    for (const TkvXMLItem* childItem : item->Children()) {
      TkvGrammarElement* child = NewElement();
      child->Op = OpOfName(LowerCase(childItem->Name()));
      ReadAttributes(*childItem, *child);
      if (child->Op == TkvGrammarOp::Reference) {
        const int target = root->Find(childItem->Name());
        if (target < 0) InvalidLanguage();
        child->Target = RuleAt(target);
      }
      // A reference's own children are matched after its rule, like any element's.
      pending_.emplace_back(childItem, child);
      element->Children.push_back(child);
    }
  }
}

void TkvGrammar::ReadAttributes(const TkvXMLItem& item, TkvGrammarElement& element) const {
  element.Text = LowerCase(item.Prop(u"text"));
  element.Node = LowerCase(item.Prop(u"node"));
  element.UsesNode = element.Node == u"uses";
  element.Add = item.Prop(u"add");
  element.AddText = item.Prop(u"addtext");
  if (!element.Node.empty() && !IsWritableElementName(element.Node)) InvalidLanguage();
  if (!element.Add.empty() && !IsWritableElementName(element.Add)) InvalidLanguage();
  element.NodeName = SharedString(element.Node);
  element.AddName = SharedString(element.Add);
  const UString code = item.Prop(u"err");
  if (!code.empty()) {
    const int index = errors_->Find(code);
    if (index >= 0) element.Error = errors_->Items(index)->Prop(u"text");
  }
  element.Term = item.Prop(u"term") == u"1";
  const UString skip = item.Prop(u"skip");
  element.SkipBlanks = skip != u"0";
  element.LoopDiscards = skip == u"1";
}

TkvGrammarOp TkvGrammar::OpOfName(UStringView name) {
  struct Entry {
    const char16_t* name;
    TkvGrammarOp op;
  };
  static constexpr Entry kBuiltIn[] = {
      {u"char", TkvGrammarOp::Char},
      {u"keyword", TkvGrammarOp::Keyword},
      {u"ident", TkvGrammarOp::Ident},
      {u"number", TkvGrammarOp::Number},
      {u"string", TkvGrammarOp::String},
      {u"frstring", TkvGrammarOp::FRString},
      {u"eol", TkvGrammarOp::Eol},
      {u"sequence", TkvGrammarOp::Sequence},
      {u"optional", TkvGrammarOp::Optional},
      {u"switch", TkvGrammarOp::Switch},
      {u"optionalswitch", TkvGrammarOp::OptionalSwitch},
      {u"loop", TkvGrammarOp::Loop},
      {u"optionalloop", TkvGrammarOp::OptionalLoop},
  };
  for (const Entry& entry : kBuiltIn)
    if (name == entry.name) return entry.op;
  return TkvGrammarOp::Reference;
}

// A handful of languages per process: the prepared grammars are kept in a short list keyed
// by their text, so that re-registering a name with another text is honoured.
std::shared_ptr<const TkvGrammar> PreparedGrammar(UStringView languageName) {
  struct Prepared {
    UString text;
    std::shared_ptr<const TkvGrammar> grammar;
  };
  static std::vector<Prepared> cache;
  constexpr std::size_t kCacheSize = 8;

  UString text = LanguageGrammar(languageName);
  for (const Prepared& entry : cache)
    if (entry.text == text) return entry.grammar;
  auto grammar = std::make_shared<const TkvGrammar>(text);
  if (cache.size() == kCacheSize) cache.erase(cache.begin());
  cache.push_back({std::move(text), grammar});
  return grammar;
}

}  // namespace kv
