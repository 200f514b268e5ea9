#include "frontend/kv_iilparser.h"

#include "engine/kv_iinterpreter.h"
#include "frontend/kv_il_grammar.h"

namespace kv {

TkvILParser::TkvILParser(TkvScript* script) : script_(script) {}

TkvILParser::~TkvILParser() = default;

void TkvILParser::SelectGrammar(UStringView languageName) {
  std::shared_ptr<const TkvGrammar> grammar = PreparedGrammar(languageName);
  languageName_ = UString(languageName);
  grammar_ = std::move(grammar);
  declareVars_ = grammar_->DeclareVars();
  grammar_->ConfigureTokenizer(tokenizer_);
}

const TkvXMLDocument* TkvILParser::GrammarDocument() const {
  return grammar_ ? &grammar_->Document() : nullptr;
}

void TkvILParser::StoreError(UString text, UString position, UString unitName) {
  errorText_ = std::move(text);
  errorPosition_ = std::move(position);
  errorUnitName_ = std::move(unitName);
  if (script_) {
    script_->ErrorText = errorText_;
    script_->ErrorPosition = errorPosition_;
    script_->ErrorUnitName = errorUnitName_;
  }
}

}  // namespace kv
