// Fuzz target: the tokenizer. The input chooses the settings, a sequence of readers and the
// source text; after every reader the position must stay within 1..Size+1, and every
// reader must end. Readers answer empty or false for text they do not recognise; the only
// exception they may raise is EConvertError for a character code above $FFFF.
//
// Input layout (all parts optional, so any byte string is an input):
//   [0x01 settings 0x00]  settings: fields separated by 0x02, in the order block comment 1,
//                         block comment 2, line comment 1, line comment 2, hexadecimal
//                         prefix, identifier characters, line continuation, string quote,
//                         reserved words (comma-separated), and a field "1" to make line
//                         breaks tokens of their own
//   N  op*N               N = first byte % 32 readers, one byte each (see RunOp)
//   source                the rest, decoded as a script file is
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "host/core/exceptions.h"
#include "tests/fuzz/fuzz_input.h"
#include "tokenizer/kv_iparser.h"

namespace {

using kv::TkvParser;
using kv::UString;
using kv::UStringView;

void CheckPosition(const TkvParser& parser) {
  const int position = parser.Position();
  if (position < 1 || position > parser.Size() + 1) std::abort();
  const int tokenStart = parser.TokenStart();
  if (tokenStart < 1 || tokenStart > parser.Size() + 1) std::abort();
  const UString text = parser.PositionText();
  if (text.find(u':') == UString::npos) std::abort();
}

std::vector<UString> Split(UStringView text, char16_t separator) {
  std::vector<UString> parts;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = text.find(separator, start);
    parts.emplace_back(text.substr(start, end - start));
    if (end == UStringView::npos) return parts;
    start = end + 1;
  }
}

void ApplySettings(TkvParser& parser, UStringView settings) {
  const std::vector<UString> fields = Split(settings, u'\x02');
  auto field = [&](std::size_t i) { return i < fields.size() ? fields[i] : UString(); };
  parser.SetCommentBlock1(field(0));
  parser.SetCommentBlock2(field(1));
  parser.SetCommentLine1(field(2));
  parser.SetCommentLine2(field(3));
  parser.SetHexSequence(field(4));
  if (!field(5).empty()) parser.SetIdentChars(field(5));
  parser.SetSkipChar(field(6));
  parser.SetStringQuotes(field(7));
  parser.Keywords().Clear();
  for (const UString& word : Split(field(8), u',')) parser.Keywords().Add(word);
  parser.SetSkipEOL(field(9) != u"1");
}

// One reader, chosen by the low bits of `op`; the high bits choose where SetPosition goes.
void RunOp(TkvParser& parser, uint8_t op) {
  switch (op % 13) {
    case 0:
      parser.SkipBlanks();
      break;
    case 1:
      parser.ReadLineBreak();
      break;
    case 2:
      parser.ReadWord();
      break;
    case 3:
      parser.ReadIdent();
      break;
    case 4:
      parser.ReadKeyword();
      break;
    case 5:
      parser.ReadSymbol();
      break;
    case 6:
      parser.ReadString();
      break;
    case 7:
      parser.ReadNumber();
      break;
    case 8:
      parser.ReadFRString();
      break;
    case 9:
      parser.PositionText();
      break;
    case 10:
      parser.SetPosition(parser.Position() + (op >> 4) - 8);
      break;
    case 11:
      parser.SetPosition(op >> 4 == 0 ? 0 : parser.Size() + (op >> 4));
      break;
    case 12:
      parser.IsKeyword(parser.ReadWord());
      break;
  }
}

void RunGuarded(TkvParser& parser, uint8_t op) {
  try {
    RunOp(parser, op);
  } catch (const kv::EConvertError&) {
  }
  CheckPosition(parser);
}

// Reads the whole source as a grammar would: the readers in the order of the PascalScript
// tokens, stepping over a character nothing recognises.
void Drain(TkvParser& parser) {
  static constexpr uint8_t kOrder[] = {0, 1, 7, 6, 2, 5};
  while (parser.Position() <= parser.Size()) {
    const int before = parser.Position();
    for (uint8_t op : kOrder) {
      RunGuarded(parser, op);
      if (parser.Position() != before) break;
    }
    if (parser.Position() == before) parser.SetPosition(before + 1);
    CheckPosition(parser);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > kv::fuzz::kMaxInputSize) return -1;
  std::string_view input = kv::fuzz::Bytes(data, size);

  TkvParser parser;
  if (!input.empty() && input[0] == '\x01') {
    const std::size_t end = input.find('\0');
    const std::string_view settings =
        input.substr(1, end == std::string_view::npos ? end : end - 1);
    ApplySettings(parser, kv::DecodeTextFile(settings));
    input.remove_prefix(end == std::string_view::npos ? input.size() : end + 1);
  }
  std::string_view ops;
  if (!input.empty()) {
    const std::size_t count = std::min<std::size_t>(uint8_t(input[0]) % 32, input.size() - 1);
    ops = input.substr(1, count);
    input.remove_prefix(1 + count);
  }

  parser.SetSource(kv::DecodeTextFile(input));
  CheckPosition(parser);
  for (char op : ops) RunGuarded(parser, uint8_t(op));
  Drain(parser);
  return 0;
}
