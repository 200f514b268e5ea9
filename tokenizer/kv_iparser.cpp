// The tokenizer. Every scan relies on the invariant written in the header: the source ends
// with a character 0 that no scanned class contains, so loops over a class stop there on
// their own; scans driven by settings (comment delimiters, prefixes) check Size instead,
// because a setting may contain any character.
#include "tokenizer/kv_iparser.h"

#include <algorithm>
#include <climits>
#include <iterator>

#include "host/core/exceptions.h"
#include "host/core/message_excerpt.h"

namespace kv {

namespace {

constexpr char16_t kLineFeed = 10;
constexpr char16_t kCarriageReturn = 13;
constexpr char16_t kLastBlank = 32;
constexpr std::uint32_t kMaxCharCode = 0xFFFF;

constexpr TkvCharSet MakeDefaultIdentChars() {
  TkvCharSet set(u'0', u'9');
  set.IncludeRange(u'A', u'Z');
  set.Include(u'_');
  set.IncludeRange(u'a', u'z');
  return set;
}

constexpr TkvCharSet MakeHexDigits() {
  TkvCharSet set(u'0', u'9');
  set.IncludeRange(u'A', u'F');
  set.IncludeRange(u'a', u'f');
  return set;
}

constexpr TkvCharSet MakePunctuation() {
  TkvCharSet set(33, 47);
  set.IncludeRange(58, 64);
  set.IncludeRange(91, 96);
  set.IncludeRange(123, 126);
  return set;
}

constexpr TkvCharSet kDefaultIdentChars = MakeDefaultIdentChars();
constexpr TkvCharSet kDecimalDigits(u'0', u'9');
constexpr TkvCharSet kHexDigits = MakeHexDigits();
constexpr TkvCharSet kPunctuation = MakePunctuation();

bool IsLineEnd(char16_t c) { return c == kCarriageReturn || c == kLineFeed; }

unsigned DigitValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return c - u'a' + 10;
}

// A source may hold a code of any length: the message quotes only its beginning.
[[noreturn]] void RaiseInvalidCharCode(UStringView written) {
  throw EConvertError(u"Invalid character code '" + MessageExcerpt(written) + u"'");
}

}  // namespace

// --- TkvKeywordList -----------------------------------------------------------------------

namespace {

std::uint64_t LengthBit(std::size_t length) {
  return std::uint64_t{1} << std::min<std::size_t>(length, 63);
}

}  // namespace

void TkvKeywordList::Add(UStringView word) {
  if (!upperCased_.insert(UpperCase(word)).second) return;
  words_.emplace_back(word);
  lengths_ |= LengthBit(word.size());
}

void TkvKeywordList::Clear() {
  words_.clear();
  upperCased_.clear();
  lengths_ = 0;
}

bool TkvKeywordList::Contains(UStringView word) const {
  if ((lengths_ & LengthBit(word.size())) == 0) return false;
  char16_t buffer[32];
  if (word.size() > std::size(buffer)) return upperCased_.count(UpperCase(word)) != 0;
  for (std::size_t i = 0; i < word.size(); ++i) buffer[i] = UpCase(word[i]);
  return upperCased_.find(UStringView(buffer, word.size())) != upperCased_.end();
}

// --- Settings -----------------------------------------------------------------------------

TkvParser::TkvParser()
    : commentLine1_(u"//"),
      hexSequence_(u"$"),
      identChars_(kDefaultIdentChars),
      stringQuotes_(u"'") {
  SetCommentBlock1(u"{,}");
  SetCommentBlock2(u"(*,*)");
  SetSource({});
}

void TkvParser::AssignCommentPair(CommentPair& pair, UStringView setting) {
  pair.setting = setting;
  pair.opener.clear();
  pair.closer.clear();
  std::size_t comma = setting.find(u',');
  if (comma == UStringView::npos || comma == 0 || comma + 1 == setting.size()) return;
  pair.opener = setting.substr(0, comma);
  pair.closer = setting.substr(comma + 1);
}

void TkvParser::SetCommentBlock1(UStringView pair) { AssignCommentPair(commentBlock1_, pair); }

void TkvParser::SetCommentBlock2(UStringView pair) { AssignCommentPair(commentBlock2_, pair); }

void TkvParser::SetIdentChars(UStringView chars) {
  identChars_ = TkvCharSet();
  for (char16_t c : chars) identChars_.Include(c);
  identChars_.Exclude(0);  // the terminator must stop every word
}

// --- Source and position ------------------------------------------------------------------

void TkvParser::SetSource(UStringView text) {
  if (text.size() >= std::size_t(INT_MAX))
    throw Exception(UString(u"The script text is too long to be compiled"));
  source_.clear();
  source_.reserve(text.size() + 1);  // the terminator must not double the capacity
  source_.append(text);
  source_.push_back(0);
  size_ = int(text.size());
  position_ = tokenStart_ = 1;
  lineBreaks_.clear();
  lineBreaksValid_ = false;
  lineAfter_ = 0;
}

void TkvParser::ReleaseSource() {
  UString().swap(source_);
  std::vector<int>().swap(lineBreaks_);
  SetSource({});
}

bool TkvParser::TextAt(int position, UStringView text) const noexcept {
  std::size_t index = std::size_t(position - 1);
  return !text.empty() && index + text.size() <= std::size_t(size_) &&
         UStringView(source_).substr(index, text.size()) == text;
}

// --- Blanks and comments ------------------------------------------------------------------

// With SkipEOL off both line-break characters are tokens: keeping the line feed a blank would
// hide every line break of a file that ends its lines with a line feed alone.
bool TkvParser::IsBlank(char16_t c) const noexcept {
  return c <= kLastBlank && (skipEOL_ || !IsLineEnd(c));
}

void TkvParser::SkipLineBreakRun() {
  while (IsLineEnd(At(position_))) ++position_;
}

// A line continuation swallows the next line break, even past blanks and comments. The
// continuations are counted rather than handled by recursion, so that a long run of them
// cannot exhaust the stack; a token other than a line break ends the ones still pending.
void TkvParser::SkipBlanks() {
  int pendingContinuations = 0;
  for (;;) {
    while (position_ <= size_ && IsBlank(At(position_))) ++position_;
    if (position_ > size_) break;
    char16_t c = At(position_);
    if (!skipChar_.empty() && c == skipChar_[0]) {
      ++position_;
      ++pendingContinuations;
    } else if (SkipComment()) {
      // skipped; look for more blanks
    } else if (pendingContinuations > 0 && IsLineEnd(c)) {
      SkipLineBreakRun();
      --pendingContinuations;
    } else {
      break;
    }
  }
  tokenStart_ = position_;
}

// A comment opener counts only when it lies wholly inside the text. A line comment stops
// before the line break, whichever character ends the line; an unclosed block comment runs
// to the end of the source. When both block pairs match, the second wins.
bool TkvParser::SkipComment() {
  // Most tokens start no comment: their first character rules every opener out at once.
  const char16_t c = At(position_);
  const auto mayOpen = [c](const UString& opener) { return !opener.empty() && opener[0] == c; };
  if (!mayOpen(commentLine1_) && !mayOpen(commentLine2_) && !mayOpen(commentBlock1_.opener) &&
      !mayOpen(commentBlock2_.opener)) {
    return false;
  }
  if (TextAt(position_, commentLine1_) || TextAt(position_, commentLine2_)) {
    while (position_ <= size_ && !IsLineEnd(At(position_))) ++position_;
    return true;
  }
  const CommentPair* pair = nullptr;
  if (TextAt(position_, commentBlock2_.opener))
    pair = &commentBlock2_;
  else if (TextAt(position_, commentBlock1_.opener))
    pair = &commentBlock1_;
  if (pair == nullptr) return false;

  std::size_t bodyStart = std::size_t(position_ - 1) + pair->opener.size();
  UStringView text = UStringView(source_).substr(0, std::size_t(size_));
  std::size_t closer = text.find(pair->closer, bodyStart);
  position_ = closer == UStringView::npos ? size_ + 1 : int(closer + pair->closer.size()) + 1;
  return true;
}

bool TkvParser::ReadLineBreak() {
  SkipBlanks();
  if (!IsLineEnd(At(position_))) return false;
  SkipLineBreakRun();
  return true;
}

// --- Words and symbols --------------------------------------------------------------------

UString TkvParser::ReadWord() {
  SkipBlanks();
  char16_t first = At(position_);
  if (!identChars_.Contains(first) || kDecimalDigits.Contains(first)) return {};
  while (identChars_.Contains(At(position_))) ++position_;
  return source_.substr(std::size_t(tokenStart_ - 1), std::size_t(position_ - tokenStart_));
}

UString TkvParser::ReadIdent() {
  UString word = ReadWord();
  if (!word.empty() && IsKeyword(word)) return {};
  return word;
}

UString TkvParser::ReadKeyword() { return ReadWord(); }

const TkvCharSet& TkvParser::SymbolChars() noexcept { return kPunctuation; }

UString TkvParser::ReadSymbol() {
  char16_t c = At(position_);
  if (!kPunctuation.Contains(c)) return {};
  ++position_;
  return UString(1, c);
}

// --- Numbers ------------------------------------------------------------------------------

int TkvParser::ScanDigits(const TkvCharSet& digits) {
  int start = position_;
  while (digits.Contains(At(position_))) ++position_;
  return position_ - start;
}

// Reads a run of digits as a character code. The value saturates just above the largest
// code, so that any length of digits is read without overflow and reported as too large.
int TkvParser::ScanCharCode(const TkvCharSet& digits, unsigned radix, std::uint32_t& code) {
  int start = position_;
  code = 0;
  for (char16_t c = At(position_); digits.Contains(c); c = At(++position_))
    code = std::min(code * radix + DigitValue(c), kMaxCharCode + 1);
  return position_ - start;
}

// "." must be followed by a digit, or the number ends before it: 1..5 is 1 then "..".
void TkvParser::ScanFraction() {
  if (At(position_) != u'.' || !kDecimalDigits.Contains(At(position_ + 1))) return;
  ++position_;
  ScanDigits(kDecimalDigits);
}

// An incomplete exponent is left unread: 1.5e+ is 1.5 then "e+".
void TkvParser::ScanExponent() {
  char16_t e = At(position_);
  if (e != u'E' && e != u'e') return;
  int digits = position_ + 1;
  if (At(digits) == u'+' || At(digits) == u'-') ++digits;
  if (!kDecimalDigits.Contains(At(digits))) return;
  position_ = digits;
  ScanDigits(kDecimalDigits);
}

// A hexadecimal number is an integer; only a decimal integer part takes a fraction and an
// exponent. The prefix comes back as "$" whatever the language writes.
UString TkvParser::ReadNumber() {
  SkipBlanks();
  int start = position_;
  if (TextAt(position_, hexSequence_)) {
    position_ += int(hexSequence_.size());
    int digitsStart = position_;
    if (ScanDigits(kHexDigits) > 0)
      return u"$" +
             source_.substr(std::size_t(digitsStart - 1), std::size_t(position_ - digitsStart));
    position_ = start;
  }
  if (ScanDigits(kDecimalDigits) == 0) return {};
  ScanFraction();
  ScanExponent();
  return source_.substr(std::size_t(start - 1), std::size_t(position_ - start));
}

// --- Strings ------------------------------------------------------------------------------

UString TkvParser::ReadString() {
  SkipBlanks();
  UString value;
  bool anyPiece = false;
  while (ReadQuotedPiece(value) || ReadCharCodePiece(value)) anyPiece = true;
  if (!anyPiece) return {};
  return u"'" + value + u"'";
}

// A piece that meets a control character (a line break, the terminator) before its closing
// quote is no string: the position goes back to its opening quote and nothing is added.
bool TkvParser::ReadQuotedPiece(UString& value) {
  char16_t quote = stringQuotes_.empty() ? char16_t(0) : stringQuotes_[0];
  if (quote < u' ' || At(position_) != quote) return false;
  const bool escapes = quote == u'"';
  const int start = position_;
  UString piece;
  ++position_;
  for (;;) {
    char16_t c = At(position_);
    if (c < u' ') {
      position_ = start;
      return false;
    }
    ++position_;
    if (c == quote) {
      if (escapes || At(position_) != quote) break;
      ++position_;  // a doubled quote stands for one
    } else if (escapes && c == u'\\') {
      if (At(position_) < u' ') {
        position_ = start;
        return false;
      }
      ReadEscape(piece);
      continue;
    }
    piece += c;
  }
  value += piece;
  return true;
}

// Position stands after a backslash, on a character that is not a control character.
void TkvParser::ReadEscape(UString& piece) {
  const int backslash = position_ - 1;
  char16_t c = At(position_++);
  switch (c) {
    case u'n':
    case u'N':
      piece += kLineFeed;
      return;
    case u'r':
    case u'R':
      piece += kCarriageReturn;
      return;
    case u'x':
    case u'X': {
      std::uint32_t code = 0;
      if (ScanCharCode(kHexDigits, 16, code) == 0) return;  // "\x" alone adds nothing
      if (code > kMaxCharCode) RaiseCharCodeAt(backslash);
      piece += char16_t(code);
      return;
    }
    default:
      piece += c;  // the quote itself, the backslash, or any other character
  }
}

bool TkvParser::ReadCharCodePiece(UString& value) {
  if (At(position_) != u'#') return false;
  const int start = position_++;
  std::uint32_t code = 0;
  int digits = 0;
  if (TextAt(position_, hexSequence_)) {
    position_ += int(hexSequence_.size());
    digits = ScanCharCode(kHexDigits, 16, code);
  } else {
    digits = ScanCharCode(kDecimalDigits, 10, code);
  }
  if (digits == 0) {
    position_ = start;
    return false;
  }
  if (code > kMaxCharCode) RaiseCharCodeAt(start);
  value += char16_t(code);
  return true;
}

// The position goes to the start of the code, so that an error report points at it.
void TkvParser::RaiseCharCodeAt(int codeStart) {
  UStringView written =
      UStringView(source_).substr(std::size_t(codeStart - 1), std::size_t(position_ - codeStart));
  position_ = codeStart;
  RaiseInvalidCharCode(written);
}

// --- Bracketed field text -----------------------------------------------------------------

// Angle brackets inside quotes do not count; a quote of one kind inside the other is text.
UString TkvParser::ReadFRString() {
  const int start = position_;
  int depth = 1;
  bool inSingle = false;
  bool inDouble = false;
  for (; position_ <= size_; ++position_) {
    char16_t c = At(position_);
    if (!inSingle && !inDouble) {
      if (c == u'<') {
        ++depth;
      } else if (c == u'>' && --depth == 0) {
        break;
      }
    }
    if (c == u'"' && !inSingle)
      inDouble = !inDouble;
    else if (c == u'\'' && !inDouble)
      inSingle = !inSingle;
  }
  return source_.substr(std::size_t(start - 1), std::size_t(position_ - start));
}

// --- Positions ----------------------------------------------------------------------------

// A carriage return ends a line; so does a line feed, unless it completes a carriage return.
const std::vector<int>& TkvParser::LineBreaks() const {
  if (!lineBreaksValid_) {
    lineBreaks_.clear();
    char16_t previous = 0;
    for (int i = 0; i < size_; ++i) {
      char16_t c = source_[std::size_t(i)];
      if (c == kCarriageReturn || (c == kLineFeed && previous != kCarriageReturn))
        lineBreaks_.push_back(i);
      previous = c;
    }
    lineBreaksValid_ = true;
  }
  return lineBreaks_;
}

// Row: one plus the line breaks up to and including the current character. Column: the
// characters after the last of them, where the line feed of a carriage return-line feed
// pair belongs to the break and counts for nothing.
SourcePlace TkvParser::Place() const {
  const std::vector<int>& breaks = LineBreaks();
  const int index = position_ - 1;
  auto after = breaks.begin() + std::ptrdiff_t(lineAfter_);
  const bool sameLine = (after == breaks.begin() || *(after - 1) <= index) &&
                        (after == breaks.end() || *after > index);
  if (!sameLine) {
    after = std::upper_bound(breaks.begin(), breaks.end(), index);
    lineAfter_ = std::size_t(after - breaks.begin());
  }
  const int row = 1 + int(after - breaks.begin());
  int column = index + 1;
  if (after != breaks.begin()) {
    const int lastBreak = *(after - 1);
    column = index - lastBreak;
    if (lastBreak < index && source_[std::size_t(lastBreak)] == kCarriageReturn &&
        source_[std::size_t(lastBreak + 1)] == kLineFeed)
      --column;
  }
  return {row, column};
}

UString TkvParser::PositionText() const { return PlaceText(Place()); }

}  // namespace kv
