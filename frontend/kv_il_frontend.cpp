#include "frontend/kv_il_frontend.h"

#include "engine/kv_iinterpreter.h"
#include "frontend/kv_iilparser.h"
#include "frontend/kv_il_messages.h"
#include "host/core/exceptions.h"

namespace kv {

void TkvILFrontEnd::Compile(TkvScript& script) {
  TkvILParser parser(&script);
  // Units are looked up beside the file that names them, the main file included.
  parser.SetSourceFileName(script.SourceFileName);
  parser.SelectGrammar(script.SyntaxType());
  if (parser.SourceToIL(script.Lines()->Text())) parser.CompileAndReleaseIL();
}

std::unique_ptr<TkvDesignator> TkvILFrontEnd::CompileDeferred(TkvScript& script,
                                                              TkvDeferredCode& code) {
  auto* il = dynamic_cast<TkvILDeferredCode*>(&code);
  if (il == nullptr) throw Exception(UString(ilmsg::NotDeferredCode));
  TkvILParser parser(&script);
  return parser.CompileLateDesignator(il->Element(), script);
}

void InstallILFrontEnd() {
  static TkvILFrontEnd frontEnd;
  SetFrontEnd(&frontEnd);
}

}  // namespace kv
