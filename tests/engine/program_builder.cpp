#include "tests/engine/program_builder.h"

#include <gtest/gtest.h>

#include <cctype>
#include <stdexcept>

#include "engine/kv_itools.h"

namespace kv::test {

namespace {

// The interpreter's process-wide objects, made once for the whole test binary.
class InterpreterEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { InitInterpreter(); }
  void TearDown() override { DoneInterpreter(); }
};

[[maybe_unused]] ::testing::Environment* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new InterpreterEnvironment);

// ---------------------------------------------------------------------------------------
// Tokens of the little expression language

struct Token {
  enum Kind { Ident, Int, Float, Str, Sym, End } kind = End;
  std::string text;
  int col = 0;
};

std::vector<Token> Tokenize(const std::string& text) {
  std::vector<Token> tokens;
  size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    const int col = static_cast<int>(i) + 1;
    if (std::isspace(static_cast<unsigned char>(c))) {
      ++i;
    } else if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
      size_t j = i;
      while (j < text.size() &&
             (std::isalnum(static_cast<unsigned char>(text[j])) || text[j] == '_'))
        ++j;
      tokens.push_back({Token::Ident, text.substr(i, j - i), col});
      i = j;
    } else if (std::isdigit(static_cast<unsigned char>(c))) {
      size_t j = i;
      while (j < text.size() && std::isdigit(static_cast<unsigned char>(text[j]))) ++j;
      Token::Kind kind = Token::Int;
      if (j + 1 < text.size() && text[j] == '.' &&
          std::isdigit(static_cast<unsigned char>(text[j + 1]))) {
        kind = Token::Float;
        ++j;
        while (j < text.size() && std::isdigit(static_cast<unsigned char>(text[j]))) ++j;
      }
      tokens.push_back({kind, text.substr(i, j - i), col});
      i = j;
    } else if (c == '\'') {
      std::string value;
      size_t j = i + 1;
      for (;;) {
        if (j >= text.size()) throw std::runtime_error("unterminated string in: " + text);
        if (text[j] == '\'') {
          if (j + 1 < text.size() && text[j + 1] == '\'') {
            value += '\'';
            j += 2;
            continue;
          }
          ++j;
          break;
        }
        value += text[j++];
      }
      tokens.push_back({Token::Str, value, col});
      i = j;
    } else {
      static const char* const kPairs[] = {"<=", ">=", "<>", ".."};
      std::string sym(1, c);
      for (const char* pair : kPairs) {
        if (text.compare(i, 2, pair) == 0) sym = pair;
      }
      tokens.push_back({Token::Sym, sym, col});
      i += sym.size();
    }
  }
  tokens.push_back({Token::End, "", static_cast<int>(text.size()) + 1});
  return tokens;
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

bool IsOperatorWord(const std::string& lower) {
  static const char* const kWords[] = {"div", "mod", "and", "or",  "xor",   "shl",
                                       "shr", "in",  "is",  "not", "strcat"};
  for (const char* word : kWords) {
    if (lower == word) return true;
  }
  return false;
}

UString Position(const Token& t) { return U("1:" + std::to_string(t.col)); }

// Feeds the tokens to TkvExpression and TkvDesignator the way the compiler feeds IL items.
class Builder {
 public:
  Builder(TkvScript* scope, const std::string& text) : scope_(scope), tokens_(Tokenize(text)) {}

  bool AtEnd() const { return Peek().kind == Token::End; }

  // Top level: everything up to the end, ")" included (unmatched ones are the
  // expression's business). Nested: stops before ",", "]", ".." or an unmatched ")".
  std::unique_ptr<TkvExpression> Expression(bool nested) {
    auto e = std::make_unique<TkvExpression>();
    int depth = 0;
    bool expectOperand = true;
    while (!AtEnd()) {
      const Token& t = Peek();
      if (nested && t.kind == Token::Sym &&
          (t.text == "," || t.text == "]" || t.text == ".." || (t.text == ")" && depth == 0))) {
        break;
      }
      e->Place = ParsePlace(Position(t));
      switch (t.kind) {
        case Token::Ident: {
          const std::string lower = Lower(t.text);
          if (IsOperatorWord(lower)) {
            e->AddOperator(U(lower));
            ++pos_;
            expectOperand = true;
          } else {
            e->AddDesignator(Designator());
            expectOperand = false;
          }
          break;
        }
        case Token::Int:
          e->AddConstant(Variant(static_cast<int32_t>(std::stol(t.text))));
          ++pos_;
          expectOperand = false;
          break;
        case Token::Float:
          e->AddConstant(Variant(std::stod(t.text)));
          ++pos_;
          expectOperand = false;
          break;
        case Token::Str:
          e->AddConstant(Variant(U(t.text)));
          ++pos_;
          expectOperand = false;
          break;
        case Token::Sym:
          if (t.text == "[" && expectOperand) {
            ++pos_;
            e->AddSetConstructor(SetConstructor());
            expectOperand = false;
          } else if (t.text == "-" && expectOperand) {
            e->AddOperator(u"unminus");
            ++pos_;
          } else {
            if (t.text == "(") ++depth;
            if (t.text == ")") --depth;
            expectOperand = t.text != ")";
            e->AddOperator(U(t.text));
            ++pos_;
          }
          break;
        case Token::End:
          break;
      }
    }
    return e;
  }

  std::unique_ptr<TkvDesignator> Designator() {
    const Token name = Take();
    TkvCustomVariable* item = scope_->FindItem(U(name.text));
    if (item == nullptr) throw std::runtime_error("unknown name " + name.text);
    auto d = std::make_unique<TkvDesignator>(scope_);
    TkvDesignatorItem* step = d->AddStep(item, Position(name));
    Arguments(*step, *item, "(", ")");
    for (;;) {
      if (IsSym("[")) {
        TkvCustomVariable* helper = nullptr;
        if (dynamic_cast<TkvstringVariable*>(item) != nullptr) {
          helper = scope_->FindItem(u"__StringHelper");
        } else if (item->RefItem != nullptr) {
          helper = item->RefItem;
        } else {
          helper = scope_->FindItem(u"__ArrayHelper");
        }
        step = d->AddStep(helper, Position(Peek()));
        Arguments(*step, *helper, "[", "]");
        item = helper;
      } else if (IsSym(".")) {
        ++pos_;
        const Token member = Take();
        TkvClassVariable* cls = scope_->FindClass(item->TypeName);
        if (cls == nullptr) throw std::runtime_error("no class for member " + member.text);
        TkvCustomVariable* found = cls->FindMember(U(member.text));
        if (found == nullptr) throw std::runtime_error("no member " + member.text);
        step = d->AddStep(found, Position(member));
        Arguments(*step, *found, "(", ")");
        item = found;
      } else {
        break;
      }
    }
    d->Classify();
    return Specialize(std::move(d));
  }

 private:
  const Token& Peek() const { return tokens_[pos_]; }
  Token Take() { return tokens_[pos_++]; }
  bool IsSym(const char* s) const { return Peek().kind == Token::Sym && Peek().text == s; }

  static std::unique_ptr<TkvExpression> Finished(std::unique_ptr<TkvExpression> e) {
    const UString error = e->Finish();
    EXPECT_TRUE(error.empty()) << "argument fails to check at " << Utf8(error);
    return e;
  }

  // The argument list in brackets when present; the parameters left over get their
  // defaults, as the compiler fills them.
  void Arguments(TkvDesignatorItem& step, TkvCustomVariable& callee, const char* open,
                 const char* close) {
    if (IsSym(open)) {
      ++pos_;
      while (!IsSym(close)) {
        step.AddItem(Finished(Expression(true)).release());
        if (IsSym(",")) ++pos_;
        if (AtEnd()) throw std::runtime_error("missing " + std::string(close));
      }
      ++pos_;
    }
    for (int i = step.ItemCount(); i < callee.ItemCount(); ++i) {
      auto e = std::make_unique<TkvExpression>();
      e->AddConstant(callee.ParamAt(i)->DefaultValue);
      step.AddItem(Finished(std::move(e)).release());
    }
  }

  std::unique_ptr<TkvSetExpression> SetConstructor() {
    auto set = std::make_unique<TkvSetExpression>();
    while (!IsSym("]")) {
      set->AddElement(Finished(Expression(true)).release());
      if (IsSym("..")) {
        ++pos_;
        set->AddElement(nullptr);
        set->AddElement(Finished(Expression(true)).release());
      }
      if (IsSym(",")) ++pos_;
      if (AtEnd()) throw std::runtime_error("missing ]");
    }
    ++pos_;
    return set;
  }

  // As the compiler does: the classified path moves into the class of its fast path.
  std::unique_ptr<TkvDesignator> Specialize(std::unique_ptr<TkvDesignator> d) {
    std::unique_ptr<TkvDesignator> fast;
    switch (d->FastPathKind) {
      case fpVariable:
        fast = std::make_unique<TkvVariableDesignator>(scope_);
        break;
      case fpStringChar:
        fast = std::make_unique<TkvStringDesignator>(scope_);
        break;
      case fpArrayElement:
        fast = std::make_unique<TkvArrayDesignator>(scope_);
        break;
      default:
        return d;
    }
    fast->TakeOver(*d);
    return fast;
  }

  TkvScript* scope_;
  std::vector<Token> tokens_;
  size_t pos_ = 0;
};

const char* OperatorName(const TkvOperatorNode& node) {
  switch (node.OperatorKind) {
    case okNone:
      return "none";
    case okGreat:
      return "great";
    case okLess:
      return "less";
    case okLessEq:
      return "lesseq";
    case okGreatEq:
      return "greateq";
    case okNonEq:
      return "noneq";
    case okEq:
      return "equal";
    case okPlus:
      return "plus";
    case okMinus:
      return "minus";
    case okOr:
      return "or";
    case okXor:
      return "xor";
    case okMul:
      return "times";
    case okDivFloat:
      return "divide";
    case okDivInt:
      return "div";
    case okMod:
      return "mod";
    case okAnd:
      return "and";
    case okShl:
      return "shl";
    case okShr:
      return "shr";
    case okLeftBracket:
      return "(";
    case okRightBracket:
      return ")";
    case okNot:
      return "not";
    case okUnMinus:
      return "unminus";
    case okIn:
      return "in";
    case okIs:
      return "is";
    case okStrCat:
      return "strcat";
  }
  return "?";
}

}  // namespace

std::string Utf8(const UString& s) { return ToUtf8(s); }

std::string Utf8(const Variant& v) {
  if (v.IsNull()) return "Null";
  if (v.IsEmpty()) return "Empty";
  return ToUtf8(v.ToString());
}

std::string Shape(const TkvExpressionNode* node) {
  if (node == nullptr) return "_";
  if (const auto* d = dynamic_cast<const TkvDesignatorNode*>(node)) {
    return d->FirstStepRef() != nullptr ? Utf8(d->FirstStepRef()->Name) : "?";
  }
  if (dynamic_cast<const TkvSetNode*>(node) != nullptr) return "[...]";
  const auto* op = dynamic_cast<const TkvOperatorNode*>(node);
  if (op == nullptr) {
    return node->Value.IsString() ? "'" + Utf8(node->Value) + "'" : Utf8(node->Value);
  }
  std::string text = std::string(OperatorName(*op)) + "(" + Shape(op->Left.get());
  if (op->Right != nullptr) text += ", " + Shape(op->Right.get());
  return text + ")";
}

// ---------------------------------------------------------------------------------------
// ProgramBuilder

ProgramBuilder::ProgramBuilder() : script_(std::make_unique<TkvScript>()), scope_(script_.get()) {
  script_->Parent = GlobalScript();
}

ProgramBuilder::~ProgramBuilder() = default;

TkvVariable* ProgramBuilder::Var(const std::string& name, TkvValueKind kind,
                                 const std::string& typeName, const Variant& value) {
  auto* v = new TkvVariable(U(name), U(typeName), kind);
  v->Value = value;
  Scope()->AddItem(v);
  return v;
}

TkvVariable* ProgramBuilder::Int(const std::string& name, int32_t value) {
  return Var(name, vkInteger, "Integer", Variant(value));
}

TkvVariable* ProgramBuilder::Bool(const std::string& name, bool value) {
  return Var(name, vkBoolean, "Boolean", Variant(value));
}

TkvVariable* ProgramBuilder::Float(const std::string& name, double value) {
  return Var(name, vkFloat, "Extended", Variant(value));
}

TkvVariable* ProgramBuilder::AnyVar(const std::string& name, const Variant& value) {
  return Var(name, vkVariant, "Variant", value);
}

TkvVariable* ProgramBuilder::Object(const std::string& name, const std::string& className,
                                    int32_t handle) {
  return Var(name, vkClass, className, Variant(handle));
}

TkvstringVariable* ProgramBuilder::Str(const std::string& name, const std::string& value) {
  auto* v = new TkvstringVariable(U(name), u"String", vkString);
  v->SetValue(Variant(U(value)));
  Scope()->AddItem(v);
  return v;
}

TkvVariable* ProgramBuilder::Array(const std::string& name, std::vector<ArrayBound> bounds) {
  auto* helper = new TkvArrayHelper(UString(), u"Variant", vkVariant);
  for (size_t i = 0; i < bounds.size(); ++i) {
    helper->AddItem(new TkvParamItem(UString(), u"Integer", vkInteger, TkvPassing::ByValue,
                                     TkvPresence::Required));
  }
  Scope()->AddItem(helper);
  TkvVariable* array = Var(name, vkArray, "Array", Variant::Array(bounds));
  array->RefItem = helper;
  return array;
}

TkvClassVariable* ProgramBuilder::Class(TClass* hostClass, const std::string& ancestor) {
  auto* cls = new TkvClassVariable(hostClass, U(ancestor));
  Scope()->AddItem(cls);
  return cls;
}

TkvMethodHelper* ProgramBuilder::Function(const std::string& declaration,
                                          TkvMethodCallback callback) {
  return Scope()->DefineFunction(U(declaration), std::move(callback));
}

TkvProcVariable* ProgramBuilder::MakeProc(const std::string& name, const std::string& resultType,
                                          std::vector<ParamSpec> params, bool isFunction,
                                          const std::function<Stmts()>& body) {
  const TkvValueKind kind = isFunction ? TypeKindOf(U(resultType)) : vkClass;
  auto* proc = new TkvProcVariable(U(name), U(resultType), kind, isFunction, Scope());
  Scope()->AddItem(proc);
  for (const ParamSpec& spec : params) {
    auto* param = new TkvParamItem(U(spec.name), U(spec.type), TypeKindOf(U(spec.type)),
                                   spec.isVar ? TkvPassing::ByVar : TkvPassing::ByValue,
                                   TkvPresence::Required);
    proc->AddItem(param);
    proc->LocalScript->AddItem(param);
  }
  TkvScript* outer = scope_;
  scope_ = proc->LocalScript.get();
  Fill(proc->LocalScript->MainStatements(), body());
  scope_ = outer;
  return proc;
}

TkvProcVariable* ProgramBuilder::Proc(const std::string& name, std::vector<ParamSpec> params,
                                      const std::function<Stmts()>& body) {
  return MakeProc(name, "", std::move(params), false, body);
}

TkvProcVariable* ProgramBuilder::Func(const std::string& name, const std::string& resultType,
                                      std::vector<ParamSpec> params,
                                      const std::function<Stmts()>& body) {
  return MakeProc(name, resultType, std::move(params), true, body);
}

std::unique_ptr<TkvExpression> ProgramBuilder::Expr(const std::string& text) {
  return Builder(Scope(), text).Expression(false);
}

UString ProgramBuilder::Check(const std::string& text, std::unique_ptr<TkvExpression>* out) {
  auto e = Expr(text);
  UString result = e->Finish();
  if (out != nullptr) *out = std::move(e);
  return result;
}

Variant ProgramBuilder::Eval(const std::string& text) {
  auto e = Expr(text);
  const UString error = e->Finish();
  EXPECT_TRUE(error.empty()) << text << ": " << Utf8(e->FinishError()) << " at " << Utf8(error);
  return e->GetValue();
}

std::unique_ptr<TkvDesignator> ProgramBuilder::Designator(const std::string& text) {
  Builder builder(Scope(), text);
  auto d = builder.Designator();
  if (!builder.AtEnd()) throw std::runtime_error("trailing text in designator " + text);
  return d;
}

namespace {

TkvCustomExpression* FinishedExpression(std::unique_ptr<TkvExpression> e, const std::string& text) {
  const UString error = e->Finish();
  EXPECT_TRUE(error.empty()) << text << ": " << Utf8(e->FinishError()) << " at " << Utf8(error);
  return e.release();
}

}  // namespace

#define KV_POS U(std::to_string(++line_) + ":1")

TkvStatement* ProgramBuilder::Assign(const std::string& target, const std::string& expr) {
  auto* s = new TkvAssignmentStmt(Scope(), KV_POS, UString());
  s->Designator = Designator(target);
  s->Expression.reset(FinishedExpression(Expr(expr), expr));
  s->Prepare();
  return s;
}

TkvStatement* ProgramBuilder::AssignFolded(const std::string& target, const std::string& expr,
                                           TkvOperatorKind* fold) {
  auto designator = Designator(target);
  auto e = Expr(expr);
  const UString error = e->Finish();
  EXPECT_TRUE(error.empty()) << expr;
  const TkvOperatorKind op = e->FoldSelfAssignment(designator.get());
  if (fold != nullptr) *fold = op;
  TkvAssignmentStmt* s = NewAssignment(op, Scope(), KV_POS, UString()).release();
  s->Designator = std::move(designator);
  s->Expression = std::move(e);
  s->Prepare();
  return s;
}

TkvStatement* ProgramBuilder::Compound(char op, const std::string& target,
                                       const std::string& expr) {
  TkvAssignmentStmt* s;
  switch (op) {
    case '+':
      s = new TkvAssignPlusStmt(Scope(), KV_POS, UString());
      break;
    case '-':
      s = new TkvAssignMinusStmt(Scope(), KV_POS, UString());
      break;
    case '*':
      s = new TkvAssignMulStmt(Scope(), KV_POS, UString());
      break;
    default:
      s = new TkvAssignDivStmt(Scope(), KV_POS, UString());
      break;
  }
  s->Designator = Designator(target);
  s->Expression.reset(FinishedExpression(Expr(expr), expr));
  s->Prepare();
  return s;
}

TkvStatement* ProgramBuilder::Call(const std::string& designator, const std::string& modifier) {
  auto* s = new TkvCallStmt(Scope(), KV_POS, UString());
  s->Designator = Designator(designator);
  s->Modifier = U(modifier);
  return s;
}

void ProgramBuilder::Fill(TkvStatement* list, Stmts body) {
  for (TkvStatement* stmt : body) list->AddItem(stmt);
}

TkvStatement* ProgramBuilder::If(const std::string& cond, Stmts then, Stmts otherwise) {
  auto* s = new TkvIfStmt(Scope(), KV_POS, UString());
  s->Condition.reset(FinishedExpression(Expr(cond), cond));
  Fill(s, std::move(then));
  Fill(s->ElseStatements.get(), std::move(otherwise));
  return s;
}

TkvStatement* ProgramBuilder::Case(const std::string& selector, std::vector<CaseBranch> branches,
                                   Stmts otherwise) {
  auto* s = new TkvCaseStmt(Scope(), KV_POS, UString());
  s->Selector.reset(FinishedExpression(Expr(selector), selector));
  for (CaseBranch& branch : branches) {
    auto* sel = new TkvCaseSelector(Scope(), KV_POS, UString());
    for (const std::string& label : branch.labels) {
      const size_t dots = label.find("..");
      if (dots == std::string::npos) {
        sel->Set->AddElement(FinishedExpression(Expr(label), label));
      } else {
        const std::string low = label.substr(0, dots);
        const std::string high = label.substr(dots + 2);
        sel->Set->AddElement(FinishedExpression(Expr(low), low));
        sel->Set->AddElement(nullptr);
        sel->Set->AddElement(FinishedExpression(Expr(high), high));
      }
    }
    Fill(sel, std::move(branch.body));
    s->AddItem(sel);
  }
  Fill(s->ElseStatements.get(), std::move(otherwise));
  return s;
}

TkvStatement* ProgramBuilder::While(const std::string& cond, Stmts body) {
  auto* s = new TkvWhileStmt(Scope(), KV_POS, UString());
  s->Condition.reset(FinishedExpression(Expr(cond), cond));
  Fill(s, std::move(body));
  return s;
}

TkvStatement* ProgramBuilder::Repeat(Stmts body, const std::string& until, bool inverse) {
  auto* s = new TkvRepeatStmt(Scope(), KV_POS, UString());
  Fill(s, std::move(body));
  s->Condition.reset(FinishedExpression(Expr(until), until));
  s->Inverse = inverse;
  return s;
}

TkvStatement* ProgramBuilder::For(const std::string& var, const std::string& from,
                                  const std::string& to, Stmts body, bool down) {
  auto* s = new TkvForStmt(Scope(), KV_POS, UString());
  s->LoopVariable = Scope()->FindItem(U(var));
  s->BeginValue.reset(FinishedExpression(Expr(from), from));
  s->EndValue.reset(FinishedExpression(Expr(to), to));
  s->Down = down;
  Fill(s, std::move(body));
  return s;
}

TkvStatement* ProgramBuilder::VbFor(const std::string& var, const std::string& from,
                                    const std::string& to, const std::string& step, Stmts body) {
  auto* s = new TkvVbForStmt(Scope(), KV_POS, UString());
  s->LoopVariable = Scope()->FindItem(U(var));
  s->BeginValue.reset(FinishedExpression(Expr(from), from));
  s->EndValue.reset(FinishedExpression(Expr(to), to));
  if (!step.empty()) s->Step.reset(FinishedExpression(Expr(step), step));
  Fill(s, std::move(body));
  return s;
}

TkvStatement* ProgramBuilder::CppFor(Stmts first, const std::string& cond, Stmts second,
                                     Stmts body) {
  auto* s = new TkvCppForStmt(Scope(), KV_POS, UString());
  Fill(s->FirstStatements.get(), std::move(first));
  if (!cond.empty()) s->Condition.reset(FinishedExpression(Expr(cond), cond));
  Fill(s->SecondStatements.get(), std::move(second));
  Fill(s, std::move(body));
  return s;
}

TkvStatement* ProgramBuilder::TryExcept(Stmts body, Stmts handler) {
  auto* s = new TkvTryStmt(Scope(), KV_POS, UString());
  s->IsExcept = true;
  Fill(s, std::move(body));
  Fill(s->HandlerStatements.get(), std::move(handler));
  return s;
}

TkvStatement* ProgramBuilder::TryFinally(Stmts body, Stmts handler) {
  auto* s = new TkvTryStmt(Scope(), KV_POS, UString());
  s->IsExcept = false;
  Fill(s, std::move(body));
  Fill(s->HandlerStatements.get(), std::move(handler));
  return s;
}

TkvStatement* ProgramBuilder::Break() { return new TkvBreakStmt(Scope(), KV_POS, UString()); }

TkvStatement* ProgramBuilder::Continue() { return new TkvContinueStmt(Scope(), KV_POS, UString()); }

TkvStatement* ProgramBuilder::Exit() { return new TkvExitStmt(Scope(), KV_POS, UString()); }

TkvStatement* ProgramBuilder::With(const std::string& designator, TkvVariable** hidden) {
  auto* s = new TkvWithStmt(Scope(), KV_POS, UString());
  s->Designator = Designator(designator);
  auto* h = new TkvVariable(U("__with" + std::to_string(line_)), s->Designator->TypeName,
                            s->Designator->Kind);
  Scope()->AddItem(h);
  s->HiddenVariable = h;
  if (hidden != nullptr) *hidden = h;
  return s;
}

TkvStatement* ProgramBuilder::Block(Stmts body) {
  auto* s = new TkvStatement(Scope(), KV_POS, UString());
  Fill(s, std::move(body));
  return s;
}

#undef KV_POS

void ProgramBuilder::Main(Stmts body) { Fill(script_->MainStatements(), std::move(body)); }

Variant ProgramBuilder::Value(const std::string& name) {
  TkvCustomVariable* item = script_->FindItem(U(name));
  if (item == nullptr) throw std::runtime_error("unknown variable " + name);
  return item->GetValue();
}

}  // namespace kv::test
