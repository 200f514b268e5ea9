// Interpreter hot paths, on programs built through the engine's interfaces the way the
// compiler builds them:
//   for i := 1 to N do x := x + i;        (time per pass)
//   function fib(n): if n < 2 then Result := n else Result := fib(n - 1) + fib(n - 2)
#include <benchmark/benchmark.h>

#include "engine/kv_iexpression.h"
#include "engine/kv_iinterpreter.h"

namespace kv {
namespace {

std::unique_ptr<TkvDesignator> PathTo(TkvScript& script, TkvCustomVariable* item) {
  auto general = std::make_unique<TkvDesignator>(&script);
  general->AddStep(item, u"1:1");
  general->Classify();
  if (general->FastPathKind != fpVariable) return general;
  auto fast = std::make_unique<TkvVariableDesignator>(&script);
  fast->TakeOver(*general);
  return fast;
}

TkvExpression* Finished(TkvExpression* e) {
  if (!e->Finish().empty()) throw std::logic_error("benchmark expression does not check");
  return e;
}

TkvExpression* Binary(TkvScript& script, TkvCustomVariable* left, const char16_t* op,
                      TkvCustomVariable* right) {
  auto* e = new TkvExpression;
  e->AddDesignator(PathTo(script, left));
  e->AddOperator(op);
  e->AddDesignator(PathTo(script, right));
  return Finished(e);
}

TkvExpression* Constant(const Variant& value) {
  auto* e = new TkvExpression;
  e->AddConstant(value);
  return Finished(e);
}

TkvAssignmentStmt* Assignment(TkvScript& script, TkvCustomVariable* target, TkvExpression* expr) {
  auto* s = new TkvAssignmentStmt(&script, u"2:1", u"");
  s->Designator = PathTo(script, target);
  s->Expression.reset(expr);
  s->Prepare();
  return s;
}

TkvVariable* IntVariable(TkvScript& script, const char16_t* name) {
  auto* v = new TkvVariable(name, u"Integer", vkInteger);
  v->Value = Variant(0);
  script.AddItem(v);
  return v;
}

struct Interpreter {
  Interpreter() { InitInterpreter(); }
  ~Interpreter() { DoneInterpreter(); }
};

void BM_ForLoopAddition(benchmark::State& state) {
  Interpreter interpreter;
  const int32_t passes = static_cast<int32_t>(state.range(0));
  TkvScript script;
  script.Parent = GlobalScript();
  TkvVariable* x = IntVariable(script, u"x");
  TkvVariable* i = IntVariable(script, u"i");
  auto* loop = new TkvForStmt(&script, u"1:1", u"");
  loop->LoopVariable = i;
  loop->BeginValue.reset(Constant(Variant(1)));
  loop->EndValue.reset(Constant(Variant(passes)));
  loop->AddItem(Assignment(script, x, Binary(script, x, u"+", i)));
  script.MainStatements()->AddItem(loop);
  for (auto _ : state) {
    x->Value = Variant(0);
    script.Execute();
    benchmark::DoNotOptimize(x->Value);
  }
  if (x->Value.ToInt() != static_cast<int32_t>(static_cast<int64_t>(passes) * (passes + 1) / 2)) {
    state.SkipWithError("wrong sum");
  }
  state.SetItemsProcessed(state.iterations() * passes);
  state.counters["ns_per_pass"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * passes,
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ForLoopAddition)->Arg(10'000'000)->Unit(benchmark::kMillisecond);

// fib(n - 1) + fib(n - 2) as one expression of two calls.
TkvExpression* FibCalls(TkvScript& local, TkvProcVariable* fib, TkvCustomVariable* n) {
  auto call = [&](int32_t minus) {
    auto d = std::make_unique<TkvDesignator>(&local);
    TkvDesignatorItem* step = d->AddStep(fib, u"3:1");
    auto* arg = new TkvExpression;
    arg->AddDesignator(PathTo(local, n));
    arg->AddOperator(u"-");
    arg->AddConstant(Variant(minus));
    step->AddItem(Finished(arg));
    d->Classify();
    return d;
  };
  auto* e = new TkvExpression;
  e->AddDesignator(call(1));
  e->AddOperator(u"+");
  e->AddDesignator(call(2));
  return Finished(e);
}

void BM_RecursiveFib(benchmark::State& state) {
  Interpreter interpreter;
  TkvScript script;
  script.Parent = GlobalScript();
  auto* fib = new TkvProcVariable(u"fib", u"Integer", vkInteger, true, &script);
  script.AddItem(fib);
  TkvScript& local = *fib->LocalScript;
  auto* n =
      new TkvParamItem(u"n", u"Integer", vkInteger, TkvPassing::ByValue, TkvPresence::Required);
  fib->AddItem(n);
  local.AddItem(n);
  TkvCustomVariable* result = fib->RefItem;

  auto* test = new TkvIfStmt(&local, u"2:1", u"");
  auto* condition = new TkvExpression;
  condition->AddDesignator(PathTo(local, n));
  condition->AddOperator(u"<");
  condition->AddConstant(Variant(2));
  test->Condition.reset(Finished(condition));
  auto* small = new TkvExpression;
  small->AddDesignator(PathTo(local, n));
  test->AddItem(Assignment(local, result, Finished(small)));
  test->ElseStatements->AddItem(Assignment(local, result, FibCalls(local, fib, n)));
  local.MainStatements()->AddItem(test);

  TkvVariable* r = IntVariable(script, u"r");
  auto top = std::make_unique<TkvDesignator>(&script);
  top->AddStep(fib, u"1:1")->AddItem(Constant(Variant(static_cast<int32_t>(state.range(0)))));
  top->Classify();
  script.MainStatements()->AddItem(Assignment(script, r, [&] {
    auto* e = new TkvExpression;
    e->AddDesignator(std::move(top));
    return Finished(e);
  }()));

  for (auto _ : state) {
    script.Execute();
    benchmark::DoNotOptimize(r->Value);
  }
  if (r->Value.ToInt() != 75025) state.SkipWithError("wrong fib(25)");
}
BENCHMARK(BM_RecursiveFib)->Arg(25)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kv

BENCHMARK_MAIN();
