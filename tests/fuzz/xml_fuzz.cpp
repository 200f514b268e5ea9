// Fuzz target: the XML reader. Any byte string either loads or raises kv::Exception; a
// document that loaded and could be written must read back as the same tree, and every
// attribute value in it must decode or raise kv::Exception.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "host/core/exceptions.h"
#include "tests/fuzz/fuzz_input.h"
#include "xml/kv_xml.h"
#include "xml/kv_xml_io.h"

namespace {

using kv::TkvXMLDocument;
using kv::TkvXMLItem;
using kv::UString;

// Asks every item for a few attribute values; walks the tree without recursion, as the
// unit itself does, so deep documents cannot exhaust the stack here either.
void ReadProps(const TkvXMLItem* root) {
  std::vector<const TkvXMLItem*> pending{root};
  while (!pending.empty()) {
    const TkvXMLItem* item = pending.back();
    pending.pop_back();
    for (const char16_t* name : {u"text", u"pos", u"name"}) {
      try {
        (void)item->Prop(name);
      } catch (const kv::Exception&) {
      }
    }
    for (const TkvXMLItem* child : item->Children()) pending.push_back(child);
  }
}

// The file format keeps names, character data and children exactly. Of the attribute text
// it may lose blanks at either end (the writer adds no separator before a text that starts
// with one, and the reader drops one blank before the ">" of an opening tag), and it writes a
// control character inside a value as a character reference; neither changes an attribute's
// value. This is the text as it reads back.
UString AsWritten(const UString& text) {
  UString coded;
  char16_t quote = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (quote == 0 && (c == u'"' || c == u'\'')) {
      quote = c;
    } else if (c == quote) {
      quote = 0;
    } else if (quote != 0 && kv::NeedsCharacterReference(text, i)) {
      coded += u"&#" + kv::IntToUStr(c) + u";";
      continue;
    }
    coded.push_back(c);
  }
  const std::size_t first = coded.find_first_not_of(u' ');
  if (first == UString::npos) return {};
  return coded.substr(first, coded.find_last_not_of(u' ') - first + 1);
}

bool SameTree(const TkvXMLItem* a, const TkvXMLItem* b) {
  std::vector<std::pair<const TkvXMLItem*, const TkvXMLItem*>> pending{{a, b}};
  while (!pending.empty()) {
    const auto [x, y] = pending.back();
    pending.pop_back();
    if (x->Name() != y->Name() || AsWritten(x->Text()) != AsWritten(y->Text()) ||
        x->Content() != y->Content() || x->Count() != y->Count())
      return false;
    for (int i = 0; i < x->Count(); ++i) pending.emplace_back(x->Items(i), y->Items(i));
  }
  return true;
}

void CheckRoundTrip(const TkvXMLDocument& document) {
  std::string written;
  try {
    written = document.SaveToString();
  } catch (const kv::Exception&) {
    return;  // a tree that could not be read back as written is refused, not written
  }
  TkvXMLDocument copy;
  copy.LoadFromString(written);  // what was written must load: no exception is clean here
  if (!SameTree(document.Root(), copy.Root())) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > kv::fuzz::kMaxInputSize) return -1;
  TkvXMLDocument document;
  try {
    document.LoadFromString(kv::fuzz::Bytes(data, size));
  } catch (const kv::Exception&) {
    return 0;
  }
  ReadProps(document.Root());
  CheckRoundTrip(document);
  document.SetIndentOutput(true);
  CheckRoundTrip(document);
  return 0;
}
