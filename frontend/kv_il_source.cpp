// Source to IL: the language directive, the run of the grammar interpreter over the source,
// and the assembly of the IL document.
#include "engine/kv_iconst.h"
#include "frontend/kv_iilparser.h"
#include "frontend/kv_il_grammar.h"
#include "frontend/kv_il_interpreter.h"
#include "frontend/kv_il_units.h"
#include "host/core/exceptions.h"

namespace kv {

namespace {

bool IsBlank(char16_t c) { return c <= 32; }
bool IsLineBreak(char16_t c) { return c == u'\r' || c == u'\n'; }
bool IsWordChar(char16_t c) {
  return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
         c == u'_';
}

// A first line "#language NAME" ("#" the very first character) names the language of the
// source. Answers whether there is one, with the name and the 1-based position where the
// program text begins: the start of the second line, whichever line break ends the first.
bool ReadLanguageDirective(UStringView text, UString& language, int& start) {
  if (text.empty() || text[0] != u'#') return false;
  std::size_t i = 1;
  while (i < text.size() && IsBlank(text[i]) && !IsLineBreak(text[i])) ++i;
  const std::size_t wordStart = i;
  while (i < text.size() && IsWordChar(text[i])) ++i;
  if (!SameText(text.substr(wordStart, i - wordStart), u"language")) return false;

  std::size_t lineEnd = i;
  while (lineEnd < text.size() && !IsLineBreak(text[lineEnd])) ++lineEnd;
  std::size_t first = i;
  std::size_t last = lineEnd;
  while (first < last && IsBlank(text[first])) ++first;
  while (last > first && IsBlank(text[last - 1])) --last;
  language = UString(text.substr(first, last - first));

  std::size_t next = lineEnd;
  if (next < text.size()) {
    const bool crLf = text[next] == u'\r' && next + 1 < text.size() && text[next + 1] == u'\n';
    next += crLf ? 2 : 1;
  }
  start = static_cast<int>(next) + 1;
  return true;
}

}  // namespace

bool TkvILParser::SourceToIL(UStringView text) {
  includedUnits_->clear();
  Forest output;
  const bool parsed = ParseSource(text, output);

  TkvXMLItem* root = ilDocument_.Root();
  root->Clear();
  root->SetName(parsed ? u"program" : u"");
  root->SetText(u"");
  if (parsed) {
    AdoptSubtrees(*root, output);
    root->Add()->AssignTree(&grammar_->Types());
  }
  StoreError(errorText_, errorPosition_, errorUnitName_);
  return parsed;
}

std::unique_ptr<TkvXMLItem> TkvILParser::MakeProgram(Forest& children) const {
  auto program = std::make_unique<TkvXMLItem>(u"program");
  AdoptSubtrees(*program, children);
  program->AddItem(CopyOfItem(grammar_->Types()));
  return program;
}

bool TkvILParser::ParseSource(UStringView text, Forest& output) {
  errorText_.clear();
  errorPosition_.clear();
  errorUnitName_.clear();

  UString language;
  int start = 1;
  if (ReadLanguageDirective(text, language, start)) SelectGrammar(language);
  if (!grammar_) throw Exception(u"No language selected for the source");

  tokenizer_.SetSource(text);
  tokenizer_.SetPosition(start);
  TkvILUnitIncluder includer(*this);
  TkvGrammarInterpreter interpreter(tokenizer_, includer, unitName_, depthBase_);
  const bool matched = interpreter.Run(grammar_->StartRule());

  TkvSyntaxError& error = interpreter.Error();
  if (!matched && !error.Pending()) {
    // The start rule failed in an element that names no message: still a failure the user
    // must be able to locate.
    error.Message = u"Syntax error";
    tokenizer_.SetPosition(start);
    tokenizer_.SkipBlanks();
    error.Position = tokenizer_.PositionText();
    error.UnitName = unitName_;
  }
  // The compile that follows reads only the IL document: the copy of the source goes now.
  tokenizer_.ReleaseSource();
  if (error.Pending()) {
    errorText_ = error.Message;
    errorPosition_ = error.Position;
    errorUnitName_ = error.UnitName;
    return false;
  }
  output = std::move(interpreter.Output());
  return true;
}

}  // namespace kv
