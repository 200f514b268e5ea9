// The tokenizer: reads one kind of token at a time at the current position of a script source.
// It keeps no token stream and no lookahead; the grammar-driven parser asks for the token its
// grammar expects and moves the position back itself when an alternative fails. Everything
// language-specific is a setting, filled from the grammar document; the defaults are those
// of PascalScript, and declaration strings are read with a tokenizer left at the defaults.
//
// Text is UTF-16. The character classes (identifier characters, blanks, punctuation, digits)
// cover the codes 0..255 only; every code above 255 is an ordinary character that belongs to
// no class, so it can appear in strings and comments but never starts or continues a word.
// Positions are 1-based indexes of code units, and columns count code units, so they match
// what the editor shows.
//
// No reader raises for text it does not recognise: it answers an empty string or false and
// leaves the position where it was. The only exception is EConvertError for a "#" or "\x"
// character code above $FFFF.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <unordered_set>
#include <vector>

#include "host/core/source_place.h"
#include "host/core/ustring.h"

namespace kv {

// A set of character codes 0..255 tested by bit lookup; codes above 255 are never members.
class TkvCharSet {
 public:
  constexpr TkvCharSet() = default;
  constexpr TkvCharSet(char16_t first, char16_t last) { IncludeRange(first, last); }

  constexpr bool Contains(char16_t c) const noexcept {
    return c < 256 && ((bits_[c >> 6] >> (c & 63)) & 1u) != 0;
  }
  // Codes above 255 are ignored: they cannot be members.
  constexpr void Include(char16_t c) noexcept {
    if (c < 256) bits_[c >> 6] |= std::uint64_t{1} << (c & 63);
  }
  constexpr void Exclude(char16_t c) noexcept {
    if (c < 256) bits_[c >> 6] &= ~(std::uint64_t{1} << (c & 63));
  }
  constexpr void IncludeRange(char16_t first, char16_t last) noexcept {
    for (unsigned c = first; c <= last && c < 256; ++c) Include(char16_t(c));
  }
  constexpr TkvCharSet& operator|=(const TkvCharSet& other) noexcept {
    for (std::size_t i = 0; i < bits_.size(); ++i) bits_[i] |= other.bits_[i];
    return *this;
  }
  constexpr bool operator==(const TkvCharSet&) const = default;

 private:
  std::array<std::uint64_t, 4> bits_{};
};

// Reserved words: kept in the order they were added, looked up without regard to case.
class TkvKeywordList {
 public:
  // A word already present (in any letter case) is not added again.
  void Add(UStringView word);
  void Clear();
  bool Contains(UStringView word) const;
  int Count() const noexcept { return static_cast<int>(words_.size()); }
  const std::vector<UString>& Items() const noexcept { return words_; }

 private:
  // Looked up for every identifier the parser tries, so the lookup allocates nothing.
  struct Hash {
    using is_transparent = void;
    std::size_t operator()(UStringView s) const noexcept { return std::hash<UStringView>{}(s); }
  };
  std::vector<UString> words_;                                     // as added
  std::unordered_set<UString, Hash, std::equal_to<>> upperCased_;  // every word in upper case
  // Bit n set: some word has n code units (the last bit stands for every longer length).
  // Most identifiers are ruled out by their length alone.
  std::uint64_t lengths_ = 0;
};

class TkvParser {
 public:
  TkvParser();

  // --- Settings -------------------------------------------------------------------------

  // A block-comment pair is written as opener, comma, closer ("{,}"). An empty setting, or
  // one whose opener or closer is empty, defines no comment.
  const UString& CommentBlock1() const noexcept { return commentBlock1_.setting; }
  void SetCommentBlock1(UStringView pair);
  const UString& CommentBlock2() const noexcept { return commentBlock2_.setting; }
  void SetCommentBlock2(UStringView pair);
  // Line-comment openers; empty means none.
  const UString& CommentLine1() const noexcept { return commentLine1_; }
  void SetCommentLine1(UStringView opener) { commentLine1_ = opener; }
  const UString& CommentLine2() const noexcept { return commentLine2_; }
  void SetCommentLine2(UStringView opener) { commentLine2_ = opener; }
  // Prefix of hexadecimal numbers; empty means the language has no hexadecimal notation.
  const UString& HexSequence() const noexcept { return hexSequence_; }
  void SetHexSequence(UStringView prefix) { hexSequence_ = prefix; }
  // Characters of identifiers and keywords. SetIdentChars replaces the set with exactly the
  // given characters; codes above 255 and the code 0 (the terminator) are left out.
  const TkvCharSet& IdentChars() const noexcept { return identChars_; }
  void SetIdentChars(UStringView chars);
  // Reserved words; ReadIdent refuses them.
  TkvKeywordList& Keywords() noexcept { return keywords_; }
  const TkvKeywordList& Keywords() const noexcept { return keywords_; }
  // Line continuation: only the first character counts; empty means none.
  const UString& SkipChar() const noexcept { return skipChar_; }
  void SetSkipChar(UStringView text) { skipChar_ = text; }
  // True: line breaks are blanks. False: carriage returns and line feeds are tokens of their
  // own, read by ReadLineBreak.
  bool SkipEOL() const noexcept { return skipEOL_; }
  void SetSkipEOL(bool skip) noexcept { skipEOL_ = skip; }
  // String quote: only the first character counts; a double quote turns on backslash escapes.
  // Empty (or a control character) means the language has only "#" character codes.
  const UString& StringQuotes() const noexcept { return stringQuotes_; }
  void SetStringQuotes(UStringView quotes) { stringQuotes_ = quotes; }

  // --- Source and position --------------------------------------------------------------

  // Starts a new source; Position and TokenStart go to 1. Raises kv::Exception for a text
  // too long for integer positions.
  void SetSource(UStringView text);
  // Starts an empty source and gives back the memory the previous one took.
  void ReleaseSource();
  // The source text with one terminating character 0 appended.
  const UString& Source() const noexcept { return source_; }
  // Length of the source text without the terminator.
  int Size() const noexcept { return size_; }
  // Current position, 1 .. Size + 1 (Size + 1 is the terminator).
  int Position() const noexcept { return position_; }
  // Start of the current token: the position after the latest blank skip.
  int TokenStart() const noexcept { return tokenStart_; }
  // Sets Position and TokenStart (the parser's way of backtracking). A position outside
  // 1 .. Size + 1 is moved to the nearer end.
  // Inline: the parser moves back and forth a million times in a large source.
  void SetPosition(int position) noexcept {
    position_ = tokenStart_ = position < 1 ? 1 : position > size_ + 1 ? size_ + 1 : position;
  }

  // --- Readers --------------------------------------------------------------------------

  // Skips blanks, line continuations and comments; TokenStart := the new position.
  void SkipBlanks();
  // After SkipBlanks: true and past them when carriage returns or line feeds follow.
  bool ReadLineBreak();
  // After SkipBlanks: a run of identifier characters not starting with a decimal digit.
  UString ReadWord();
  bool IsKeyword(UStringView word) const { return keywords_.Contains(word); }
  // ReadWord, but a reserved word answers empty (the position stays after the word).
  UString ReadIdent();
  // ReadWord, reserved or not.
  UString ReadKeyword();
  // One punctuation character (codes 33-47, 58-64, 91-96, 123-126); never skips blanks.
  UString ReadSymbol();
  static const TkvCharSet& SymbolChars() noexcept;
  // After SkipBlanks: quoted pieces and "#" character codes written next to each other. The
  // value comes back between single quotes whatever the quote of the language, so
  // 'it''s'#33 gives 'it's!'. Raises EConvertError for a character code above $FFFF.
  UString ReadString();
  // After SkipBlanks: an integer, hexadecimal integer or floating number, as written, with
  // the hexadecimal prefix turned into "$".
  UString ReadNumber();
  // The text up to the ">" that closes an already opened "<", honouring nested angle
  // brackets and quotes; Position stops on that ">" (or at the end of the source).
  UString ReadFRString();
  // "row:column" of the character at Position, both 1-based. A carriage return, a line feed
  // and a carriage return followed by a line feed each end a line; a position on a line
  // break reports the next row and column 0.
  UString PositionText() const;
  // The same place as numbers.
  SourcePlace Place() const;

 private:
  struct CommentPair {
    UString setting;
    UString opener;  // empty when the setting defines no comment
    UString closer;
  };
  static void AssignCommentPair(CommentPair& pair, UStringView setting);

  // Invariant: source_ == text + u'\0', size_ == text length, 1 <= position_ <= size_ + 1,
  // and the terminator belongs to no character class a scan loops over, so every scan stops
  // at it without a bounds check.
  char16_t At(int position) const noexcept { return source_[std::size_t(position - 1)]; }
  bool TextAt(int position, UStringView text) const noexcept;
  bool IsBlank(char16_t c) const noexcept;
  bool SkipComment();
  void SkipLineBreakRun();
  bool ReadQuotedPiece(UString& value);
  void ReadEscape(UString& piece);
  bool ReadCharCodePiece(UString& value);
  [[noreturn]] void RaiseCharCodeAt(int codeStart);
  int ScanDigits(const TkvCharSet& digits);
  int ScanCharCode(const TkvCharSet& digits, unsigned radix, std::uint32_t& code);
  void ScanFraction();
  void ScanExponent();
  const std::vector<int>& LineBreaks() const;

  CommentPair commentBlock1_;
  CommentPair commentBlock2_;
  UString commentLine1_;
  UString commentLine2_;
  UString hexSequence_;
  TkvCharSet identChars_;
  TkvKeywordList keywords_;
  UString skipChar_;
  bool skipEOL_ = true;
  UString stringQuotes_;

  UString source_;
  int size_ = 0;
  int position_ = 1;
  int tokenStart_ = 1;

  // 0-based indexes of the characters that end a line, built at the first PositionText
  // after SetSource so that asking for positions costs a binary search, not a rescan.
  mutable std::vector<int> lineBreaks_;
  mutable bool lineBreaksValid_ = false;
  // Index in lineBreaks_ of the first break after the place asked for last: the parser asks
  // for places along the source, mostly on the same line as before.
  mutable std::size_t lineAfter_ = 0;
};

}  // namespace kv
