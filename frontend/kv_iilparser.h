// kv_iilparser: the grammar-driven parser, which turns script source into the IL document by
// interpreting the rules of a registered grammar, and the IL compiler, which turns the IL
// document into the program objects of a script.
//
// One parser serves one compile: create it for the script, SelectGrammar with the script's
// syntax type, SourceToIL with the source text, and CompileIL only when SourceToIL answered
// true. Nothing here knows PascalScript: every language-specific choice comes from the
// grammar document.
//
// Source to IL (kv_il_source.cpp, kv_il_units.cpp, with kv_il_grammar and kv_il_interpreter):
// - Syntax errors do not raise: SourceToIL answers false and ErrorText, ErrorPosition
//   ("row:column" of the failing element's first token) and ErrorUnitName (the used unit the
//   error is in; empty for the source itself) describe the first error. They are copied into
//   the script's fields of the same names.
// - Configuration faults raise kv::Exception: an unknown language ("Language '%s' not
//   found"), a broken grammar ("Invalid language definition"), a used file that cannot be
//   read (EFOpenError).
// - A first source line "#language NAME" selects the grammar NAME for that source.
// - A `uses` element of the grammar names further source files, each a complete program of
//   the same language. A unit is looked up beside the file that names it (SourceFileName
//   for the main source), then in the current directory; it is read as UTF-8, or as
//   Windows-1251 when it is not valid UTF-8. Units that use each other in a cycle fail the
//   parse with "Circular unit reference: 'NAME'". A unit is one file (device and inode):
//   however many units use it, it is read once per parse, and its `uses` element holds its
//   program at its first use in document order; every later `uses` element of it is empty.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#include "frontend/kv_file_identity.h"
#include "frontend/kv_il_position.h"
#include "host/core/ustring.h"
#include "tokenizer/kv_iparser.h"
#include "xml/kv_xml.h"

namespace kv {

class TkvScript;
class TkvWithStmt;
class TkvCustomVariable;
class TkvExpression;
class TkvSetExpression;
class TkvDesignator;
class TkvGrammar;
struct TkvSyntaxError;

class TkvILParser {
 public:
  // `script` receives the error fields and, when compiling, the compiled items. It may be
  // null for a parse alone; the parser does not own it.
  explicit TkvILParser(TkvScript* script);
  ~TkvILParser();
  TkvILParser(const TkvILParser&) = delete;
  TkvILParser& operator=(const TkvILParser&) = delete;

  // ==== Source to IL ======================================================================

  // Selects the grammar registered under `languageName` and configures the tokenizer from
  // its parser section (settings the grammar omits keep the tokenizer's defaults).
  void SelectGrammar(UStringView languageName);
  // Parses `text` into the IL document (root `program`, the grammar's `types` last). Answers
  // true on success; stores the error fields in every case (empty on success).
  bool SourceToIL(UStringView text);

  // The file the source was read from, if any: used units are looked up beside it first.
  const UString& SourceFileName() const { return sourceFileName_; }
  void SetSourceFileName(UString fileName) { sourceFileName_ = std::move(fileName); }

  TkvXMLDocument& ILDocument() { return ilDocument_; }
  const TkvXMLDocument& ILDocument() const { return ilDocument_; }

  const UString& ErrorText() const { return errorText_; }
  const UString& ErrorPosition() const { return errorPosition_; }
  const UString& ErrorUnitName() const { return errorUnitName_; }

  const UString& LanguageName() const { return languageName_; }
  // False when the grammar's `declarevars` is "0": identifiers need no declaration.
  bool DeclareVars() const { return declareVars_; }
  // The selected grammar document; null before SelectGrammar.
  const TkvXMLDocument* GrammarDocument() const;
  TkvScript* Script() const { return script_; }
  // File name of the used unit being parsed or compiled; empty for the main source.
  const UString& UnitName() const { return unitName_; }

  // ==== IL to program objects (kv_il_compile*.cpp) ========================================

  // Compiles the IL document into the script. Compile errors are caught and stored like
  // syntax errors (StoreError), with the current position and unit name.
  void CompileIL();
  // CompileIL for a parser that is done with its IL document: every element at the top is
  // emptied once compiled (the type aliases stay), so that the whole document and the
  // program objects made from it are not held at the same time.
  void CompileAndReleaseIL();

  // The parts of CompileIL, for the late completion of designators and for hosts and tests
  // that compile single IL elements into a scope (the script or a routine's local script).
  // They raise kv::Exception with the compiler's message; CurrentPosition() then tells where.
  enum TkvDesignatorMode : uint8_t {
    dmPlain,        // an ordinary access path
    dmConstructor,  // the operand of `new`: the first name is a class, its Create is called
    dmFree,         // the operand of `delete`: TObject's Free is called on the object
  };
  std::unique_ptr<TkvExpression> CompileExpression(TkvXMLItem& element, TkvScript& scope);
  std::unique_ptr<TkvSetExpression> CompileSetConstructor(TkvXMLItem& element, TkvScript& scope);
  std::unique_ptr<TkvDesignator> CompileDesignator(TkvXMLItem& element, TkvScript& scope,
                                                   TkvDesignatorMode mode);
  // CompileDesignator (plain) for a designator whose compilation was put off until its first
  // use: a Variant that is still Null then raises instead of being put off again.
  std::unique_ptr<TkvDesignator> CompileLateDesignator(TkvXMLItem& element, TkvScript& scope);
  // The item a first name stands for: found in the scope or its parents, else declared as a
  // Variant when the grammar lets identifiers go undeclared.
  TkvCustomVariable* ResolveIdentifier(UStringView name, TkvScript& scope);
  const UString& CurrentPosition() const { return currentPosition_.Text(); }

 private:
  friend class TkvILUnitIncluder;
  using Forest = std::vector<std::unique_ptr<TkvXMLItem>>;

  // ---- Source to IL ----
  // Parses into `output` (the children of the program element) and sets the error fields;
  // answers whether the parse succeeded.
  bool ParseSource(UStringView text, Forest& output);
  // The `uses` element for the unit listed by `listed` (a leaf whose text is the file name
  // in quotes), holding the unit's program element; empty when the unit was included
  // before, or with `error` set.
  std::unique_ptr<TkvXMLItem> IncludeUnit(const TkvXMLItem& listed, TkvSyntaxError& error,
                                          int depth);
  bool IsInUseChain(const TkvFileIdentity& identity) const;
  std::vector<TkvFileIdentity> UseChain() const;
  // The program element of a successful parse: `children`, then the grammar's `types`.
  std::unique_ptr<TkvXMLItem> MakeProgram(Forest& children) const;

  // Sets the error fields and copies them into the script, if any.
  void StoreError(UString text, UString position, UString unitName);

  TkvScript* script_;  // not owned
  std::shared_ptr<const TkvGrammar> grammar_;
  TkvXMLDocument ilDocument_;
  UString languageName_;
  bool declareVars_ = true;
  TkvParser tokenizer_;
  UString unitName_;
  UString sourceFileName_;
  UString errorText_;
  UString errorPosition_;
  UString errorUnitName_;
  // The files of the units whose parse includes this one, outermost first: a unit found
  // among them would include itself without end.
  std::vector<TkvFileIdentity> useChain_;
  // The units included so far by this parse, shared by the parsers of the main source and
  // of all its units; SourceToIL starts it afresh. A unit joins it once its parse succeeded,
  // so its program element stands before every later use of it in the document: the
  // grammar's `uses` output is never taken back once its units were included.
  using IncludedUnits = std::unordered_set<TkvFileIdentity, TkvFileIdentityHash>;
  std::shared_ptr<IncludedUnits> includedUnits_ = std::make_shared<IncludedUnits>();
  // Grammar nesting already reached by the parses that include this one.
  int depthBase_ = 0;

  // ---- IL to program objects ----
  // Members and helpers of the IL compiler go here. The compiler's working code is the
  // class TkvILCompiler (kv_il_compiler.h), which keeps its state in these fields.
  friend class TkvILCompiler;
  TkvILPosition currentPosition_;  // `pos` of the IL element being compiled
  bool releaseCompiled_ = false;   // CompileAndReleaseIL: empty each top element once compiled
  // The type aliases of the program or routine element being compiled; nullptr when it has
  // none (a routine never has).
  const TkvXMLItem* currentTypes_ = nullptr;
  // Open `with` scopes, innermost last: the hidden variable's name and its statement.
  std::vector<std::pair<UString, TkvWithStmt*>> withList_;
};

}  // namespace kv
