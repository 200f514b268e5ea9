// Where a run-time error went through the script: as an exception leaves the statements of
// a script call level, the level's routine and the place of its executing statement are
// noted for it, so that a host can report the place and the call stack. Noting happens only
// in exception handlers: the normal path does not pay for it.
#pragma once

#include <exception>
#include <vector>

#include "host/core/source_place.h"
#include "host/core/ustring.h"

namespace kv {

class TkvStatement;

struct TkvErrorFrame {
  UString routine;  // empty for the main program
  UString unit;     // empty for the main text
  SourcePlace place;
  int callDepth = 0;  // the nesting of script calls at that level
};

// Called by a handler of e as e leaves `statement`: notes the statement's call level unless an
// inner statement of the same level did already.
[[gnu::cold]] void NoteFailedStatement(const std::exception& e, const TkvStatement& statement);

// The levels noted for e, innermost first; empty for an exception that left no statement.
// Kept for the last exception noted on this thread.
const std::vector<TkvErrorFrame>& ErrorFramesOf(const std::exception& e);

}  // namespace kv
