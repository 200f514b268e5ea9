// Fuzz target: the grammar-driven parser with the PascalScript grammar. Any source either
// parses into an IL document or fails with a syntax error recorded in the error fields;
// only configuration faults (a used unit that cannot be read) raise, as kv::Exception.
// A successful parse must give an IL document that the XML writer can write and read back.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/kv_iinterpreter.h"
#include "frontend/kv_iilparser.h"
#include "frontend/kv_ipascal.h"
#include "host/core/exceptions.h"
#include "tests/fuzz/fuzz_input.h"

namespace {

bool StartOnce() {
  kv::InitInterpreter();
  kv::RegisterPascalScript();
  return true;
}

void CheckILWrites(const kv::TkvXMLDocument& il) {
  const std::string written = il.SaveToString();
  kv::TkvXMLDocument copy;
  copy.LoadFromString(written);
  if (copy.SaveToString() != written) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool started = StartOnce();
  (void)started;
  if (size > kv::fuzz::kMaxInputSize) return -1;
  const kv::UString source = kv::fuzz::DecodeInput(data, size);

  kv::TkvILParser parser(nullptr);
  parser.SelectGrammar(kv::kPascalScriptLanguage);
  bool parsed = false;
  try {
    parsed = parser.SourceToIL(source);
  } catch (const kv::Exception&) {
    return 0;
  }
  if (parsed) {
    if (!parser.ErrorText().empty()) std::abort();
    CheckILWrites(parser.ILDocument());
  } else if (parser.ErrorText().empty() || parser.ErrorPosition().empty()) {
    std::abort();  // a failed parse always says what and where
  }
  return 0;
}
