// The process-wide language registry: language name -> grammar document text.
#include <vector>

#include "engine/kv_iconst.h"
#include "engine/kv_itools.h"
#include "host/core/exceptions.h"

namespace kv {

namespace {

struct LanguageEntry {
  UString name;
  UString grammar;
};

// A handful of languages at most: a list searched in order is all it takes.
std::vector<LanguageEntry>& Registry() {
  static std::vector<LanguageEntry> registry;
  return registry;
}

const LanguageEntry* FindLanguage(UStringView name) {
  for (const LanguageEntry& entry : Registry())
    if (SameText(entry.name, name)) return &entry;
  return nullptr;
}

}  // namespace

void RegisterLanguageGrammar(UStringView name, UStringView grammarText) {
  if (FindLanguage(name)) return;  // the first registration wins
  Registry().push_back({UString(name), UString(grammarText)});
}

UString LanguageGrammar(UStringView name) {
  if (const LanguageEntry* entry = FindLanguage(name)) return entry->grammar;
  throw Exception(FormatMessage(msg::LanguageNotFound, name));
}

void ClearLanguageRegistry() { Registry().clear(); }

}  // namespace kv
