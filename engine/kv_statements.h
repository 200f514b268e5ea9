// Statements: a tree the script runs by calling Execute on its main statement list.
// Statements own their expressions and designators.
#pragma once

#include <memory>
#include <vector>

#include "engine/kv_designators.h"
#include "engine/kv_error_frames.h"
#include "engine/kv_iexpression.h"
#include "engine/kv_items.h"
#include "engine/kv_script.h"

namespace kv {

class TkvExpressionNode;

class TkvStatement : public TkvItemList {
 public:
  TkvStatement(TkvScript* script, UString sourcePos, UString unitName);
  virtual void Execute();  // a plain block runs its children as a statement list
  TkvStatement* StatementAt(int index) const;
  void ReportLine();
  // Runs the children of a plain block (a body, a branch) as Execute does, without the
  // virtual dispatch.
  static void RunList(TkvStatement& list) { list.ExecuteList(); }

  TkvScript* Script;  // not owned
  SourcePlace Place;
  UString UnitName;

 protected:
  // Runs the children; stops early on any control flag of the script.
  void ExecuteList();
  // The hook of hooked statements: ReportLine, then whether to go on.
  bool Hook();
};

class TkvAssignmentStmt : public TkvStatement {
 public:
  using TkvStatement::TkvStatement;
  void Execute() override;
  // After Designator and Expression are set: note the operands' kinds and choose the
  // shortest read and write paths.
  void Prepare();
  // nullptr after Prepare when the target is a plain variable: Target is that variable.
  std::unique_ptr<TkvDesignator> Designator;
  std::unique_ptr<TkvCustomExpression> Expression;
  TkvCustomVariable* Target = nullptr;  // not owned
  TkvCustomVariable* Source = nullptr;  // not owned
  // Chosen by Prepare (nullptr without it): the items whose stored values Target and Source
  // come down to (PlainValueItem), and Target as a string variable, whose storage a
  // compound assignment unshares.
  TkvCustomVariable* PlainTarget = nullptr;   // not owned
  TkvCustomVariable* PlainSource = nullptr;   // not owned
  TkvstringVariable* StringTarget = nullptr;  // not owned
  // s := s + a + b ... for a string variable s: a, b, ... in order (nodes of Expression),
  // appended to s's own buffer; empty for every other assignment.
  std::vector<TkvExpressionNode*> AppendOperands;
  // Set by Prepare when the target and the operand a compound assignment combines with it
  // (the folded expression's root) are both of static kind Integer: the integer rule of
  // kv_integer_arithmetic.h then applies, as it does to x op e in an expression.
  bool IntegerKinds = false;
};

// x op= e; also the folded x := x op e.
class TkvAssignPlusStmt : public TkvAssignmentStmt {
 public:
  using TkvAssignmentStmt::TkvAssignmentStmt;
  void Execute() override;
};
class TkvAssignMinusStmt : public TkvAssignmentStmt {
 public:
  using TkvAssignmentStmt::TkvAssignmentStmt;
  void Execute() override;
};
class TkvAssignMulStmt : public TkvAssignmentStmt {
 public:
  using TkvAssignmentStmt::TkvAssignmentStmt;
  void Execute() override;
};
class TkvAssignDivStmt : public TkvAssignmentStmt {
 public:
  using TkvAssignmentStmt::TkvAssignmentStmt;
  void Execute() override;
};

// The assignment statement for an operator folded into it (okPlus, okMinus, okMul,
// okDivFloat: x := x op e), or the plain one (okNone and any other kind).
std::unique_ptr<TkvAssignmentStmt> NewAssignment(TkvOperatorKind folded, TkvScript* script,
                                                 UString sourcePos, UString unitName);

class TkvCallStmt : public TkvStatement {
 public:
  using TkvStatement::TkvStatement;
  void Execute() override;
  std::unique_ptr<TkvDesignator> Designator;
  UString Modifier;  // empty, "+" or "-"
};

class TkvIfStmt : public TkvStatement {
 public:
  TkvIfStmt(TkvScript* script, UString sourcePos, UString unitName);
  void Execute() override;
  std::unique_ptr<TkvCustomExpression> Condition;
  std::unique_ptr<TkvStatement> ElseStatements;
};

class TkvCaseSelector : public TkvStatement {
 public:
  TkvCaseSelector(TkvScript* script, UString sourcePos, UString unitName);
  std::unique_ptr<TkvSetExpression> Set;
};

class TkvCaseStmt : public TkvStatement {
 public:
  TkvCaseStmt(TkvScript* script, UString sourcePos, UString unitName);
  void Execute() override;
  std::unique_ptr<TkvCustomExpression> Selector;
  std::unique_ptr<TkvStatement> ElseStatements;
};

class TkvRepeatStmt : public TkvStatement {
 public:
  using TkvStatement::TkvStatement;
  void Execute() override;
  std::unique_ptr<TkvCustomExpression> Condition;
  bool Inverse = false;  // do-while: loop while the condition holds
};

class TkvWhileStmt : public TkvStatement {
 public:
  using TkvStatement::TkvStatement;
  void Execute() override;
  std::unique_ptr<TkvCustomExpression> Condition;
};

class TkvForStmt : public TkvStatement {
 public:
  using TkvStatement::TkvStatement;
  void Execute() override;
  std::unique_ptr<TkvCustomExpression> BeginValue;
  bool Down = false;
  std::unique_ptr<TkvCustomExpression> EndValue;
  TkvCustomVariable* LoopVariable = nullptr;  // not owned
};

class TkvVbForStmt : public TkvStatement {
 public:
  using TkvStatement::TkvStatement;
  void Execute() override;
  std::unique_ptr<TkvCustomExpression> BeginValue;
  std::unique_ptr<TkvCustomExpression> EndValue;
  std::unique_ptr<TkvCustomExpression> Step;  // may stay empty (step 1)
  TkvCustomVariable* LoopVariable = nullptr;  // not owned
};

class TkvCppForStmt : public TkvStatement {
 public:
  TkvCppForStmt(TkvScript* script, UString sourcePos, UString unitName);
  void Execute() override;
  std::unique_ptr<TkvStatement> FirstStatements;
  std::unique_ptr<TkvCustomExpression> Condition;
  std::unique_ptr<TkvStatement> SecondStatements;
};

class TkvTryStmt : public TkvStatement {
 public:
  TkvTryStmt(TkvScript* script, UString sourcePos, UString unitName);
  void Execute() override;
  bool IsExcept = true;  // try..except; false for try..finally
  std::unique_ptr<TkvStatement> HandlerStatements;
};

class TkvBreakStmt : public TkvStatement {
 public:
  using TkvStatement::TkvStatement;
  void Execute() override;
};
class TkvContinueStmt : public TkvStatement {
 public:
  using TkvStatement::TkvStatement;
  void Execute() override;
};
class TkvExitStmt : public TkvStatement {
 public:
  using TkvStatement::TkvStatement;
  void Execute() override;
};

class TkvWithStmt : public TkvStatement {
 public:
  using TkvStatement::TkvStatement;
  void Execute() override;
  std::unique_ptr<TkvDesignator> Designator;
  TkvCustomVariable* HiddenVariable = nullptr;  // an item of the script; not owned
};

inline void TkvStatement::ReportLine() { Script->ReportLine(UnitName, Place); }

// Without any hook in the process nothing can have asked for an exit since the statement
// list this statement belongs to tested the flag, so there is nothing to test.
inline bool TkvStatement::Hook() {
  if (!TkvRunLineEvent::AnyAssigned()) return true;
  ReportLine();
  return !Script->ExitRequested;
}

// Inline, so that each loop runs its body without a further call per pass.
// A list entered while an exit is under way runs nothing; later statements need no such
// test, since the one before them stopped the list on every flag.
// An exception that leaves a statement takes the statement's place with it; the handler is
// off the normal path, which runs as if it were not there.
inline void TkvStatement::ExecuteList() {
  TkvScript& script = *Script;
  if (script.ExitRequested) return;
  const int count = ItemCount();
  int i = 0;
  try {
    for (; i < count; ++i) {
      static_cast<TkvStatement*>(ItemAt(i))->Execute();
      // One test of the three flags together: statements run this after every statement.
      if (script.BreakRequested | script.ContinueRequested | script.ExitRequested) return;
    }
  } catch (const std::exception& e) {
    NoteFailedStatement(e, *StatementAt(i));
    throw;
  }
}

}  // namespace kv
