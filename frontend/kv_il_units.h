// Including used units: each file listed by a `uses` element is parsed by a parser of its
// own into a `uses` element of the including IL document. Used only by the IL parser.
#pragma once

#include "frontend/kv_iilparser.h"
#include "frontend/kv_il_interpreter.h"

namespace kv {

class TkvILUnitIncluder : public TkvUnitIncluder {
 public:
  explicit TkvILUnitIncluder(TkvILParser& parser) : parser_(parser) {}

  // Units are taken from the last listed to the first, each block put where the list
  // began, so the `uses` elements stand in the reverse order of the list.
  void IncludeUnits(TkvILForest& output, std::size_t firstItem, TkvSyntaxError& error,
                    int depth) override;

 private:
  TkvILParser& parser_;
};

// The text of a source file as a string list would give it: UTF-8 (a byte-order mark
// skipped) or else Windows-1251, every line ended by a carriage return and a line feed.
// Raises EFOpenError when the file cannot be read, EReadError when it is larger than a text
// can hold (CheckTextFileSize).
UString ReadSourceFile(const std::string& path, UStringView shownName);

}  // namespace kv
