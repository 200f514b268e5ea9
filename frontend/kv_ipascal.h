// kv_ipascal: the PascalScript grammar document and its registration under the language name
// "PascalScript", and TkvPascal, the component whose presence on a form links the grammar
// into an application.
#pragma once

#include "host/core/component.h"
#include "host/core/ustring.h"

namespace kv {

// The language name the grammar is registered under and scripts select by default.
inline constexpr const char16_t* kPascalScriptLanguage = u"PascalScript";

// The grammar document text, in the one-line form of the XML writer.
UStringView PascalScriptGrammar();

// Registers the grammar in the language registry. Called by the start-up code of main()
// after the registry exists; a second call does nothing (the first registration wins).
void RegisterPascalScript();

// A marker component without properties or behaviour of its own.
class TkvPascal : public TComponent {
  KV_CLASS(TkvPascal, TComponent)

 public:
  explicit TkvPascal(TComponent* owner = nullptr) : TComponent(owner) {}
};

}  // namespace kv
