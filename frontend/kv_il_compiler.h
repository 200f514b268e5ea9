// The IL compiler: walks the IL document and creates the program objects of a script
// (items, procedures with their local scripts, statements, expressions, set constructors and
// designators), resolving every name at compile time.
//
// TkvILCompiler is the working half of TkvILParser's compile operations. It keeps its state
// in the parser (current position, unit name, current program element, with list, the
// declare-vars flag), so that an error can be reported with the parser's current position,
// and it only adds a nesting budget that keeps hostile or broken IL from exhausting the
// stack. One compiler object serves one entry call of the parser.
//
// Files: kv_il_compile.cpp (programs, declarations), kv_il_compile_stmt.cpp (statements),
// kv_il_compile_expr.cpp (expressions, set constructors), kv_il_compile_dsgn.cpp
// (designators and name resolution).
#pragma once

#include <cstddef>
#include <memory>

#include "engine/kv_iexpression.h"
#include "engine/kv_iinterpreter.h"
#include "frontend/kv_iilparser.h"
#include "xml/kv_xml.h"

namespace kv {

class TkvILCompiler {
 public:
  using Mode = TkvILParser::TkvDesignatorMode;

  // `late`: the next designator compiled completes one put off until its first use.
  explicit TkvILCompiler(TkvILParser& parser, bool late = false) : p_(parser), late_(late) {}
  TkvILCompiler(const TkvILCompiler&) = delete;
  TkvILCompiler& operator=(const TkvILCompiler&) = delete;

  void CompileIL();
  std::unique_ptr<TkvExpression> CompileExpression(TkvXMLItem& element, TkvScript& scope);
  std::unique_ptr<TkvSetExpression> CompileSetConstructor(TkvXMLItem& element, TkvScript& scope);
  std::unique_ptr<TkvDesignator> CompileDesignator(TkvXMLItem& element, TkvScript& scope,
                                                   Mode mode);
  TkvCustomVariable* ResolveIdentifier(UStringView name, TkvScript& scope);

 private:
  // ---- Programs and declarations (kv_il_compile.cpp) ----
  void CompileProgram(TkvXMLItem& program, TkvScript& scope, TkvStatement& list);
  // The node dispatcher: one child of a program, block or statement body.
  void CompileNode(TkvXMLItem& node, TkvScript& scope, TkvStatement& list);
  void CompileChildren(TkvXMLItem& parent, TkvScript& scope, TkvStatement& list);
  void CompileUses(TkvXMLItem& uses, TkvScript& scope, TkvStatement& list);
  void CompileVarDeclaration(TkvXMLItem& group, TkvScript& scope, TkvStatement& list);
  void CompileConstDeclaration(TkvXMLItem& decl, TkvScript& scope);
  void CompileRoutine(TkvXMLItem& routine, TkvScript& scope);
  void CompileParameters(TkvXMLItem& parameters, TkvProcVariable& routine);
  void CompileParameterGroup(TkvXMLItem& group, TkvProcVariable& routine, bool byReference);

  struct DeclaredVariable {
    std::unique_ptr<TkvCustomVariable> item;
    std::unique_ptr<TkvStatement> initialisation;  // only with a statement list
  };
  // The variable of the `ident` child at `identIndex` of a declaration group. As a
  // parameter it is a TkvParamItem; with a statement list an initial value becomes an
  // assignment statement, without one it is evaluated now.
  DeclaredVariable CreateVariable(TkvXMLItem& group, int identIndex, TkvScript& scope,
                                  bool asParameter, bool byReference, bool withStatement);
  std::unique_ptr<TkvStatement> CompileInitialisation(TkvXMLItem& group, TkvXMLItem& init,
                                                      TkvCustomVariable& variable,
                                                      TkvScript& scope);
  Variant EvaluateInitialValue(TkvXMLItem& init, const UString& typeName, TkvValueKind kind,
                               TkvScript& scope);
  // Bounds of every dimension of an `array` element, evaluated now.
  std::vector<ArrayBound> CompileDimensions(TkvXMLItem& array, TkvScript& scope);
  // Applies the current program's type aliases to `typeName` and answers its kind.
  TkvValueKind ResolveType(UString& typeName);
  void CheckRedeclared(const TkvScript& scope, const UString& name);

  // ---- Statements (kv_il_compile_stmt.cpp) ----
  void CompileAssignment(TkvXMLItem& stmt, TkvScript& scope, TkvStatement& list);
  void CompileCall(TkvXMLItem& stmt, TkvScript& scope, TkvStatement& list);
  void CompileIf(TkvXMLItem& stmt, TkvScript& scope, TkvStatement& list);
  void CompileCase(TkvXMLItem& stmt, TkvScript& scope, TkvStatement& list);
  void CompileFor(TkvXMLItem& stmt, TkvScript& scope, TkvStatement& list);
  void CompileVbFor(TkvXMLItem& stmt, TkvScript& scope, TkvStatement& list);
  void CompileCppFor(TkvXMLItem& stmt, TkvScript& scope, TkvStatement& list);
  void CompileWhile(TkvXMLItem& stmt, TkvScript& scope, TkvStatement& list);
  void CompileRepeat(TkvXMLItem& stmt, TkvScript& scope, TkvStatement& list);
  void CompileTry(TkvXMLItem& stmt, TkvScript& scope, TkvStatement& list);
  void CompileReturn(TkvXMLItem& stmt, TkvScript& scope, TkvStatement& list);
  void CompileDelete(TkvXMLItem& stmt, TkvScript& scope, TkvStatement& list);
  void CompileWith(TkvXMLItem& stmt, TkvScript& scope, TkvStatement& list);
  template <class Stmt>
  void CompileFlowStatement(TkvXMLItem& stmt, TkvScript& scope, TkvStatement& list);
  // A loop's body: break and continue are allowed inside it.
  void CompileLoopBody(TkvXMLItem& body, TkvScript& scope, TkvStatement& loop);
  // The loop variable of a for statement: a numeric, writable variable.
  TkvCustomVariable* CompileLoopVariable(TkvXMLItem& ident, TkvScript& scope);
  std::unique_ptr<TkvExpression> CompileBound(TkvXMLItem& element, TkvCustomVariable& target,
                                              TkvScript& scope);
  template <class Stmt>
  std::unique_ptr<Stmt> NewStatement(const TkvXMLItem& element, TkvScript& scope);
  // Appends a finished statement and notes its line.
  void Append(std::unique_ptr<TkvStatement> stmt, TkvStatement& list);
  void NoteLine(const UString& sourcePos);
  UString HiddenWithName(const TkvScript& scope) const;

  // ---- Expressions and set constructors (kv_il_compile_expr.cpp) ----
  void AddExpressionItem(TkvExpression& expr, TkvXMLItem& item, TkvScript& scope);

  // ---- Designators (kv_il_compile_dsgn.cpp) ----
  enum class StepResult { Continue, Finished };
  StepResult CompileFirstStep(TkvXMLItem& element, const UString& name, TkvDesignator& dsgn,
                              TkvScript& scope, Mode mode);
  // `late`: completing a put-off designator, when a Variant still without value raises.
  StepResult CompileLaterStep(TkvXMLItem& element, const UString& name, TkvDesignator& dsgn,
                              TkvScript& scope, bool late);
  StepResult ResolveInWithScopes(TkvXMLItem& element, const UString& name, TkvDesignator& dsgn,
                                 TkvScript& scope, bool& resolved);
  void CompileAddress(TkvXMLItem& element, TkvDesignator& dsgn, TkvScript& scope);
  void AppendFree(TkvDesignator& dsgn);
  // Moves a classified designator into the subclass of its fast path.
  std::unique_ptr<TkvDesignator> Specialise(std::unique_ptr<TkvDesignator> dsgn, TkvScript& scope);
  void CheckArguments(TkvDesignator& dsgn);
  // Puts the compilation of `element` (with `firstName` as a new first name, if given) off
  // until the designator's first use.
  void Defer(TkvDesignator& dsgn, const TkvXMLItem& element, const UString* firstName);

  // ---- Shared helpers (kv_il_compile.cpp) ----
  void SetPosition(const TkvXMLItem& element);
  // Raises `message` at the element's position (the current position when it has none).
  [[noreturn]] void Fail(const TkvXMLItem& element, const UString& message);
  [[noreturn]] static void Raise(const UString& message);
  TkvXMLItem& Child(TkvXMLItem& parent, int index);  // raises for a missing child
  TkvXMLItem& NamedChild(TkvXMLItem& parent, int index, UStringView lowerName);
  UString NameText(TkvXMLItem& element);  // the `text`; raises when empty
  // A class descriptor of the global script object, or nullptr.
  static TkvClassVariable* GlobalClass(UStringView name);
  TkvClassVariable& RequireGlobalClass(const UString& name);
  [[noreturn]] void RaiseIncompatible(const TkvCustomVariable& target,
                                      const TkvCustomVariable& source);
  void CheckAssignable(const TkvCustomVariable& target, const TkvCustomVariable& source);

  // Every level of element recursion, every operator of an expression being compiled and
  // every open with scope spends one unit; the engine's trees (and their destructors and
  // evaluation) recurse as deep as these, so the budget bounds the stack they need.
  class Nesting {
   public:
    // Raises at `at` when the budget is spent.
    Nesting(TkvILCompiler& compiler, const TkvXMLItem& at, int units);
    ~Nesting() { compiler_.depth_ -= units_; }
    Nesting(const Nesting&) = delete;
    Nesting& operator=(const Nesting&) = delete;

   private:
    TkvILCompiler& compiler_;
    int units_;
  };
  static constexpr int kMaxNesting = 1000;
  // Stack a unit may take, compiling it or evaluating or freeing what it compiled into,
  // with room to spare. Each unit asks for it where it is compiled, so the nesting a thread
  // compiles is what its stack can run; a procedure called at the bottom of deep recursion
  // runs its nesting in the reserve the call guard keeps (a quarter of the stack).
  static constexpr std::size_t kStackPerUnit = 1024;

  TkvILParser& p_;
  bool late_;
  int depth_ = 0;
  // Loop bodies being compiled around the current statement (routines are declared outside
  // statements, so a routine's body starts at 0 too).
  int loopDepth_ = 0;
};

// Lower-cased element name, the key of every dispatch. Names are nearly always lower case
// already: `buffer` holds the lowered copy only when one is needed.
UStringView ElementName(const TkvXMLItem& element, UString& buffer);
bool IsElement(const TkvXMLItem& element, UStringView lowerName);

}  // namespace kv
