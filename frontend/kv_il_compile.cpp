// The IL compiler: entry points, programs and declarations (variables, constants, routines
// and their parameters), and the helpers the other parts share.
#include <limits>
#include <utility>

#include "frontend/kv_il_compiler.h"
#include "frontend/kv_il_messages.h"
#include "host/core/exceptions.h"
#include "host/core/stack_budget.h"

namespace kv {

// ---------------------------------------------------------------------------------------
// Entry points of the parser

void TkvILParser::CompileIL() { TkvILCompiler(*this).CompileIL(); }

void TkvILParser::CompileAndReleaseIL() {
  releaseCompiled_ = true;
  TkvILCompiler(*this).CompileIL();  // stores errors rather than raising
  releaseCompiled_ = false;
}

std::unique_ptr<TkvExpression> TkvILParser::CompileExpression(TkvXMLItem& element,
                                                              TkvScript& scope) {
  return TkvILCompiler(*this).CompileExpression(element, scope);
}

std::unique_ptr<TkvSetExpression> TkvILParser::CompileSetConstructor(TkvXMLItem& element,
                                                                     TkvScript& scope) {
  return TkvILCompiler(*this).CompileSetConstructor(element, scope);
}

std::unique_ptr<TkvDesignator> TkvILParser::CompileDesignator(TkvXMLItem& element, TkvScript& scope,
                                                              TkvDesignatorMode mode) {
  return TkvILCompiler(*this).CompileDesignator(element, scope, mode);
}

std::unique_ptr<TkvDesignator> TkvILParser::CompileLateDesignator(TkvXMLItem& element,
                                                                  TkvScript& scope) {
  return TkvILCompiler(*this, /*late=*/true).CompileDesignator(element, scope, dmPlain);
}

TkvCustomVariable* TkvILParser::ResolveIdentifier(UStringView name, TkvScript& scope) {
  return TkvILCompiler(*this).ResolveIdentifier(name, scope);
}

// ---------------------------------------------------------------------------------------
// CompileIL

// Objects created before an error stay in the script; the unit name is not restored on the
// way out, so an error inside a used unit is reported with that unit's name.
void TkvILCompiler::CompileIL() {
  p_.withList_.clear();
  TkvScript* script = p_.script_;
  if (script == nullptr) return;
  script->ErrorUnitName.clear();
  p_.unitName_.clear();
  try {
    CompileProgram(*p_.ilDocument_.Root(), *script, *script->MainStatements());
    script->ErrorPosition.clear();
    p_.errorPosition_.clear();
  } catch (const Exception& e) {
    p_.StoreError(e.Message(), p_.currentPosition_.Text(), p_.unitName_);
  } catch (const std::exception& e) {
    p_.StoreError(ExceptionMessage(e), p_.currentPosition_.Text(), p_.unitName_);
  }
}

// ---------------------------------------------------------------------------------------
// Shared helpers

UStringView ElementName(const TkvXMLItem& element, UString& buffer) {
  const UString& name = element.Name();
  for (char16_t c : name) {
    if (LoCase(c) != c) {
      buffer = LowerCase(name);
      return buffer;
    }
  }
  return name;
}

bool IsElement(const TkvXMLItem& element, UStringView lowerName) {
  const UString& name = element.Name();
  if (name.size() != lowerName.size()) return false;
  if (name == lowerName) return true;  // the usual spelling
  for (std::size_t i = 0; i < name.size(); ++i)
    if (LoCase(name[i]) != lowerName[i]) return false;
  return true;
}

TkvILCompiler::Nesting::Nesting(TkvILCompiler& compiler, const TkvXMLItem& at, int units)
    : compiler_(compiler), units_(units) {
  if (units_ > kMaxNesting - compiler_.depth_ || !StackHasRoom(units_ * kStackPerUnit)) {
    units_ = 0;
    compiler_.Fail(at, ilmsg::NestingTooDeep);
  }
  compiler_.depth_ += units_;
}

void TkvILCompiler::SetPosition(const TkvXMLItem& element) { p_.currentPosition_.Assign(element); }

void TkvILCompiler::Raise(const UString& message) { throw Exception(message); }

void TkvILCompiler::Fail(const TkvXMLItem& element, const UString& message) {
  p_.currentPosition_.AssignIfPresent(element);
  Raise(message);
}

TkvXMLItem& TkvILCompiler::Child(TkvXMLItem& parent, int index) {
  if (index < 0 || index >= parent.Count()) Fail(parent, ilmsg::IncompleteElement(parent.Name()));
  return *parent.Items(index);
}

TkvXMLItem& TkvILCompiler::NamedChild(TkvXMLItem& parent, int index, UStringView lowerName) {
  TkvXMLItem& child = Child(parent, index);
  if (!IsElement(child, lowerName)) Fail(child, ilmsg::UnexpectedElement(child.Name()));
  return child;
}

UString TkvILCompiler::NameText(TkvXMLItem& element) {
  UString text = element.Prop(u"text");
  if (text.empty()) Fail(element, ilmsg::IncompleteElement(element.Name()));
  return text;
}

TkvClassVariable* TkvILCompiler::GlobalClass(UStringView name) {
  TkvScript* global = GlobalScript();
  return global != nullptr ? global->FindClass(name) : nullptr;
}

TkvClassVariable& TkvILCompiler::RequireGlobalClass(const UString& name) {
  TkvClassVariable* cls = GlobalClass(name);
  if (cls == nullptr) Raise(ilmsg::UnknownType(name));
  return *cls;
}

void TkvILCompiler::RaiseIncompatible(const TkvCustomVariable& target,
                                      const TkvCustomVariable& source) {
  Raise(ilmsg::IncompatibleTypes(TypeDisplayName(&target), TypeDisplayName(&source)));
}

void TkvILCompiler::CheckAssignable(const TkvCustomVariable& target,
                                    const TkvCustomVariable& source) {
  if (!AssignmentCompatible(&target, &source)) RaiseIncompatible(target, source);
}

// ---------------------------------------------------------------------------------------
// Programs and the node dispatcher

void TkvILCompiler::CompileProgram(TkvXMLItem& program, TkvScript& scope, TkvStatement& list) {
  Nesting nesting(*this, program, 1);
  const TkvXMLItem* const outer = p_.currentTypes_;
  // Looked up once: the aliases stand last, and every declaration resolves its type.
  const int typesIndex = program.Find(u"types");
  p_.currentTypes_ = typesIndex >= 0 ? program.Items(typesIndex) : nullptr;
  // Count() is read on every pass: a `return` inserts into its own element, never here,
  // but nothing below relies on the count staying put. Nothing looks back at an element
  // once it is compiled, so a released one is emptied at once.
  const bool release = p_.releaseCompiled_ && &program == p_.ilDocument_.Root();
  for (int i = 0; i < program.Count(); ++i) {
    TkvXMLItem& node = *program.Items(i);
    CompileNode(node, scope, list);
    if (release && &node != p_.currentTypes_) node.Clear();
  }
  p_.currentTypes_ = outer;
}

void TkvILCompiler::CompileChildren(TkvXMLItem& parent, TkvScript& scope, TkvStatement& list) {
  for (int i = 0; i < parent.Count(); ++i) CompileNode(*parent.Items(i), scope, list);
}

void TkvILCompiler::CompileNode(TkvXMLItem& node, TkvScript& scope, TkvStatement& list) {
  Nesting nesting(*this, node, 1);
  UString buffer;
  const UStringView name = ElementName(node, buffer);
  if (name == u"assignstmt") return CompileAssignment(node, scope, list);
  if (name == u"callstmt") return CompileCall(node, scope, list);
  if (name == u"ifstmt") return CompileIf(node, scope, list);
  if (name == u"casestmt") return CompileCase(node, scope, list);
  if (name == u"forstmt") return CompileFor(node, scope, list);
  if (name == u"vbforstmt") return CompileVbFor(node, scope, list);
  if (name == u"cppforstmt") return CompileCppFor(node, scope, list);
  if (name == u"whilestmt") return CompileWhile(node, scope, list);
  if (name == u"repeatstmt") return CompileRepeat(node, scope, list);
  if (name == u"trystmt") return CompileTry(node, scope, list);
  if (name == u"break") return CompileFlowStatement<TkvBreakStmt>(node, scope, list);
  if (name == u"continue") return CompileFlowStatement<TkvContinueStmt>(node, scope, list);
  if (name == u"exit") return CompileFlowStatement<TkvExitStmt>(node, scope, list);
  if (name == u"return") return CompileReturn(node, scope, list);
  if (name == u"with") return CompileWith(node, scope, list);
  if (name == u"delete") return CompileDelete(node, scope, list);
  if (name == u"compoundstmt") return CompileChildren(node, scope, list);
  if (name == u"uses") return CompileUses(node, scope, list);
  if (name == u"var") return CompileVarDeclaration(node, scope, list);
  if (name == u"const") return CompileConstDeclaration(node, scope);
  if (name == u"procedure" || name == u"function") return CompileRoutine(node, scope);
  // The parts of a routine element that the routine declaration itself reads, and the
  // grammar's type aliases.
  if (name == u"types" || name == u"name" || name == u"type" || name == u"parameters") return;
  Fail(node, ilmsg::UnexpectedElement(node.Name()));
}

// The unit's declarations join the script, its main statements the script's main list
// (ahead of the program's own, since `uses` blocks come first).
void TkvILCompiler::CompileUses(TkvXMLItem& uses, TkvScript& scope, TkvStatement& list) {
  const UString outer = p_.unitName_;
  p_.unitName_ = uses.Prop(u"unit");
  for (int i = 0; i < uses.Count(); ++i) {
    TkvXMLItem& program = *uses.Items(i);
    if (!IsElement(program, u"program")) Fail(program, ilmsg::UnexpectedElement(program.Name()));
    CompileProgram(program, scope, list);
  }
  p_.unitName_ = outer;
}

// ---------------------------------------------------------------------------------------
// Declarations

void TkvILCompiler::CheckRedeclared(const TkvScript& scope, const UString& name) {
  if (scope.FindLocalItem(name) != nullptr) Raise(ilmsg::IdentifierRedeclared(name));
}

// Aliases stand only in program elements (the grammar's `types` copy), so they apply to
// declarations at program and unit level; inside a routine the lookup finds none.
TkvValueKind TkvILCompiler::ResolveType(UString& typeName) {
  if (const TkvXMLItem* types = p_.currentTypes_) {
    const int alias = types->Find(typeName);
    if (alias >= 0) typeName = types->Items(alias)->Prop(u"type");
  }
  const TkvValueKind kind = TypeKindOf(typeName);
  if (kind == vkClass && GlobalClass(typeName) == nullptr) Raise(ilmsg::UnknownType(typeName));
  return kind;
}

namespace {

Variant InitialValueOf(TkvValueKind kind) {
  switch (kind) {
    case vkBoolean:
      return Variant(false);
    case vkChar:
    case vkString:
      return Variant(UString());
    case vkInteger:
    case vkFloat:
    case vkClass:
      return Variant(0);
    default:
      return Variant::Null();
  }
}

// One index parameter per dimension, all required.
std::unique_ptr<TkvArrayHelper> NewArrayHelper(const UString& typeName, TkvValueKind kind,
                                               size_t dimensions) {
  auto helper = std::make_unique<TkvArrayHelper>(UString(), typeName, kind);
  for (size_t i = 0; i < dimensions; ++i) {
    helper->AddItem(new TkvParamItem(UString(), u"Integer", vkInteger, TkvPassing::ByValue,
                                     TkvPresence::Required));
  }
  return helper;
}

}  // namespace

void TkvILCompiler::CompileVarDeclaration(TkvXMLItem& group, TkvScript& scope, TkvStatement& list) {
  for (int i = 0; i < group.Count(); ++i) {
    TkvXMLItem& child = *group.Items(i);
    if (!IsElement(child, u"ident")) continue;
    SetPosition(child);
    CheckRedeclared(scope, NameText(child));
    DeclaredVariable declared = CreateVariable(group, i, scope, false, false, true);
    scope.AddItem(declared.item.release());
    // Initial values are not noted as code lines: the declaration holds no statement.
    if (declared.initialisation) list.AddItem(declared.initialisation.release());
  }
}

// The `array` and `init` children belong to the last `ident` before them: in
// `var a, b: Integer = 5` only b is initialised.
TkvILCompiler::DeclaredVariable TkvILCompiler::CreateVariable(TkvXMLItem& group, int identIndex,
                                                              TkvScript& scope, bool asParameter,
                                                              bool byReference,
                                                              bool withStatement) {
  const UString name = NameText(*group.Items(identIndex));

  UString typeName = u"Variant";
  const int typeIndex = group.Find(u"type");
  if (typeIndex >= 0) {
    TkvXMLItem& type = *group.Items(typeIndex);
    SetPosition(type);
    typeName = type.Prop(u"text");
  }
  const TkvValueKind kind = ResolveType(typeName);
  Variant initial = InitialValueOf(kind);

  TkvXMLItem* array = nullptr;
  TkvXMLItem* init = nullptr;
  for (int i = identIndex + 1; i < group.Count(); ++i) {
    TkvXMLItem& child = *group.Items(i);
    if (IsElement(child, u"ident")) break;
    if (array == nullptr && IsElement(child, u"array")) array = &child;
    if (init == nullptr && IsElement(child, u"init")) init = &child;
  }

  TkvArrayHelper* helper = nullptr;
  if (array != nullptr) {
    SetPosition(*array);
    const std::vector<ArrayBound> bounds = CompileDimensions(*array, scope);
    initial = Variant::Array(bounds);
    std::unique_ptr<TkvArrayHelper> owned = NewArrayHelper(typeName, kind, bounds.size());
    helper = owned.get();
    scope.AddItem(owned.release());
  }
  if (init != nullptr && !withStatement) {
    initial = EvaluateInitialValue(*init, typeName, kind, scope);
  }

  // An array variable is a plain variable whatever its element type: the string fast path
  // must never take an array for a string.
  const TkvValueKind itemKind = helper != nullptr ? vkArray : kind;
  DeclaredVariable declared;
  if (asParameter) {
    declared.item = std::make_unique<TkvParamItem>(
        name, typeName, itemKind, byReference ? TkvPassing::ByVar : TkvPassing::ByValue,
        init != nullptr ? TkvPresence::Optional : TkvPresence::Required);
  } else if (helper == nullptr && (kind == vkChar || kind == vkString)) {
    declared.item = std::make_unique<TkvstringVariable>(name, typeName, kind);
  } else {
    declared.item = std::make_unique<TkvVariable>(name, typeName, itemKind);
  }
  declared.item->SetValue(initial);
  declared.item->RefItem = helper;

  if (init != nullptr && withStatement) {
    declared.initialisation = CompileInitialisation(group, *init, *declared.item, scope);
  }
  return declared;
}

// The initialisation runs as a statement, in declaration order, each time the list runs (at
// program start for program-level variables, at every call for local ones).
std::unique_ptr<TkvStatement> TkvILCompiler::CompileInitialisation(TkvXMLItem& group,
                                                                   TkvXMLItem& init,
                                                                   TkvCustomVariable& variable,
                                                                   TkvScript& scope) {
  const UString pos = group.Prop(u"pos");
  std::unique_ptr<TkvExpression> expr = CompileExpression(Child(init, 0), scope);
  auto target = std::make_unique<TkvVariableDesignator>(&scope);
  target->AddStep(&variable, pos);
  target->Classify();
  CheckAssignable(variable, *expr);
  auto stmt = std::make_unique<TkvAssignmentStmt>(&scope, pos, p_.unitName_);
  stmt->Designator = std::move(target);
  stmt->Expression = std::move(expr);
  stmt->Prepare();
  return stmt;
}

// The types are checked before the value is computed, so a mismatch is reported as such
// rather than as whatever computing the value might raise.
Variant TkvILCompiler::EvaluateInitialValue(TkvXMLItem& init, const UString& typeName,
                                            TkvValueKind kind, TkvScript& scope) {
  TkvVariable target(UString(), typeName, kind);
  std::unique_ptr<TkvExpression> expr = CompileExpression(Child(init, 0), scope);
  CheckAssignable(target, *expr);
  return expr->GetValue();
}

std::vector<ArrayBound> TkvILCompiler::CompileDimensions(TkvXMLItem& array, TkvScript& scope) {
  std::vector<ArrayBound> bounds;
  for (int i = 0; i < array.Count(); ++i) {
    TkvXMLItem& dim = *array.Items(i);
    if (!IsElement(dim, u"dim")) Fail(dim, ilmsg::UnexpectedElement(dim.Name()));
    const int32_t first = CompileExpression(NamedChild(dim, 0, u"expr"), scope)->GetValue().ToInt();
    ArrayBound bound;
    if (dim.Count() > 1) {
      bound.low = first;
      bound.high = CompileExpression(NamedChild(dim, 1, u"expr"), scope)->GetValue().ToInt();
    } else {
      // A size: bounds 0 .. size - 1. A size below zero gives bounds the array refuses.
      bound.low = 0;
      bound.high = first > std::numeric_limits<int32_t>::min() ? first - 1 : -2;
    }
    bounds.push_back(bound);
  }
  if (bounds.empty()) Fail(array, ilmsg::IncompleteElement(array.Name()));
  return bounds;
}

void TkvILCompiler::CompileConstDeclaration(TkvXMLItem& decl, TkvScript& scope) {
  TkvXMLItem& ident = Child(decl, 0);
  SetPosition(ident);
  const UString name = NameText(ident);
  CheckRedeclared(scope, name);
  TkvXMLItem& value = Child(decl, 1);
  SetPosition(value);
  std::unique_ptr<TkvExpression> expr = CompileExpression(value, scope);
  auto constant = std::make_unique<TkvVariable>(name, expr->TypeName, expr->Kind);
  constant->SetValue(expr->GetValue());
  constant->ReadOnly = true;
  scope.AddItem(constant.release());
}

void TkvILCompiler::CompileRoutine(TkvXMLItem& routine, TkvScript& scope) {
  const bool isFunction = IsElement(routine, u"function");
  UString name;
  UString typeName;
  TkvValueKind kind = vkInteger;
  bool returnsValue = false;
  if (!isFunction) {
    TkvXMLItem& nameItem = Child(routine, 0);
    SetPosition(nameItem);
    name = NameText(nameItem);
    CheckRedeclared(scope, name);
  } else {
    bool typed = false;
    for (int i = 0; i < routine.Count(); ++i) {
      TkvXMLItem& child = *routine.Items(i);
      if (IsElement(child, u"name")) {
        SetPosition(child);
        name = NameText(child);
        CheckRedeclared(scope, name);
      } else if (IsElement(child, u"type")) {
        SetPosition(child);
        typeName = NameText(child);
        typed = true;
        // A function "returning" void is a procedure: it has no Result and no result type.
        returnsValue = !SameText(typeName, u"void");
        if (returnsValue) {
          kind = ResolveType(typeName);
        } else {
          typeName.clear();
          kind = vkInteger;
        }
      }
    }
    if (name.empty() || !typed) Fail(routine, ilmsg::IncompleteElement(routine.Name()));
  }

  auto owned = std::make_unique<TkvProcVariable>(name, typeName, kind, returnsValue, &scope);
  TkvProcVariable& proc = *owned;
  proc.Place = ParsePlace(routine.Prop(u"pos"));
  scope.AddItem(owned.release());

  for (int i = 0; i < routine.Count(); ++i) {
    TkvXMLItem& child = *routine.Items(i);
    if (IsElement(child, u"parameters")) CompileParameters(child, proc);
  }
  CompileProgram(routine, *proc.LocalScript, *proc.LocalScript->MainStatements());
}

void TkvILCompiler::CompileParameters(TkvXMLItem& parameters, TkvProcVariable& routine) {
  bool byReference = false;
  for (int i = 0; i < parameters.Count(); ++i) {
    TkvXMLItem& child = *parameters.Items(i);
    if (IsElement(child, u"varparams")) {
      byReference = true;
    } else if (IsElement(child, u"var")) {
      CompileParameterGroup(child, routine, byReference);
      byReference = false;
    } else {
      Fail(child, ilmsg::UnexpectedElement(child.Name()));
    }
  }
}

// A parameter is both a child of the routine (argument binding) and an item of its local
// script (look-up in the body); the routine owns it.
void TkvILCompiler::CompileParameterGroup(TkvXMLItem& group, TkvProcVariable& routine,
                                          bool byReference) {
  TkvScript& local = *routine.LocalScript;
  bool nextByReference = false;
  for (int i = 0; i < group.Count(); ++i) {
    TkvXMLItem& child = *group.Items(i);
    if (IsElement(child, u"varparam")) {
      nextByReference = true;
      continue;
    }
    if (!IsElement(child, u"ident")) continue;
    SetPosition(child);
    CheckRedeclared(local, NameText(child));
    DeclaredVariable declared =
        CreateVariable(group, i, local, true, byReference || nextByReference, false);
    nextByReference = false;
    auto* param = static_cast<TkvParamItem*>(declared.item.release());
    param->DefaultValue = param->GetValue();
    routine.AddItem(param);
    local.AddItem(param);
  }
}

}  // namespace kv
