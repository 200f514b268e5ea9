#include "cli/kv_il_dump.h"

#include "frontend/kv_iilparser.h"

namespace kv {

bool SourceToILText(TkvScript& script, UString& il) {
  TkvILParser parser(&script);
  parser.SetSourceFileName(script.SourceFileName);
  parser.SelectGrammar(script.SyntaxType());
  if (!parser.SourceToIL(script.Lines()->Text())) return false;
  parser.ILDocument().SetIndentOutput(true);
  il = FromUtf8(parser.ILDocument().SaveToString());
  return true;
}

}  // namespace kv
