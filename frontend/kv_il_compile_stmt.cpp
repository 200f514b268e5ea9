// The IL compiler: statements. Every statement is built completely (its expressions,
// designators and bodies compiled), then appended to its list and its line noted; children
// are compiled in document order, so the first error in the source is the one reported.
#include <type_traits>
#include <utility>

#include "frontend/kv_il_compiler.h"
#include "frontend/kv_il_messages.h"
#include "host/core/exceptions.h"

namespace kv {

template <class Stmt>
std::unique_ptr<Stmt> TkvILCompiler::NewStatement(const TkvXMLItem& element, TkvScript& scope) {
  return std::make_unique<Stmt>(&scope, element.Prop(u"pos"), p_.unitName_);
}

// Code lines are kept on the script being compiled, routines' bodies included, so a host
// finds every line that holds a statement in one place.
void TkvILCompiler::NoteLine(const UString& sourcePos) {
  if (p_.script_ != nullptr) p_.script_->NoteCodeLine(p_.unitName_, sourcePos);
}

void TkvILCompiler::Append(std::unique_ptr<TkvStatement> stmt, TkvStatement& list) {
  const UString pos = KnownPlaceText(stmt->Place);
  list.AddItem(stmt.release());
  NoteLine(pos);
}

// break and continue outside every loop are rejected: the engine would leave their flag set
// on the script, silently ending the rest of the block and cutting short later calls of the
// routine.
template <class Stmt>
void TkvILCompiler::CompileFlowStatement(TkvXMLItem& stmt, TkvScript& scope, TkvStatement& list) {
  if constexpr (!std::is_same_v<Stmt, TkvExitStmt>) {
    if (loopDepth_ == 0) Fail(stmt, ilmsg::FlowOutsideLoop);
  }
  Append(NewStatement<Stmt>(stmt, scope), list);
}

void TkvILCompiler::CompileLoopBody(TkvXMLItem& body, TkvScript& scope, TkvStatement& loop) {
  struct Inside {
    int& depth;
    explicit Inside(int& d) : depth(++d) {}
    ~Inside() { --depth; }
  } inside(loopDepth_);
  CompileNode(body, scope, loop);
}

template void TkvILCompiler::CompileFlowStatement<TkvBreakStmt>(TkvXMLItem&, TkvScript&,
                                                                TkvStatement&);
template void TkvILCompiler::CompileFlowStatement<TkvContinueStmt>(TkvXMLItem&, TkvScript&,
                                                                   TkvStatement&);
template void TkvILCompiler::CompileFlowStatement<TkvExitStmt>(TkvXMLItem&, TkvScript&,
                                                               TkvStatement&);

namespace {

// The operator of an explicit modificator ("+=", "-=", "*=", "/=" in grammars that have them).
TkvOperatorKind ModificatorOperator(UStringView modificator) {
  switch (modificator.empty() ? u' ' : modificator.front()) {
    case u'+':
      return okPlus;
    case u'-':
      return okMinus;
    case u'*':
      return okMul;
    case u'/':
      return okDivFloat;
    default:
      return okNone;
  }
}

}  // namespace

// `x := x + e` becomes an in-place addition through the fold; an explicit modificator
// (`x += e` in other grammars) chooses the statement directly.
void TkvILCompiler::CompileAssignment(TkvXMLItem& stmt, TkvScript& scope, TkvStatement& list) {
  std::unique_ptr<TkvDesignator> target =
      CompileDesignator(Child(stmt, 0), scope, TkvILParser::dmPlain);
  TkvXMLItem& second = Child(stmt, 1);
  const bool modified = IsElement(second, u"modificator");
  TkvOperatorKind folded = modified ? ModificatorOperator(second.Prop(u"text")) : okNone;
  std::unique_ptr<TkvExpression> value =
      CompileExpression(modified ? Child(stmt, 2) : second, scope);
  if (target->ReadOnly) Raise(ilmsg::LeftSideNotAssignable);
  CheckAssignable(*target, *value);
  if (!modified) folded = value->FoldSelfAssignment(target.get());

  std::unique_ptr<TkvAssignmentStmt> assignment =
      NewAssignment(folded, &scope, stmt.Prop(u"pos"), p_.unitName_);
  assignment->Designator = std::move(target);
  assignment->Expression = std::move(value);
  assignment->Prepare();
  Append(std::move(assignment), list);
}

void TkvILCompiler::CompileCall(TkvXMLItem& stmt, TkvScript& scope, TkvStatement& list) {
  auto call = NewStatement<TkvCallStmt>(stmt, scope);
  call->Designator = CompileDesignator(Child(stmt, 0), scope, TkvILParser::dmPlain);
  if (stmt.Count() > 1) {
    call->Modifier = stmt.Items(1)->Prop(u"text");
    if (call->Designator->ReadOnly) Raise(ilmsg::LeftSideNotAssignable);
  }
  Append(std::move(call), list);
}

void TkvILCompiler::CompileIf(TkvXMLItem& stmt, TkvScript& scope, TkvStatement& list) {
  auto branch = NewStatement<TkvIfStmt>(stmt, scope);
  branch->Condition = CompileExpression(Child(stmt, 0), scope);
  CompileChildren(NamedChild(stmt, 1, u"thenstmt"), scope, *branch);
  if (stmt.Count() > 2) {
    CompileChildren(NamedChild(stmt, 2, u"elsestmt"), scope, *branch->ElseStatements);
  }
  if (stmt.Count() > 3) Fail(*stmt.Items(3), ilmsg::UnexpectedElement(stmt.Items(3)->Name()));
  Append(std::move(branch), list);
}

// Selectors are not noted: the statement of a branch notes its own line.
void TkvILCompiler::CompileCase(TkvXMLItem& stmt, TkvScript& scope, TkvStatement& list) {
  auto choice = NewStatement<TkvCaseStmt>(stmt, scope);
  choice->Selector = CompileExpression(Child(stmt, 0), scope);
  const int count = stmt.Count();
  for (int i = 1; i < count; ++i) {
    TkvXMLItem& child = *stmt.Items(i);
    if (IsElement(child, u"caseselector")) {
      auto selector = NewStatement<TkvCaseSelector>(child, scope);
      std::unique_ptr<TkvSetExpression> labels = CompileSetConstructor(Child(child, 0), scope);
      selector->Set = std::move(labels);
      if (child.Count() > 1) CompileNode(*child.Items(1), scope, *selector);
      if (child.Count() > 2)
        Fail(*child.Items(2), ilmsg::UnexpectedElement(child.Items(2)->Name()));
      choice->AddItem(selector.release());
    } else if (i == count - 1) {
      CompileNode(child, scope, *choice->ElseStatements);
    } else {
      Fail(child, ilmsg::UnexpectedElement(child.Name()));
    }
  }
  Append(std::move(choice), list);
}

// Only a writable numeric variable may count: the loop stores into the variable's value
// directly, so a constant (nil, True, a declared const) would be changed for good.
TkvCustomVariable* TkvILCompiler::CompileLoopVariable(TkvXMLItem& ident, TkvScript& scope) {
  if (!IsElement(ident, u"ident")) Fail(ident, ilmsg::UnexpectedElement(ident.Name()));
  SetPosition(ident);
  TkvCustomVariable* variable = ResolveIdentifier(NameText(ident), scope);
  const bool numeric =
      variable->Kind == vkInteger || variable->Kind == vkFloat || variable->Kind == vkVariant;
  if (dynamic_cast<TkvVariable*>(variable) == nullptr || variable->ReadOnly || !numeric) {
    Raise(ilmsg::ForLoopVariable);
  }
  return variable;
}

std::unique_ptr<TkvExpression> TkvILCompiler::CompileBound(TkvXMLItem& element,
                                                           TkvCustomVariable& target,
                                                           TkvScript& scope) {
  std::unique_ptr<TkvExpression> bound = CompileExpression(element, scope);
  CheckAssignable(target, *bound);
  return bound;
}

void TkvILCompiler::CompileFor(TkvXMLItem& stmt, TkvScript& scope, TkvStatement& list) {
  auto loop = NewStatement<TkvForStmt>(stmt, scope);
  loop->LoopVariable = CompileLoopVariable(Child(stmt, 0), scope);
  loop->BeginValue = CompileBound(Child(stmt, 1), *loop->LoopVariable, scope);
  int next = 2;
  if (IsElement(Child(stmt, next), u"downto")) {
    loop->Down = true;
    ++next;
  }
  loop->EndValue = CompileBound(Child(stmt, next), *loop->LoopVariable, scope);
  ++next;
  if (next < stmt.Count()) CompileLoopBody(*stmt.Items(next), scope, *loop);
  if (next + 1 < stmt.Count()) {
    Fail(*stmt.Items(next + 1), ilmsg::UnexpectedElement(stmt.Items(next + 1)->Name()));
  }
  Append(std::move(loop), list);
}

void TkvILCompiler::CompileVbFor(TkvXMLItem& stmt, TkvScript& scope, TkvStatement& list) {
  auto loop = NewStatement<TkvVbForStmt>(stmt, scope);
  loop->LoopVariable = CompileLoopVariable(Child(stmt, 0), scope);
  loop->BeginValue = CompileBound(Child(stmt, 1), *loop->LoopVariable, scope);
  loop->EndValue = CompileBound(Child(stmt, 2), *loop->LoopVariable, scope);
  int next = 3;
  if (next < stmt.Count() && IsElement(*stmt.Items(next), u"expr")) {
    loop->Step = CompileBound(*stmt.Items(next), *loop->LoopVariable, scope);
    ++next;
  }
  if (next < stmt.Count()) CompileLoopBody(*stmt.Items(next), scope, *loop);
  if (next + 1 < stmt.Count()) {
    Fail(*stmt.Items(next + 1), ilmsg::UnexpectedElement(stmt.Items(next + 1)->Name()));
  }
  Append(std::move(loop), list);
}

void TkvILCompiler::CompileCppFor(TkvXMLItem& stmt, TkvScript& scope, TkvStatement& list) {
  if (stmt.Count() != 4) Fail(stmt, ilmsg::IncompleteElement(stmt.Name()));
  auto loop = NewStatement<TkvCppForStmt>(stmt, scope);
  CompileNode(*stmt.Items(0), scope, *loop->FirstStatements);
  loop->Condition = CompileExpression(*stmt.Items(1), scope);
  CompileNode(*stmt.Items(2), scope, *loop->SecondStatements);
  CompileLoopBody(*stmt.Items(3), scope, *loop);
  Append(std::move(loop), list);
}

void TkvILCompiler::CompileWhile(TkvXMLItem& stmt, TkvScript& scope, TkvStatement& list) {
  auto loop = NewStatement<TkvWhileStmt>(stmt, scope);
  loop->Condition = CompileExpression(Child(stmt, 0), scope);
  if (stmt.Count() > 1) CompileLoopBody(*stmt.Items(1), scope, *loop);
  if (stmt.Count() > 2) Fail(*stmt.Items(2), ilmsg::UnexpectedElement(stmt.Items(2)->Name()));
  Append(std::move(loop), list);
}

// The body stands before the condition in the document and is compiled first.
void TkvILCompiler::CompileRepeat(TkvXMLItem& stmt, TkvScript& scope, TkvStatement& list) {
  auto loop = NewStatement<TkvRepeatStmt>(stmt, scope);
  int condition = stmt.Count() - 1;
  if (condition >= 0 && IsElement(*stmt.Items(condition), u"inverse")) {
    loop->Inverse = true;
    --condition;
  }
  if (condition < 0) Fail(stmt, ilmsg::IncompleteElement(stmt.Name()));
  for (int i = 0; i < condition; ++i) CompileLoopBody(*stmt.Items(i), scope, *loop);
  loop->Condition = CompileExpression(*stmt.Items(condition), scope);
  Append(std::move(loop), list);
}

void TkvILCompiler::CompileTry(TkvXMLItem& stmt, TkvScript& scope, TkvStatement& list) {
  auto guarded = NewStatement<TkvTryStmt>(stmt, scope);
  guarded->IsExcept = false;
  for (int i = 0; i < stmt.Count(); ++i) {
    TkvXMLItem& child = *stmt.Items(i);
    if (IsElement(child, u"exceptstmt")) {
      guarded->IsExcept = true;
      CompileChildren(child, scope, *guarded->HandlerStatements);
    } else if (IsElement(child, u"finallystmt")) {
      CompileChildren(child, scope, *guarded->HandlerStatements);
    } else {
      CompileNode(child, scope, *guarded);
    }
  }
  Append(std::move(guarded), list);
}

// `return e` is `Result := e` followed by an exit; the Result designator is inserted into
// the element itself.
void TkvILCompiler::CompileReturn(TkvXMLItem& stmt, TkvScript& scope, TkvStatement& list) {
  if (stmt.Count() == 1) {
    const UString pos = EncodeAttrValue(stmt.Items(0)->Prop(u"pos"));
    auto result = std::make_unique<TkvXMLItem>(u"dsgn", u"pos=\"" + pos + u"\"");
    result->Add(u"node", u"text=\"Result\" pos=\"" + pos + u"\"");
    stmt.InsertItem(0, result.release());
    CompileAssignment(stmt, scope, list);
  } else if (stmt.Count() > 1) {
    Fail(stmt, ilmsg::UnexpectedElement(stmt.Items(1)->Name()));
  }
  CompileFlowStatement<TkvExitStmt>(stmt, scope, list);
}

void TkvILCompiler::CompileDelete(TkvXMLItem& stmt, TkvScript& scope, TkvStatement& list) {
  auto call = NewStatement<TkvCallStmt>(stmt, scope);
  call->Designator = CompileDesignator(Child(stmt, 0), scope, TkvILParser::dmFree);
  Append(std::move(call), list);
}

UString TkvILCompiler::HiddenWithName(const TkvScript& scope) const {
  for (long long n = 0;; ++n) {
    UString name = IntToUStr(n);
    if (scope.FindLocalItem(name) != nullptr) continue;
    bool open = false;
    for (const auto& entry : p_.withList_) open = open || entry.first == name;
    if (!open) return name;
  }
}

// with A, B do S: one with statement per object, each storing the object in a hidden
// variable, then the statements of S in the same list; member names in S are compiled as
// paths through the hidden variables (CompileDesignator). A with statement whose body is
// empty (`with A do ;`) holds only designators.
void TkvILCompiler::CompileWith(TkvXMLItem& stmt, TkvScript& scope, TkvStatement& list) {
  const int count = stmt.Count();
  if (count == 0) Fail(stmt, ilmsg::IncompleteElement(stmt.Name()));
  const bool hasBody = !IsElement(*stmt.Items(count - 1), u"dsgn");
  const int objects = hasBody ? count - 1 : count;
  if (objects == 0) Fail(stmt, ilmsg::IncompleteElement(stmt.Name()));

  const size_t outerScopes = p_.withList_.size();
  Nesting nesting(*this, stmt, objects);
  for (int i = 0; i < objects; ++i) {
    std::unique_ptr<TkvDesignator> object =
        CompileDesignator(*stmt.Items(i), scope, TkvILParser::dmPlain);
    if (object->Kind != vkClass && object->Kind != vkVariant) Raise(ilmsg::ClassTypeRequired);
    const UString hidden = HiddenWithName(scope);
    auto variable = std::make_unique<TkvVariable>(hidden, object->TypeName, object->Kind);
    TkvVariable* variableItem = variable.get();
    scope.AddItem(variable.release());
    auto withStmt = NewStatement<TkvWithStmt>(stmt, scope);
    withStmt->Designator = std::move(object);
    withStmt->HiddenVariable = variableItem;
    TkvWithStmt* withItem = withStmt.get();
    list.AddItem(withStmt.release());
    p_.withList_.emplace_back(hidden, withItem);
  }
  if (hasBody) CompileNode(*stmt.Items(count - 1), scope, list);
  p_.withList_.resize(outerScopes);
  NoteLine(stmt.Prop(u"pos"));
}

}  // namespace kv
