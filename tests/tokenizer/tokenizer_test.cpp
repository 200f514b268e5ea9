#include <gtest/gtest.h>

#include <random>
#include <string>

#include "host/core/exceptions.h"
#include "tokenizer/kv_iparser.h"

namespace kv {
namespace {

TkvParser Over(std::string_view utf8) {
  TkvParser parser;
  parser.SetSource(U(utf8));
  return parser;
}

std::string S(const UString& text) { return ToUtf8(text); }

// --- Words, keywords and symbols ----------------------------------------------------------

TEST(TokenizerWords, IdentifierThenSymbolsWithoutBlankSkipping) {
  TkvParser p = Over("a:=1");
  EXPECT_EQ(S(p.ReadIdent()), "a");
  EXPECT_EQ(S(p.ReadSymbol()), ":");
  EXPECT_EQ(S(p.ReadSymbol()), "=");
  EXPECT_EQ(S(p.ReadSymbol()), "");
  EXPECT_EQ(S(p.ReadNumber()), "1");

  TkvParser spaced = Over(": =");
  EXPECT_EQ(S(spaced.ReadSymbol()), ":");
  EXPECT_EQ(S(spaced.ReadSymbol()), "");
  EXPECT_EQ(spaced.Position(), 2);
}

TEST(TokenizerWords, KeywordsAreRefusedAsIdentifiersWhateverTheirCase) {
  TkvParser p = Over("  Begin");
  p.Keywords().Add(u"begin");
  EXPECT_EQ(S(p.ReadIdent()), "");
  EXPECT_EQ(p.Position(), 8);  // after the word: the caller restores the position
  p.SetPosition(1);
  EXPECT_EQ(S(p.ReadKeyword()), "Begin");
  EXPECT_EQ(p.TokenStart(), 3);
  EXPECT_TRUE(p.IsKeyword(u"BEGIN"));
  EXPECT_FALSE(p.IsKeyword(u"Beginning"));
}

TEST(TokenizerWords, KeywordListKeepsOrderAndIgnoresRepeats) {
  TkvKeywordList words;
  words.Add(u"while");
  words.Add(u"Do");
  words.Add(u"WHILE");
  words.Add(U("начало"));
  ASSERT_EQ(words.Count(), 3);
  EXPECT_EQ(S(words.Items()[1]), "Do");
  EXPECT_TRUE(words.Contains(U("НАЧАЛО")));  // Unicode case rules
  words.Clear();
  EXPECT_FALSE(words.Contains(u"while"));
  EXPECT_EQ(words.Count(), 0);
}

TEST(TokenizerWords, WordsStartWithANonDigitIdentifierCharacter) {
  TkvParser p = Over("9lives _x1 ");
  EXPECT_EQ(S(p.ReadWord()), "");
  EXPECT_EQ(p.Position(), 1);
  EXPECT_EQ(S(p.ReadNumber()), "9");
  EXPECT_EQ(S(p.ReadWord()), "lives");
  EXPECT_EQ(S(p.ReadWord()), "_x1");
  EXPECT_EQ(S(p.ReadWord()), "");
  EXPECT_EQ(p.Position(), p.Size() + 1);
}

TEST(TokenizerWords, CodesAbove255BelongToNoClass) {
  TkvParser p = Over("Привет");
  EXPECT_EQ(S(p.ReadWord()), "");
  EXPECT_EQ(S(p.ReadSymbol()), "");
  EXPECT_EQ(p.Position(), 1);

  TkvParser mixed = Over("abcДом");
  EXPECT_EQ(S(mixed.ReadWord()), "abc");
  EXPECT_EQ(mixed.Position(), 4);

  // A grammar cannot make them identifier characters either.
  TkvParser widened = Over("Дом");
  widened.SetIdentChars(U("абвгдеёжзийклмнопрстуфхцчшщъыьэюяДом"));
  EXPECT_EQ(S(widened.ReadWord()), "");
}

TEST(TokenizerWords, SetIdentCharsReplacesTheDefaultSet) {
  TkvParser p = Over("ab-c é");
  p.SetIdentChars(U("b-cé"));
  EXPECT_EQ(S(p.ReadWord()), "");  // "a" is no longer an identifier character
  p.SetPosition(2);
  EXPECT_EQ(S(p.ReadWord()), "b-c");
  EXPECT_EQ(S(p.ReadWord()), "é");  // Latin-1 codes can be named

  TkvParser ends = Over("ab");
  ends.SetIdentChars(UString(u"ab\0", 3));  // the terminator must still stop the word
  EXPECT_EQ(S(ends.ReadWord()), "ab");
  EXPECT_EQ(ends.Position(), 3);
}

// --- Blanks, comments, line breaks --------------------------------------------------------

TEST(TokenizerBlanks, AllCommentKindsAreSkipped) {
  TkvParser p = Over("{ a } (* b *) // c\n  x");
  EXPECT_EQ(S(p.ReadWord()), "x");
  EXPECT_EQ(p.TokenStart(), 22);
}

TEST(TokenizerBlanks, UnclosedCommentsRunToTheEndOfTheSource) {
  for (const char* source :
       {"x { never closed", "x (* never *", "x // last line", "x {", "x (*)"}) {
    TkvParser p = Over(source);
    EXPECT_EQ(S(p.ReadWord()), "x");
    EXPECT_EQ(S(p.ReadWord()), "") << source;
    EXPECT_EQ(p.Position(), p.Size() + 1) << source;
    EXPECT_EQ(p.TokenStart(), p.Size() + 1) << source;
  }
}

TEST(TokenizerBlanks, LineCommentsEndAtAnyLineBreak) {
  for (const char* source : {"// c\ny", "// c\r\ny", "// c\ry"}) {
    TkvParser p = Over(source);
    EXPECT_EQ(S(p.ReadWord()), "y") << source;
  }
  TkvParser lines = Over("x // c\ry");
  lines.SetSkipEOL(false);
  EXPECT_EQ(S(lines.ReadWord()), "x");
  EXPECT_TRUE(lines.ReadLineBreak());  // the comment leaves the line break to be read
}

TEST(TokenizerBlanks, CommentSettings) {
  TkvParser p = Over("<<a>b>> x");
  p.SetCommentBlock1(u"<,>");
  p.SetCommentBlock2(u"<<,>>");
  EXPECT_EQ(S(p.ReadWord()), "x");  // the second pair wins when both open here

  TkvParser none = Over("{a} # x");
  none.SetCommentBlock1(u"");
  EXPECT_EQ(S(none.ReadSymbol()), "{");
  none.SetCommentBlock1(u"{");  // no closer: no comment
  none.SetPosition(1);
  EXPECT_EQ(S(none.ReadSymbol()), "{");
  none.SetCommentLine2(u"#");
  none.SetPosition(4);
  EXPECT_EQ(S(none.ReadWord()), "");
  EXPECT_EQ(none.Position(), none.Size() + 1);

  // The comment body starts after the whole opener, however long the closer is.
  TkvParser xml = Over("<!--->x");
  xml.SetCommentBlock1(u"<!--,-->");
  EXPECT_EQ(S(xml.ReadWord()), "");
  EXPECT_EQ(xml.Position(), xml.Size() + 1);
}

TEST(TokenizerBlanks, LineBreaksAreTokensOnlyWithoutSkipEOL) {
  for (const char* source : {"x\r\ny", "x\ny", "x\ry", "x \n\n\r\n y"}) {
    TkvParser lines = Over(source);
    lines.SetSkipEOL(false);
    EXPECT_EQ(S(lines.ReadWord()), "x");
    EXPECT_TRUE(lines.ReadLineBreak()) << source;
    EXPECT_FALSE(lines.ReadLineBreak()) << source;
    EXPECT_EQ(S(lines.ReadWord()), "y");

    TkvParser blanks = Over(source);
    EXPECT_EQ(S(blanks.ReadWord()), "x");
    EXPECT_FALSE(blanks.ReadLineBreak()) << source;
    EXPECT_EQ(S(blanks.ReadWord()), "y");
  }
}

TEST(TokenizerBlanks, LineContinuationSwallowsOneLineBreak) {
  TkvParser p = Over("a _ { c }\r\n b\nc _");
  p.SetSkipEOL(false);
  p.SetSkipChar(u"_x");
  EXPECT_EQ(S(p.ReadWord()), "a");
  EXPECT_FALSE(p.ReadLineBreak());
  EXPECT_EQ(S(p.ReadWord()), "b");
  EXPECT_TRUE(p.ReadLineBreak());
  EXPECT_EQ(S(p.ReadWord()), "c");
  EXPECT_FALSE(p.ReadLineBreak());  // a continuation at the very end
  EXPECT_EQ(p.Position(), p.Size() + 1);
}

TEST(TokenizerBlanks, LongRunsOfContinuationsDoNotRecurse) {
  TkvParser p;
  p.SetSkipChar(u"&");
  p.SetSkipEOL(false);
  p.SetSource(UString(1'000'000, u'&') + u"\nz");
  EXPECT_EQ(S(p.ReadWord()), "z");
}

// --- Strings ------------------------------------------------------------------------------

TEST(TokenizerStrings, PiecesJoinOnlyWhenWrittenTogether) {
  TkvParser joined = Over("'abc'#13#10'def'");
  EXPECT_EQ(joined.ReadString(), u"'abc\r\ndef'");
  EXPECT_EQ(joined.Position(), joined.Size() + 1);

  TkvParser apart = Over("'abc' #13");
  EXPECT_EQ(S(apart.ReadString()), "'abc'");
  EXPECT_EQ(apart.Position(), 6);
  EXPECT_EQ(apart.ReadString(), u"'\r'");  // a new literal
}

TEST(TokenizerStrings, QuotesAndCodes) {
  EXPECT_EQ(S(Over("'it''s'").ReadString()), "'it's'");
  EXPECT_EQ(S(Over("''").ReadString()), "''");
  EXPECT_EQ(S(Over("''''").ReadString()), "'''");
  EXPECT_EQ(S(Over("#65#$42#$0043").ReadString()), "'ABC'");
  EXPECT_EQ(S(Over("'Привет, мир'").ReadString()), "'Привет, мир'");
  EXPECT_EQ(S(Over("#$0416").ReadString()), "'Ж'");
  EXPECT_EQ(S(Over("#65535").ReadString()), "'\xEF\xBF\xBF'");

  TkvParser c = Over("#0x41");
  c.SetHexSequence(u"0x");
  EXPECT_EQ(S(c.ReadString()), "'A'");
}

TEST(TokenizerStrings, IncompletePiecesGiveBackTheirText) {
  TkvParser bare = Over("#");
  EXPECT_EQ(S(bare.ReadString()), "");
  EXPECT_EQ(bare.Position(), 1);
  EXPECT_EQ(S(bare.ReadSymbol()), "#");

  TkvParser hex = Over("'a'#$x");
  EXPECT_EQ(S(hex.ReadString()), "'a'");
  EXPECT_EQ(hex.Position(), 4);

  for (const char* source : {"'abc", "'abc\nx'", "'abc\r\n", "'tab\there'"}) {
    TkvParser p = Over(source);
    EXPECT_EQ(S(p.ReadString()), "") << source;
    EXPECT_EQ(p.Position(), 1) << source;
  }

  TkvParser partly = Over("'a'#65'bc");
  EXPECT_EQ(S(partly.ReadString()), "'aA'");  // the complete pieces stay read
  EXPECT_EQ(partly.Position(), 7);
}

TEST(TokenizerStrings, CharacterCodesAboveFFFFAreRejected) {
  for (const char* source : {"'a'#65536", "#$10000", "#99999999999999999999999"}) {
    TkvParser p = Over(source);
    try {
      p.ReadString();
      ADD_FAILURE() << "no error for " << source;
    } catch (const EConvertError& e) {
      const std::string code = std::string(source).substr(std::string(source).find('#'));
      EXPECT_EQ(S(e.Message()).rfind("Invalid character code '" + code.substr(0, 6), 0), 0u)
          << S(e.Message());
    }
  }
  TkvParser huge;
  huge.SetSource(u"#" + UString(100'000, u'9'));
  try {
    huge.ReadString();
    ADD_FAILURE() << "no error for a long code";
  } catch (const EConvertError& e) {
    // The message quotes only the beginning, as every message quoting source text does.
    EXPECT_EQ(S(e.Message()), "Invalid character code '#" + std::string(63, '9') + "...'");
    EXPECT_EQ(huge.PositionText(), u"1:1");  // pointing at the code
  }
}

TEST(TokenizerStrings, EscapesInDoubleQuotedLanguages) {
  auto read = [](std::string_view source) {
    TkvParser p = Over(source);
    p.SetStringQuotes(u"\"");
    return p.ReadString();
  };
  EXPECT_EQ(read(R"("a\nb\Rc")"), u"'a\nb\rc'");
  EXPECT_EQ(read(R"("\x41\X416\x!")"), u"'A\u0416!'");
  EXPECT_EQ(read(R"("say \"hi\" \\ ok")"), u"'say \"hi\" \\ ok'");
  EXPECT_EQ(read(R"("a""b")"), u"'ab'");  // no doubling: two pieces written together
  EXPECT_EQ(read(R"("it's")"), u"'it's'");
  EXPECT_EQ(read("\"ab\\"), u"");      // a backslash on the terminator
  EXPECT_EQ(read("\"ab\\\n\""), u"");  // a backslash before a line break
  EXPECT_THROW(read(R"("\x10000")"), EConvertError);
}

TEST(TokenizerStrings, ControlCharacterQuotesAreIgnored) {
  TkvParser p = Over("ab");
  p.SetStringQuotes(UString(1, u'\0'));
  p.SetPosition(3);
  EXPECT_EQ(S(p.ReadString()), "");
  EXPECT_EQ(p.Position(), 3);
}

// --- Numbers ------------------------------------------------------------------------------

TEST(TokenizerNumbers, Forms) {
  struct Case {
    const char* source;
    const char* number;
    int after;
  };
  for (const Case& c : {Case{"$1F", "$1F", 4}, Case{"1e5", "1e5", 4}, Case{"1.5e+", "1.5", 4},
                        Case{"1.5E-3x", "1.5E-3", 7}, Case{"1..5", "1", 2}, Case{"2.x", "2", 2},
                        Case{"1.e5", "1", 2}, Case{"12abc", "12", 3}, Case{"7.", "7", 2},
                        Case{"3e", "3", 2}, Case{"  42 ", "42", 5}, Case{"$1F.5", "$1F", 4},
                        Case{"$", "", 1}, Case{"$g", "", 1}, Case{"x", "", 1}, Case{"", "", 1}}) {
    TkvParser p = Over(c.source);
    EXPECT_EQ(S(p.ReadNumber()), c.number) << c.source;
    EXPECT_EQ(p.Position(), c.after) << c.source;
  }
}

TEST(TokenizerNumbers, OtherHexPrefixesComeBackAsDollar) {
  TkvParser p = Over("0x1f 0x 10");
  p.SetHexSequence(u"0x");
  EXPECT_EQ(S(p.ReadNumber()), "$1f");
  EXPECT_EQ(S(p.ReadNumber()), "0");  // a prefix without digits leaves a decimal number
  EXPECT_EQ(S(p.ReadWord()), "x");
  p.SetHexSequence(u"");
  EXPECT_EQ(S(p.ReadNumber()), "10");
}

// --- Bracketed field text -----------------------------------------------------------------

TEST(TokenizerFRString, StopsOnTheMatchingBracketOutsideQuotes) {
  TkvParser p = Over("a<b>c> rest");
  EXPECT_EQ(S(p.ReadFRString()), "a<b>c");
  EXPECT_EQ(p.Position(), 6);
  EXPECT_EQ(S(p.ReadSymbol()), ">");

  TkvParser quoted = Over(R"('>' "x>'" "'" >)");
  EXPECT_EQ(S(quoted.ReadFRString()), R"('>' "x>'" "'" )");

  TkvParser open = Over("a<b");
  EXPECT_EQ(S(open.ReadFRString()), "a<b");
  EXPECT_EQ(open.Position(), open.Size() + 1);
}

// --- Positions ----------------------------------------------------------------------------

std::string PositionAt(std::string_view utf8, int position) {
  TkvParser p = Over(utf8);
  p.SetPosition(position);
  return S(p.PositionText());
}

TEST(TokenizerPositions, RowsAndColumnsForEveryLineEnding) {
  EXPECT_EQ(PositionAt("ab", 3), "1:3");
  EXPECT_EQ(PositionAt("", 1), "1:1");
  EXPECT_EQ(PositionAt("x\r\ny", 4), "2:1");
  EXPECT_EQ(PositionAt("x\ny", 3), "2:1");
  EXPECT_EQ(PositionAt("x\ry", 3), "2:1");
  EXPECT_EQ(PositionAt("x\r\ny", 2), "2:0");  // on the line break
  EXPECT_EQ(PositionAt("x\r\ny", 3), "2:0");
  EXPECT_EQ(PositionAt("x\ny", 2), "2:0");
  EXPECT_EQ(PositionAt("\n\r\n\r\rzz", 7), "5:2");
  EXPECT_EQ(PositionAt("a\n\nb\r\n\r\nc", 9), "5:1");
  EXPECT_EQ(PositionAt("Привет\nмир!", 11), "2:4");  // columns count code units
  EXPECT_EQ(PositionAt("ab\ncd", 99), "2:3");        // positions are kept inside the text
  EXPECT_EQ(PositionAt("ab\ncd", -5), "1:1");
}

TEST(TokenizerPositions, ANewSourceForgetsTheOldLines) {
  TkvParser p = Over("a\nb\nc");
  p.SetPosition(5);
  EXPECT_EQ(S(p.PositionText()), "3:1");
  p.SetSource(u"abcde");
  p.SetPosition(5);
  EXPECT_EQ(S(p.PositionText()), "1:5");
}

// --- Robustness and size ------------------------------------------------------------------

// Every reader, in turn, over random text made of the characters the scans care about: no
// reader may move outside the text, loop forever or fail other than on a character code.
TEST(TokenizerRobustness, RandomTextIsReadToTheEnd) {
  const UString alphabet = U("ab_19$#'\"\\<>{}()*/.eE+- \t\r\nЖ") + UString(1, u'\0');
  std::mt19937 random(20240601);
  for (int round = 0; round < 2000; ++round) {
    UString text;
    const int length = int(random() % 40);
    for (int i = 0; i < length; ++i) text += alphabet[random() % alphabet.size()];
    TkvParser p;
    p.SetSkipEOL(round % 2 == 0);
    p.SetSkipChar(round % 3 == 0 ? u"_" : u"");
    if (round % 5 == 0) p.SetStringQuotes(u"\"");
    if (round % 7 == 0) p.SetCommentBlock1(u"/*,*/");
    p.SetSource(text);
    for (int step = 0; p.Position() <= p.Size(); ++step) {
      ASSERT_LT(step, 1000) << "no progress";
      const int before = p.Position();
      try {
        p.ReadLineBreak();
        p.ReadIdent();
        p.ReadNumber();
        p.ReadString();
        p.ReadSymbol();
        p.PositionText();
        if (step % 4 == 3) p.ReadFRString();
      } catch (const EConvertError&) {
      }
      ASSERT_GE(p.Position(), 1);
      ASSERT_LE(p.Position(), p.Size() + 1);
      if (p.Position() == before) p.SetPosition(before + 1);
    }
  }
}

// Sizes at which a scan that restarts from the beginning would take minutes.
TEST(TokenizerRobustness, LargeSourcesAreReadInOnePass) {
  UString lines;
  for (int i = 0; i < 100'000; ++i) lines += u"x := 1;\n";
  TkvParser p;
  p.SetSource(lines);
  int row = 0;
  while (!p.ReadIdent().empty()) {
    ++row;
    EXPECT_EQ(p.PositionText(), IntToUStr(row) + u":2");
    p.SkipBlanks();
    p.ReadSymbol();
    p.ReadSymbol();
    p.ReadNumber();
    p.ReadSymbol();
  }
  EXPECT_EQ(row, 100'000);

  p.SetSource(u"{" + UString(2'000'000, u'(') + u"x");
  EXPECT_EQ(S(p.ReadWord()), "");
  p.SetSource(u"'" + UString(2'000'000, u'a'));
  EXPECT_EQ(S(p.ReadString()), "");
}

}  // namespace
}  // namespace kv
