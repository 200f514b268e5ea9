// The first characters of every grammar element: which characters the first token of a
// match can start with, whether that token may be a reserved word, whether the element can
// match without reading anything, and whether failing at the first token records an error. The
// parser uses them to pass over the alternatives that cannot match the next character (most
// operators, statements and factors are ruled out by it), and does so only where passing over gives
// the very result that interpreting would.
//
// Every answer errs on the safe side: an element whose first characters cannot be told
// (one read without skipping blanks, a field text, a line break, a rule met again while
// its own answer is being worked out, a grammar nested deeper than kMaxDepth) may start
// with anything, may match empty and may record an error.
#include <unordered_map>

#include "frontend/kv_il_grammar.h"

namespace kv {

namespace {

struct FirstInfo {
  TkvCharSet chars;
  bool any = false;       // no character rules a match out
  bool nullable = true;   // may match without reading anything
  bool errorFree = true;  // failing at the first token records no error
  bool includes = false;  // includes used units, even when it fails
  bool keyword = true;    // the first token may be a reserved word
  // Optional parts: whether their body can match empty (when it cannot, the part matches
  // empty exactly when its body fails at once).
  bool bodyNullable = true;

  static FirstInfo Unknown() {
    FirstInfo info;
    info.any = true;
    info.errorFree = false;
    info.includes = true;
    return info;
  }
  static FirstInfo Token(const TkvCharSet& chars, bool keyword) {
    FirstInfo info;
    info.chars = chars;
    info.nullable = false;
    info.keyword = keyword;
    return info;
  }
  static FirstInfo AnyToken() {
    FirstInfo info = Token(TkvCharSet(), true);
    info.any = true;
    return info;
  }
  // Adds an alternative (or, for a sequence, a part tried at the same place).
  void Join(const FirstInfo& other) {
    chars |= other.chars;
    any = any || other.any;
    errorFree = errorFree && other.errorFree;
    includes = includes || other.includes;
    keyword = keyword || other.keyword;
  }
};

class FirstCharsAnalysis {
 public:
  explicit FirstCharsAnalysis(const TkvParser& tokenizer) {
    for (unsigned c = 0; c < 256; ++c) {
      const char16_t ch = char16_t(c);
      if (tokenizer.IdentChars().Contains(ch) && !(ch >= u'0' && ch <= u'9'))
        wordStart_.Include(ch);
    }
    numberStart_ = TkvCharSet(u'0', u'9');
    const UString& hex = tokenizer.HexSequence();
    if (!hex.empty()) {
      if (hex[0] > 255) numberAny_ = true;
      numberStart_.Include(hex[0]);
    }
    stringStart_.Include(u'#');
    const UString& quotes = tokenizer.StringQuotes();
    if (!quotes.empty() && quotes[0] >= u' ') {
      if (quotes[0] > 255) stringAny_ = true;
      stringStart_.Include(quotes[0]);
    }
  }

  FirstInfo Of(TkvGrammarElement& e, int depth) {
    auto [state, inserted] = states_.try_emplace(&e, State{});
    if (!inserted) return state->second.busy ? FirstInfo::Unknown() : state->second.info;
    if (depth > kMaxDepth) {
      states_.erase(&e);
      return FirstInfo::Unknown();
    }
    state->second.busy = true;
    FirstInfo info = Compute(e, depth + 1);
    info.errorFree = info.errorFree && e.Error.empty();
    info.includes = info.includes || e.UsesNode;
    Record(e, info);
    State& done = states_[&e];
    done.busy = false;
    done.info = info;
    return info;
  }

 private:
  static constexpr int kMaxDepth = 200;
  struct State {
    bool busy = false;
    FirstInfo info;
  };

  FirstInfo Compute(const TkvGrammarElement& e, int depth) {
    switch (e.Op) {
      case TkvGrammarOp::Char:
        // Read without skipping blanks, the character to test is not the one after them.
        if (!e.SkipBlanks) return FirstInfo::AnyToken();
        return NonWordToken(SymbolStart(e.Text));
      case TkvGrammarOp::Keyword:
        return FirstInfo::Token(WordStart(e.Text), true);
      case TkvGrammarOp::Ident:
        return FirstInfo::Token(WordStart(e.Text), false);  // a reserved word is no name
      case TkvGrammarOp::Number:
        return numberAny_ ? FirstInfo::AnyToken() : NonWordToken(numberStart_);
      case TkvGrammarOp::String:
        return stringAny_ ? FirstInfo::AnyToken() : NonWordToken(stringStart_);
      case TkvGrammarOp::FRString:
      case TkvGrammarOp::Eol:
        return FirstInfo::AnyToken();
      case TkvGrammarOp::Rule:
      case TkvGrammarOp::Sequence:
      case TkvGrammarOp::Loop:
        return Sequence(e.Children, nullptr, depth);
      case TkvGrammarOp::Reference:
        return Sequence(e.Children, e.Target, depth);
      case TkvGrammarOp::Optional:
      case TkvGrammarOp::OptionalLoop: {
        FirstInfo info = Sequence(e.Children, nullptr, depth);
        info.bodyNullable = info.nullable;
        info.nullable = true;
        return info;
      }
      case TkvGrammarOp::Switch:
      case TkvGrammarOp::OptionalSwitch:
        return Alternatives(e, depth);
    }
    return FirstInfo::Unknown();
  }

  // The parts tried at the same place: each one up to the first that cannot match empty.
  FirstInfo Sequence(const std::vector<const TkvGrammarElement*>& parts,
                     const TkvGrammarElement* before, int depth) {
    FirstInfo info;
    if (before != nullptr) {
      const FirstInfo first = Of(const_cast<TkvGrammarElement&>(*before), depth);
      info.Join(first);
      if (!first.nullable) {
        info.nullable = false;
        return info;
      }
    }
    for (const TkvGrammarElement* part : parts) {
      const FirstInfo next = Of(const_cast<TkvGrammarElement&>(*part), depth);
      info.Join(next);
      if (!next.nullable) {
        info.nullable = false;
        break;
      }
    }
    return info;
  }

  FirstInfo Alternatives(const TkvGrammarElement& e, int depth) {
    FirstInfo info;
    bool anyNullable = e.Children.empty();
    for (const TkvGrammarElement* child : e.Children) {
      const FirstInfo alternative = Of(const_cast<TkvGrammarElement&>(*child), depth);
      info.Join(alternative);
      anyNullable = anyNullable || alternative.nullable;
    }
    info.bodyNullable = anyNullable;
    info.nullable = anyNullable || e.Op == TkvGrammarOp::OptionalSwitch;
    return info;
  }

  // A token that is no word, unless the language lets a word start with one of its
  // characters (a symbol such as "_", a hexadecimal prefix that is a letter).
  FirstInfo NonWordToken(const TkvCharSet& chars) const {
    bool wordToo = false;
    for (unsigned c = 0; c < 256; ++c)
      wordToo = wordToo || (chars.Contains(char16_t(c)) && wordStart_.Contains(char16_t(c)));
    return FirstInfo::Token(chars, wordToo);
  }

  // A symbol is one punctuation character compared with the required text.
  static TkvCharSet SymbolStart(const UString& text) {
    const TkvCharSet& symbols = TkvParser::SymbolChars();
    if (text.empty()) return symbols;
    TkvCharSet set;
    if (text.size() == 1 && symbols.Contains(text[0])) set.Include(text[0]);
    return set;  // any other required text never matches one symbol
  }

  // A word is compared with the required text without regard to case.
  TkvCharSet WordStart(const UString& text) const {
    if (text.empty()) return wordStart_;
    TkvCharSet set;
    for (unsigned c = 0; c < 256; ++c)
      if (wordStart_.Contains(char16_t(c)) && UpCase(char16_t(c)) == UpCase(text[0]))
        set.Include(char16_t(c));
    return set;
  }

  void Record(TkvGrammarElement& e, const FirstInfo& info) {
    e.FirstChars = info.chars;
    e.FailsWithoutError = info.errorFree;
    e.NoReservedWordFirst = !info.keyword;
    e.FirstCheck = TkvFirstCheck::None;
    if (info.any || info.includes) return;
    const bool optionalPart = e.Op == TkvGrammarOp::Optional ||
                              e.Op == TkvGrammarOp::OptionalLoop ||
                              e.Op == TkvGrammarOp::OptionalSwitch;
    if (optionalPart) {
      // A body that can itself match empty might leave elements behind: such a part is
      // always interpreted.
      if (!info.bodyNullable) e.FirstCheck = TkvFirstCheck::MatchEmpty;
    } else if (!info.nullable) {
      e.FirstCheck = TkvFirstCheck::Fail;
    }
  }

  TkvCharSet wordStart_;
  TkvCharSet numberStart_;
  TkvCharSet stringStart_;
  bool numberAny_ = false;
  bool stringAny_ = false;
  std::unordered_map<const TkvGrammarElement*, State> states_;
};

}  // namespace

void TkvGrammar::WorkOutFirstChars() {
  TkvParser tokenizer;
  ConfigureTokenizer(tokenizer);
  FirstCharsAnalysis analysis(tokenizer);
  for (const std::unique_ptr<TkvGrammarElement>& element : elements_) analysis.Of(*element, 0);
}

}  // namespace kv
