// Every element remembers where it began (tokenizer position and output size). On failure,
// rule definitions, references, terminals, `eol` and `sequence` move back there themselves;
// `switch` and the loops leave that to whoever encloses them, so the children of a failed
// repetition that matched stay consumed until the enclosing element fails in turn.
//
// Output follows the position: whatever gives back the text it read also drops the elements
// it emitted for it. Otherwise an alternative that fails late leaves elements behind for
// text the next alternative reads again ("array[5]" would get its size twice).
#include "frontend/kv_il_interpreter.h"

#include "host/core/exceptions.h"
#include "host/core/stack_budget.h"

namespace kv {

namespace {

struct NestingTooDeep {};
struct StepsSpent {};

// Counts the nesting of Interpret; the limit stops a deeply nested source long before the
// default stack would run out, and the stack check where a smaller stack runs out first.
class DepthGuard {
 public:
  explicit DepthGuard(int& depth) : depth_(depth) {
    if (depth_ >= TkvGrammarInterpreter::kMaxDepth ||
        !StackHasRoom(TkvGrammarInterpreter::kStackPerLevel))
      throw NestingTooDeep();
    ++depth_;
  }
  ~DepthGuard() { --depth_; }
  DepthGuard(const DepthGuard&) = delete;
  DepthGuard& operator=(const DepthGuard&) = delete;

 private:
  int& depth_;
};

bool TokenMatches(const TkvGrammarElement& e, const UString& token) {
  return !token.empty() && (e.Text.empty() || SameText(token, e.Text));
}

// Leaves are made for every token the grammar emits: the value stays as read and the place
// as numbers (the attribute text is made only if the document is shown as text).
std::unique_ptr<TkvXMLItem> NewLeaf(const SharedString& name, UString value, SourcePlace place) {
  auto leaf = std::make_unique<TkvXMLItem>(name);
  leaf->SetTextAndPosAttributes(std::move(value), place);
  return leaf;
}

std::unique_ptr<TkvXMLItem> NewNode(const SharedString& name, SourcePlace place) {
  auto node = std::make_unique<TkvXMLItem>(name);
  node->SetPosAttribute(place);
  return node;
}

}  // namespace

std::unique_ptr<TkvXMLItem> CopyOfItem(const TkvXMLItem& item) {
  auto copy = std::make_unique<TkvXMLItem>();
  copy->AssignTree(&item);
  return copy;
}

void AdoptSubtrees(TkvXMLItem& parent, TkvILForest& forest, std::size_t first) {
  if (first < forest.size()) parent.ReserveChildren(parent.Count() + (forest.size() - first));
  for (std::size_t i = first; i < forest.size(); ++i) parent.AddItem(std::move(forest[i]));
  forest.erase(forest.begin() + std::ptrdiff_t(first), forest.end());
}

TkvGrammarInterpreter::TkvGrammarInterpreter(TkvParser& tokenizer, TkvUnitIncluder& includer,
                                             UString unitName, int depth)
    : tok_(tokenizer),
      includer_(includer),
      unitName_(std::move(unitName)),
      depth_(depth),
      stepsLeft_(kBaseSteps + kStepsPerChar * (static_cast<long long>(tokenizer.Size()) + 1)) {}

bool TkvGrammarInterpreter::Run(const TkvGrammarElement& startRule) {
  try {
    return Interpret(startRule);
  } catch (const NestingTooDeep&) {
    FailSticky(kNestingTooDeep, tok_.Position());
  } catch (const StepsSpent&) {
    FailSticky(kTooComplex, tok_.Position());
  } catch (const EConvertError& e) {
    // A character code out of range in a string literal: a fault of the source, reported
    // at the literal like any syntax error.
    FailSticky(e.Message(), tok_.TokenStart());
  }
  return false;
}

char16_t TkvGrammarInterpreter::NextChar() {
  const int position = tok_.Position();
  if (position != nextCharPosition_) {
    tok_.SkipBlanks();
    nextChar_ = tok_.Source()[std::size_t(tok_.Position() - 1)];
    nextCharPosition_ = position;
    tok_.SetPosition(position);  // as an element that failed would leave it
  }
  return nextChar_;
}

// An error already pending stays the one reported, so an element that would record one is
// passed over as well then.
bool TkvGrammarInterpreter::CannotStartHere(const TkvGrammarElement& e) {
  if (e.FirstCheck == TkvFirstCheck::None) return false;
  if (!e.FailsWithoutError && !error_.Pending()) return false;
  if (!e.FirstChars.Contains(NextChar())) return true;
  return e.NoReservedWordFirst && NextIsReservedWord();
}

bool TkvGrammarInterpreter::NextIsReservedWord() {
  const int position = tok_.Position();
  if (position != reservedWordPosition_) {
    const UString word = tok_.ReadWord();
    nextIsReservedWord_ = !word.empty() && tok_.IsKeyword(word);
    reservedWordPosition_ = position;
  }
  tok_.SetPosition(position);
  return nextIsReservedWord_;
}

bool TkvGrammarInterpreter::Interpret(const TkvGrammarElement& e) {
  if (CannotStartHere(e)) return e.FirstCheck == TkvFirstCheck::MatchEmpty;
  if (--stepsLeft_ < 0) throw StepsSpent();
  DepthGuard guard(depth_);
  const int entry = tok_.Position();
  const std::size_t firstItem = output_.size();
  UString token;
  bool matched = false;
  switch (e.Op) {
    case TkvGrammarOp::Rule:
    case TkvGrammarOp::Sequence:
      matched = true;
      break;
    case TkvGrammarOp::Char:
      if (e.SkipBlanks) tok_.SkipBlanks();
      token = tok_.ReadSymbol();
      matched = TokenMatches(e, token);
      break;
    case TkvGrammarOp::Keyword:
      token = tok_.ReadKeyword();
      matched = TokenMatches(e, token);
      break;
    case TkvGrammarOp::Ident:
      token = tok_.ReadIdent();
      matched = TokenMatches(e, token);
      break;
    case TkvGrammarOp::Number:
      token = tok_.ReadNumber();
      matched = TokenMatches(e, token);
      break;
    case TkvGrammarOp::String:
      token = tok_.ReadString();
      matched = TokenMatches(e, token);
      break;
    case TkvGrammarOp::FRString:
      token = tok_.ReadFRString();
      EmitFieldCall(token);
      matched = TokenMatches(e, token);
      break;
    case TkvGrammarOp::Eol:
      matched = tok_.ReadLineBreak();
      break;
    case TkvGrammarOp::Switch:
    case TkvGrammarOp::OptionalSwitch:
      return InterpretSwitch(e, entry);
    case TkvGrammarOp::Loop:
    case TkvGrammarOp::OptionalLoop:
      return InterpretLoop(e, entry, firstItem);
    case TkvGrammarOp::Optional:
      return InterpretOptional(e, entry, firstItem);
    case TkvGrammarOp::Reference:
      matched = Interpret(*e.Target);
      break;
  }

  bool result = matched;
  if (!matched) {
    RecordError(e, entry);
  } else {
    // A reference or terminal wraps what it produced before its own `add` and children.
    if (e.Op != TkvGrammarOp::Rule) CloseNode(e, entry, firstItem, true);
    if (!e.Add.empty()) EmitAdd(e, token);
    result = InterpretChildren(e);
  }
  if (!result) MoveBack(entry, firstItem);
  if (e.Op == TkvGrammarOp::Rule) CloseNode(e, entry, firstItem, result);
  return result;
}

bool TkvGrammarInterpreter::InterpretChildren(const TkvGrammarElement& e) {
  for (const TkvGrammarElement* child : e.Children)
    if (!Interpret(*child)) return false;
  return true;
}

bool TkvGrammarInterpreter::InterpretSwitch(const TkvGrammarElement& e, int entry) {
  for (const TkvGrammarElement* child : e.Children)
    if (Interpret(*child)) return true;
  if (e.Op == TkvGrammarOp::OptionalSwitch || e.Children.empty()) return true;
  RecordError(e, entry);
  return false;
}

bool TkvGrammarInterpreter::InterpretOptional(const TkvGrammarElement& e, int entry,
                                              std::size_t firstItem) {
  if (!InterpretChildren(e)) MoveBack(entry, firstItem);
  return true;
}

void TkvGrammarInterpreter::MoveBack(int entry, std::size_t firstItem) {
  tok_.SetPosition(entry);
  output_.erase(output_.begin() + std::ptrdiff_t(firstItem), output_.end());
}

// A repetition that moves nothing ends the loop, so every loop terminates.
bool TkvGrammarInterpreter::InterpretLoop(const TkvGrammarElement& e, int entry,
                                          std::size_t firstItem) {
  int started = 0;
  bool lastMatched = false;
  int childrenEnd = entry;  // where the children of the latest repetition stopped
  for (;;) {
    ++started;
    const int repetitionStart = tok_.Position();
    lastMatched = InterpretChildren(e);
    childrenEnd = tok_.Position();
    if (!lastMatched) break;
    if (!e.Text.empty()) {
      tok_.SkipBlanks();
      if (!SameText(tok_.ReadSymbol(), e.Text)) {
        tok_.SetPosition(childrenEnd);
        break;
      }
    }
    if (tok_.Position() == repetitionStart) break;
  }

  if (started > 1) {
    // The list ended normally: the failure of its last, unfinished repetition was not an
    // error when the loop or the failing element says so.
    if (!error_.Sticky && (e.LoopDiscards || error_.Term)) error_.Clear();
    tok_.SetPosition(childrenEnd);
    return true;
  }
  if (lastMatched) return true;
  if (e.Op == TkvGrammarOp::OptionalLoop) {
    MoveBack(entry, firstItem);
    return true;
  }
  return false;
}

// Only the first error counts. The position is that of the failing element's first token;
// the tokenizer is left after the blanks (elements that fail move back themselves).
void TkvGrammarInterpreter::RecordError(const TkvGrammarElement& e, int entry) {
  if (e.Error.empty() || error_.Pending()) return;
  error_.Message = e.Error;
  error_.Position = PositionAfterBlanks(entry);
  error_.UnitName = unitName_;
  error_.Term = e.Term;
  error_.Sticky = false;
}

void TkvGrammarInterpreter::FailSticky(UString message, int position) {
  error_.Message = std::move(message);
  error_.Position = PositionAfterBlanks(position);
  error_.UnitName = unitName_;
  error_.Term = false;
  error_.Sticky = true;
}

UString TkvGrammarInterpreter::PositionAfterBlanks(int position) {
  return PlaceText(PlaceAfterBlanks(position));
}

SourcePlace TkvGrammarInterpreter::PlaceAfterBlanks(int position) {
  tok_.SetPosition(position);
  tok_.SkipBlanks();
  return tok_.Place();
}

void TkvGrammarInterpreter::CloseNode(const TkvGrammarElement& e, int entry, std::size_t firstItem,
                                      bool matched) {
  if (e.UsesNode) {
    includer_.IncludeUnits(output_, firstItem, error_, depth_);
    return;
  }
  if (e.Node.empty()) return;
  if (!matched) return;  // its output went when it moved back
  const int current = tok_.Position();
  const SourcePlace place = PlaceAfterBlanks(entry);
  tok_.SetPosition(current);

  std::unique_ptr<TkvXMLItem> wrapper = NewNode(e.NodeName, place);
  AdoptSubtrees(*wrapper, output_, firstItem);
  output_.push_back(std::move(wrapper));
}

// `add` marks the position just after the token.
void TkvGrammarInterpreter::EmitAdd(const TkvGrammarElement& e, const UString& token) {
  const UString& value = e.AddText.empty() ? token : e.AddText;
  output_.push_back(NewLeaf(e.AddName, value, tok_.Place()));
}

// The bracketed field text becomes a call of the function Get with the text as its string
// argument; the tokenizer stands on the closing ">".
void TkvGrammarInterpreter::EmitFieldCall(const UString& field) {
  const SourcePlace place = tok_.Place();
  std::unique_ptr<TkvXMLItem> call = NewNode(SharedString(u"dsgn"), place);
  call->AddItem(NewLeaf(SharedString(u"node"), u"Get", place));
  std::unique_ptr<TkvXMLItem> argument = NewNode(SharedString(u"expr"), place);
  argument->AddItem(NewLeaf(SharedString(u"string"), u"'" + field + u"'", place));
  call->AddItem(std::move(argument));
  output_.push_back(std::move(call));
}

}  // namespace kv
