// A grammar document prepared for interpretation: every rule reachable from the start rule is
// turned into a tree of elements with their attributes already decoded, so that the parser
// looks nothing up while it runs. Used only by the IL parser.
#pragma once

#include <memory>
#include <utility>
#include <vector>

#include "host/core/shared_string.h"
#include "host/core/ustring.h"
#include "tokenizer/kv_iparser.h"
#include "xml/kv_xml.h"

namespace kv {

enum class TkvGrammarOp : uint8_t {
  Rule,  // a rule definition: a child of the grammar root, entered through a reference
  Char,
  Keyword,
  Ident,
  Number,
  String,
  FRString,
  Eol,
  Sequence,
  Optional,
  Switch,
  OptionalSwitch,
  Loop,
  OptionalLoop,
  Reference,
};

// What the parser may answer for an element, without interpreting it, when the next
// character (after blanks) is none of the element's FirstChars.
enum class TkvFirstCheck : uint8_t {
  None,        // nothing: the element is always interpreted
  Fail,        // the element fails
  MatchEmpty,  // the element matches without reading anything (an optional part)
};

struct TkvGrammarElement {
  TkvGrammarOp Op = TkvGrammarOp::Sequence;
  // Terminals: the required token (empty: any). Loops: the separator (empty: none).
  // Decoded and lower-cased.
  UString Text;
  UString Node;           // lower-cased; empty: no wrapping element
  bool UsesNode = false;  // Node is "uses": the listed units are included
  UString Add;            // element name as written; empty: nothing emitted
  UString AddText;        // decoded; empty: the token is emitted
  // Node and Add as the names of the elements made: every element shares its name's text.
  SharedString NodeName;
  SharedString AddName;
  UString Error;              // the message of `err`; empty: a failure records nothing
  bool Term = false;          // term="1"
  bool SkipBlanks = true;     // char: false for skip="0"
  bool LoopDiscards = false;  // loops: skip="1"
  const TkvGrammarElement* Target = nullptr;  // Reference: its rule definition
  std::vector<const TkvGrammarElement*> Children;

  // Worked out once for the whole grammar, so that an alternative that cannot start with
  // the next character is passed over at once instead of being entered element by element.
  TkvCharSet FirstChars;  // the characters a match can start with (FirstCheck not None)
  TkvFirstCheck FirstCheck = TkvFirstCheck::None;
  // No element that fails at the first token records an error: passing over the element is
  // then the same as trying it even while no error is pending.
  bool FailsWithoutError = false;
  // The first token of a match is never a reserved word: a statement that begins with one
  // rules out every alternative that begins with a name.
  bool NoReservedWordFirst = false;
};

// Invariant after construction: the start rule exists, every reference reachable from it
// resolves to a rule definition, and every Node and Add is a name the XML writer accepts.
class TkvGrammar {
 public:
  // Raises "Invalid language definition" for a text that is no grammar document, a grammar
  // without a `program` rule, a reachable reference to a rule that does not exist, or an
  // element name in `node` or `add` that could not be written.
  explicit TkvGrammar(UStringView documentText);
  TkvGrammar(const TkvGrammar&) = delete;
  TkvGrammar& operator=(const TkvGrammar&) = delete;

  const TkvGrammarElement& StartRule() const { return *start_; }
  // The `types` element copied into every IL document (an empty one when the grammar has
  // none).
  const TkvXMLItem& Types() const { return *types_; }
  const TkvXMLDocument& Document() const { return document_; }
  bool DeclareVars() const { return declareVars_; }
  // Resets the tokenizer to its defaults, then applies the grammar's settings and keywords.
  void ConfigureTokenizer(TkvParser& tokenizer) const;

 private:
  void ReadParserSection();
  void BuildRules();
  TkvGrammarElement* NewElement();
  const TkvGrammarElement* RuleAt(int rootIndex);
  void ReadAttributes(const TkvXMLItem& item, TkvGrammarElement& element) const;
  void WorkOutFirstChars();
  static TkvGrammarOp OpOfName(UStringView lowerName);

  TkvXMLDocument document_;
  const TkvXMLItem* types_ = nullptr;
  const TkvXMLItem* errors_ = nullptr;
  std::vector<std::pair<UString, UString>> settings_;  // lower-cased key, decoded value
  std::vector<UString> keywords_;
  bool declareVars_ = true;

  std::vector<std::unique_ptr<TkvGrammarElement>> elements_;  // owns every element
  std::vector<const TkvGrammarElement*> rules_;  // by index of the root child; null: not built
  std::vector<std::pair<const TkvXMLItem*, TkvGrammarElement*>> pending_;  // bodies to build
  const TkvGrammarElement* start_ = nullptr;
};

// The prepared grammar registered under `languageName`. Raises "Language '%s' not found" or
// "Invalid language definition". Prepared grammars are shared: one registered text is
// prepared once.
std::shared_ptr<const TkvGrammar> PreparedGrammar(UStringView languageName);

}  // namespace kv
