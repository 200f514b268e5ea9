// Builds engine programs through the engine's public interfaces, so that tests read like the
// scripts they stand for:
//
//   ProgramBuilder p;
//   p.Int("x", 0);
//   p.Main({p.For("i", "1", "10", {p.Assign("x", "x + i")})});
//   p.Run();
//
// Expressions and designators are given as small PascalScript-like texts; the builder feeds
// them item by item to TkvExpression and TkvDesignator, the way the compiler does. Every
// item gets the position "1:<column>" of its token, so error positions can be asserted.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/kv_iexpression.h"
#include "engine/kv_iinterpreter.h"

namespace kv::test {

using Stmts = std::vector<TkvStatement*>;

struct ParamSpec {
  std::string name;
  std::string type = "Integer";
  bool isVar = false;
};

class ProgramBuilder {
 public:
  ProgramBuilder();
  ~ProgramBuilder();

  TkvScript& Script() { return *script_; }

  // Declarations, into the current scope (the main script, or a procedure's body while
  // it is being built).
  TkvVariable* Var(const std::string& name, TkvValueKind kind, const std::string& typeName,
                   const Variant& value);
  TkvVariable* Int(const std::string& name, int32_t value = 0);
  TkvVariable* Bool(const std::string& name, bool value = false);
  TkvVariable* Float(const std::string& name, double value = 0);
  TkvVariable* AnyVar(const std::string& name, const Variant& value = Variant::Null());
  TkvVariable* Object(const std::string& name, const std::string& className, int32_t handle);
  TkvstringVariable* Str(const std::string& name, const std::string& value = "");
  // An array variable of Variant with its own array helper (one index per dimension).
  TkvVariable* Array(const std::string& name, std::vector<ArrayBound> bounds);
  TkvClassVariable* Class(TClass* hostClass, const std::string& ancestor);
  // A host function with a C++ body, registered into the main script.
  TkvMethodHelper* Function(const std::string& declaration, TkvMethodCallback callback);
  // A script procedure; its body is built by `body` with the procedure's local script as
  // the scope (declare its locals inside `body` before building statements that use them).
  TkvProcVariable* Proc(const std::string& name, std::vector<ParamSpec> params,
                        const std::function<Stmts()>& body);
  TkvProcVariable* Func(const std::string& name, const std::string& resultType,
                        std::vector<ParamSpec> params, const std::function<Stmts()>& body);

  // Expressions and designators in the current scope.
  std::unique_ptr<TkvExpression> Expr(const std::string& text);
  // Builds and finishes; returns Finish's result.
  UString Check(const std::string& text, std::unique_ptr<TkvExpression>* out = nullptr);
  // Builds, finishes (failing the test on an error) and evaluates.
  Variant Eval(const std::string& text);
  std::unique_ptr<TkvDesignator> Designator(const std::string& text);

  // Statements in the current scope.
  TkvStatement* Assign(const std::string& target, const std::string& expr);
  // x := x op e as the compiler emits it: the fold decides the statement class.
  TkvStatement* AssignFolded(const std::string& target, const std::string& expr,
                             TkvOperatorKind* fold = nullptr);
  TkvStatement* Compound(char op, const std::string& target, const std::string& expr);
  TkvStatement* Call(const std::string& designator, const std::string& modifier = "");
  TkvStatement* If(const std::string& cond, Stmts then, Stmts otherwise = {});
  struct CaseBranch {
    std::vector<std::string> labels;  // "1", "3..5"
    Stmts body;
  };
  TkvStatement* Case(const std::string& selector, std::vector<CaseBranch> branches,
                     Stmts otherwise = {});
  TkvStatement* While(const std::string& cond, Stmts body);
  TkvStatement* Repeat(Stmts body, const std::string& until, bool inverse = false);
  TkvStatement* For(const std::string& var, const std::string& from, const std::string& to,
                    Stmts body, bool down = false);
  TkvStatement* VbFor(const std::string& var, const std::string& from, const std::string& to,
                      const std::string& step, Stmts body);
  TkvStatement* CppFor(Stmts first, const std::string& cond, Stmts second, Stmts body);
  TkvStatement* TryExcept(Stmts body, Stmts handler);
  TkvStatement* TryFinally(Stmts body, Stmts handler);
  TkvStatement* Break();
  TkvStatement* Continue();
  TkvStatement* Exit();
  // with <designator> do: the hidden variable is declared in the scope and returned.
  TkvStatement* With(const std::string& designator, TkvVariable** hidden);
  TkvStatement* Block(Stmts body);

  // The main program, then running it.
  void Main(Stmts body);
  void Run() { script_->Execute(); }

  // The value of a variable of the main script.
  Variant Value(const std::string& name);

 private:
  TkvScript* Scope() const { return scope_; }
  void Fill(TkvStatement* list, Stmts body);
  TkvProcVariable* MakeProc(const std::string& name, const std::string& resultType,
                            std::vector<ParamSpec> params, bool isFunction,
                            const std::function<Stmts()>& body);

  std::unique_ptr<TkvScript> script_;
  TkvScript* scope_;
  int line_ = 0;
};

// The shape of a finished tree: "minus(minus(a, b), c)", constants by value, designators by
// their first step's item name, sets as "[...]".
std::string Shape(const TkvExpressionNode* node);

std::string Utf8(const UString& s);
std::string Utf8(const Variant& v);

}  // namespace kv::test
