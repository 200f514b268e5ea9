// The grammar interpreter: matches a prepared grammar against the tokenizer's source with
// backtracking by position, records the first syntax error, and builds the elements of the
// IL document. Used only by the IL parser.
//
// The output is a list of finished subtrees (the "forest"). An element that wraps what it
// produced (`node`) takes the subtrees emitted since it began and becomes one subtree; `add`
// appends a leaf; an element that moves back drops what it emitted. This yields the document
// that collecting the tags as text and reading them back would, without the re-reading.
// The subtrees are XML items from the start: they get no object handle unless asked, so the
// many built for alternatives that fail cost little, and the finished ones become the
// document without a copy.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "frontend/kv_il_grammar.h"
#include "tokenizer/kv_iparser.h"
#include "xml/kv_xml.h"

namespace kv {

// Finished subtrees of the IL document under construction, each without a parent yet.
using TkvILForest = std::vector<std::unique_ptr<TkvXMLItem>>;

// A copy of `item` with all its descendants, without a parent.
std::unique_ptr<TkvXMLItem> CopyOfItem(const TkvXMLItem& item);
// Moves the subtrees of `forest` from `first` on under `parent`, in order, and drops them
// from the forest.
void AdoptSubtrees(TkvXMLItem& parent, TkvILForest& forest, std::size_t first = 0);

// The first syntax error of a parse. A pending error may be discarded again by a loop that
// ends normally (the grammar's `skip` and `term`), except a sticky one: an error that did
// not arise from the grammar's alternatives (an error inside a used unit, a unit cycle, a
// nesting too deep) must fail the parse whatever follows it.
struct TkvSyntaxError {
  UString Message;  // empty: no error pending
  UString Position;
  UString UnitName;  // the used unit the error is in; empty for the source being parsed
  bool Term = false;
  bool Sticky = false;

  bool Pending() const { return !Message.empty(); }
  void Clear() { *this = TkvSyntaxError(); }
};

// What the interpreter cannot do on its own: including used units needs files and further
// parsers.
class TkvUnitIncluder {
 public:
  virtual ~TkvUnitIncluder() = default;
  // Replaces the items of `output` after `firstItem` (one per listed file, last first) by
  // one `uses` element per unit; may set `error`. `depth` is the nesting depth reached.
  virtual void IncludeUnits(TkvILForest& output, std::size_t firstItem, TkvSyntaxError& error,
                            int depth) = 0;
};

class TkvGrammarInterpreter {
 public:
  // The deepest nesting of grammar elements before a parse gives up with "Nesting too deep"
  // rather than exhaust the C++ stack (about ten levels per bracket or begin in
  // PascalScript).
  static constexpr int kMaxDepth = 4000;
  // Stack one level of Interpret takes with the tokenizer calls below it, with room to
  // spare (about 130 bytes in a plain build, several times that under the sanitizers).
  static constexpr std::size_t kStackPerLevel = 1024;
  static constexpr const char16_t* kNestingTooDeep = u"Nesting too deep";
  // How many grammar elements one parse may interpret: a fixed allowance plus so many per
  // character of source. PascalScript needs fewer than 40 per character; a grammar whose
  // alternatives overlap can backtrack exponentially, and the limit turns that into an error
  // instead of a parse that never ends.
  static constexpr long long kBaseSteps = 1'000'000;
  static constexpr long long kStepsPerChar = 1000;
  static constexpr const char16_t* kTooComplex = u"Source too complex for the grammar";

  // `depth` is the nesting already reached by the parse that includes this one (used units).
  TkvGrammarInterpreter(TkvParser& tokenizer, TkvUnitIncluder& includer, UString unitName,
                        int depth);

  // Interprets the start rule from the tokenizer's position. Returns whether it matched;
  // a syntax error may be pending either way. A nesting too deep, a parse that spends its
  // steps or a character code out of range ends the parse with a sticky error.
  bool Run(const TkvGrammarElement& startRule);

  TkvILForest& Output() { return output_; }
  TkvSyntaxError& Error() { return error_; }

 private:
  bool Interpret(const TkvGrammarElement& e);
  // Whether `e` cannot start at the current position: the answer of interpreting it is then
  // known (FirstCheck) and nothing else would happen.
  bool CannotStartHere(const TkvGrammarElement& e);
  // The first character after the blanks at the current position (0 at the end).
  char16_t NextChar();
  // Whether the token after the blanks at the current position is a reserved word.
  bool NextIsReservedWord();
  bool InterpretSwitch(const TkvGrammarElement& e, int entry);
  bool InterpretLoop(const TkvGrammarElement& e, int entry, std::size_t firstItem);
  bool InterpretOptional(const TkvGrammarElement& e, int entry, std::size_t firstItem);
  // Gives back the text read and drops the output emitted since (entry, firstItem).
  void MoveBack(int entry, std::size_t firstItem);
  bool InterpretChildren(const TkvGrammarElement& e);

  void RecordError(const TkvGrammarElement& e, int entry);
  void CloseNode(const TkvGrammarElement& e, int entry, std::size_t firstItem, bool matched);
  void EmitAdd(const TkvGrammarElement& e, const UString& token);
  void EmitFieldCall(const UString& field);
  UString PositionAfterBlanks(int position);
  SourcePlace PlaceAfterBlanks(int position);
  void FailSticky(UString message, int position);

  TkvParser& tok_;
  TkvUnitIncluder& includer_;
  UString unitName_;
  int depth_;
  long long stepsLeft_;
  TkvILForest output_;
  TkvSyntaxError error_;
  // NextChar of the position it was last asked for: many elements are checked in turn at
  // the same place.
  int nextCharPosition_ = 0;
  char16_t nextChar_ = 0;
  int reservedWordPosition_ = 0;  // the position NextIsReservedWord answered for
  bool nextIsReservedWord_ = false;
};

}  // namespace kv
