// The IL document of a script's source, as indented text (kvscript --il).
#pragma once

#include "engine/kv_iinterpreter.h"

namespace kv {

// Parses the script's Lines in its syntax type. On success stores the indented IL document
// in `il` and answers true; on a syntax error records it in the script's error fields.
bool SourceToILText(TkvScript& script, UString& il);

}  // namespace kv
