// Fuzz target: grammar documents. The input is a grammar, a byte 0, then a source text (no
// byte 0: the whole input is the grammar, the source a fixed small program). The grammar is
// registered under a language name of its own and the source parsed with it. A grammar the
// engine cannot use raises "Invalid language definition" (kv::Exception); any grammar that
// it accepts must parse any source to an IL document or a syntax error, in bounded time.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "engine/kv_iinterpreter.h"
#include "engine/kv_itools.h"
#include "frontend/kv_iilparser.h"
#include "host/core/exceptions.h"
#include "tests/fuzz/fuzz_input.h"

namespace {

constexpr const char16_t* kLanguage = u"FuzzedGrammar";

bool StartOnce() {
  kv::InitInterpreter();
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool started = StartOnce();
  (void)started;
  if (size > kv::fuzz::kMaxInputSize) return -1;
  std::string_view input = kv::fuzz::Bytes(data, size);
  std::string_view source = "program P; begin x := 1 end.";
  const std::size_t split = input.find('\0');
  if (split != std::string_view::npos) {
    source = input.substr(split + 1);
    input = input.substr(0, split);
  }

  // The registry keeps the first grammar of a name: start from an empty one every time.
  kv::ClearLanguageRegistry();
  kv::RegisterLanguageGrammar(kLanguage, kv::DecodeTextFile(input));
  kv::TkvILParser parser(nullptr);
  bool parsed = false;
  try {
    parser.SelectGrammar(kLanguage);
    parsed = parser.SourceToIL(kv::DecodeTextFile(source));
  } catch (const kv::Exception&) {
    return 0;
  }
  if (parsed) {
    (void)parser.ILDocument().SaveToString();  // the IL of an accepted grammar is writable
  } else if (parser.ErrorText().empty() || parser.ErrorPosition().empty()) {
    std::abort();  // a failed parse always says what and where
  }
  return 0;
}
