// Designators: classification into fast paths, argument binding and var write-back,
// recursion, member helpers, the string and array fast paths, deferred compilation, and set
// constructors.
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

#include "engine/kv_iconst.h"
#include "host/core/exceptions.h"
#include "host/core/strings.h"
#include "tests/engine/program_builder.h"

namespace kv::test {
namespace {

TEST(Designator, ClassifiesFastPaths) {
  ProgramBuilder p;
  p.Int("i");
  p.Str("s", "abc");
  p.Array("m", {{1, 2}, {1, 3}});
  p.AnyVar("any");
  p.Func("f", "Integer", {{"n"}}, [] { return Stmts{}; });
  const struct {
    const char* text;
    TkvFastPath kind;
    TkvValueKind valueKind;
  } cases[] = {
      {"i", fpVariable, vkInteger},     {"s", fpVariable, vkString},
      {"s[2]", fpStringChar, vkChar},   {"m[1, 2]", fpArrayElement, vkVariant},
      {"any[1]", fpGeneral, vkVariant}, {"f(1)", fpProcedureCall, vkInteger},
  };
  for (const auto& c : cases) {
    auto d = p.Designator(c.text);
    EXPECT_EQ(d->FastPathKind, c.kind) << c.text;
    EXPECT_EQ(d->Kind, c.valueKind) << c.text;
  }
  auto constant = p.Designator("True");
  EXPECT_TRUE(constant->ReadOnly);
}

TEST(Designator, ConstructorPathTakesTheClassOfTheStepBefore) {
  ProgramBuilder p;
  TkvClassVariable* cls = p.Class(TStringList::StaticClass(), "TStrings");
  cls->DefineConstructor(u"constructor Create",
                         [](int32_t, TClass*, const UString&, TkvParams&) { return Variant(0); });
  auto d = p.Designator("TStringList.Create");
  EXPECT_EQ(d->Kind, vkClass);
  EXPECT_EQ(d->TypeName, u"TStringList");
  EXPECT_EQ(d->FastPathKind, fpGeneral);
}

TEST(Designator, VarParametersWriteBack) {
  ProgramBuilder p;
  p.Int("a", 1);
  p.Int("b", 2);
  p.Proc("Swap", {{"x", "Integer", true}, {"y", "Integer", true}}, [&] {
    p.Int("t");
    return Stmts{p.Assign("t", "x"), p.Assign("x", "y"), p.Assign("y", "t")};
  });
  p.Main({p.Call("Swap(a, b)")});
  p.Run();
  EXPECT_EQ(p.Value("a").ToInt(), 2);
  EXPECT_EQ(p.Value("b").ToInt(), 1);
}

TEST(Designator, VarArgumentThatIsNotWritableIsLeftAlone) {
  ProgramBuilder p;
  p.Int("a", 5);
  p.Proc("Bump", {{"x", "Integer", true}}, [&] { return Stmts{p.Assign("x", "x + 1")}; });
  p.Main({p.Call("Bump(a + 0)"), p.Call("Bump(a)")});
  p.Run();
  EXPECT_EQ(p.Value("a").ToInt(), 6);
}

TEST(Designator, HostVarParametersReachTheScriptVariable) {
  ProgramBuilder p;
  p.Int("n", 1);
  p.Function("procedure Twice(var x: Integer)",
             [](int32_t, TClass*, const UString&, TkvParams& params) {
               params[0] = Variant(params[0].ToInt() * 2);
               return Variant::Null();
             });
  p.Main({p.Call("Twice(n)"), p.Call("Twice(n)")});
  p.Run();
  EXPECT_EQ(p.Value("n").ToInt(), 4);
}

int Fib(int n) { return n < 2 ? n : Fib(n - 1) + Fib(n - 2); }

TEST(Designator, RecursiveFunctionsGetTheirLocalsBack) {
  ProgramBuilder p;
  p.Int("r");
  p.Func("fib", "Integer", {{"n"}}, [&] {
    return Stmts{
        p.If("n < 2", {p.Assign("Result", "n")}, {p.Assign("Result", "fib(n - 1) + fib(n - 2)")})};
  });
  // sum(n) keeps n in a local across the inner call.
  p.Func("sum", "Integer", {{"n"}}, [&] {
    p.Int("keep");
    return Stmts{p.Assign("keep", "n"), p.Assign("Result", "0"),
                 p.If("n > 0", {p.Assign("Result", "sum(n - 1) + keep")})};
  });
  p.Int("s");
  p.Main({p.Assign("r", "fib(15)"), p.Assign("s", "sum(10)")});
  p.Run();
  EXPECT_EQ(p.Value("r").ToInt(), Fib(15));
  EXPECT_EQ(p.Value("s").ToInt(), 55);
}

int Alternate(int a, int b) { return a <= 0 ? b : Alternate(b - 1, a); }

TEST(Designator, RecursiveArgumentsReadTheCallersParameters) {
  ProgramBuilder p;
  p.Int("r");
  // Binding a before evaluating the second argument would make both arguments b - 1.
  p.Func("alt", "Integer", {{"a"}, {"b"}}, [&] {
    return Stmts{p.If("a <= 0", {p.Assign("Result", "b")}, {p.Assign("Result", "alt(b - 1, a)")})};
  });
  p.Main({p.Assign("r", "alt(3, 10)")});
  p.Run();
  EXPECT_EQ(p.Value("r").ToInt(), Alternate(3, 10));
}

TEST(Designator, RecursiveVarResultsLandInTheCallersLocals) {
  ProgramBuilder p;
  p.Int("r", -1);
  // depth(n, acc): acc := depth of recursion below, counted through a local of the caller.
  p.Proc("depth", {{"n"}, {"acc", "Integer", true}}, [&] {
    p.Int("t");
    return Stmts{p.If("n > 0",
                      {p.Assign("t", "0"), p.Call("depth(n - 1, t)"), p.Assign("acc", "t + 1")},
                      {p.Assign("acc", "0")})};
  });
  p.Main({p.Call("depth(5, r)")});
  p.Run();
  EXPECT_EQ(p.Value("r").ToInt(), 5);
}

TEST(Designator, ACaughtFailureOfARecursiveCallLeavesTheCallersLocals) {
  ProgramBuilder p;
  p.Int("r");
  p.Function("procedure Fail", [](int32_t, TClass*, const UString&, TkvParams&) -> Variant {
    throw Exception(u"deep");
  });
  // dive(n): at 0 fails; each level catches its callee's failure and reports its own n.
  p.Func("dive", "Integer", {{"n"}}, [&] {
    return Stmts{p.Assign("Result", "n"), p.If("n = 0", {p.Call("Fail")}),
                 p.TryExcept({p.Assign("Result", "dive(n - 1)")}, {p.Assign("Result", "n * 100")})};
  });
  p.Main({p.Assign("r", "dive(3)")});
  p.Run();
  EXPECT_EQ(p.Value("r").ToInt(), 100);  // dive(1) caught dive(0)'s failure with its own n
}

// An argument that calls the same item again binds the same parameter items; the outer
// call must still see its own arguments.
TEST(Designator, NestedCallsOfTheSameItemKeepTheOuterArguments) {
  ProgramBuilder p;
  p.Function("function Pair(a, b: Integer): Integer",
             [](int32_t, TClass*, const UString&, TkvParams& params) {
               return Variant(params[0].ToInt() * 100 + params[1].ToInt());
             });
  p.Func("pair", "Integer", {{"a"}, {"b"}},
         [&] { return Stmts{p.Assign("Result", "a * 100 + b")}; });
  p.Array("m", {{1, 2}, {1, 2}});
  for (const char* name : {"host", "script", "element"}) p.Int(name);
  p.Main({p.Assign("host", "Pair(2, Pair(3, 4))"), p.Assign("script", "pair(2, pair(3, 4))"),
          p.Assign("m[1, 1]", "1"), p.Assign("m[2, 1]", "21"),
          p.Assign("element", "m[2, m[1, 1]]")});
  p.Run();
  EXPECT_EQ(p.Value("host").ToInt(), 2 * 100 + 304);
  EXPECT_EQ(p.Value("script").ToInt(), 2 * 100 + 304);
  EXPECT_EQ(p.Value("element").ToInt(), 21);
}

TEST(Designator, CallStatementTellsTheFunctionItsResultIsUnused) {
  ProgramBuilder p;
  std::vector<bool> seen;
  TkvMethodHelper* probe = nullptr;
  probe = p.Function("function Probe: Integer", [&](int32_t, TClass*, const UString&, TkvParams&) {
    seen.push_back(probe->NeedResult);
    return Variant(1);
  });
  p.Int("x");
  p.Main({p.Call("Probe"), p.Assign("x", "Probe + 1"), p.Call("Probe")});
  p.Run();
  EXPECT_EQ(seen, (std::vector<bool>{false, true, false}));
}

TEST(Designator, MemberStepsGetTheInstanceOfTheStepBefore) {
  ProgramBuilder p;
  TkvClassVariable* cls = p.Class(TStringList::StaticClass(), "TStrings");
  int32_t gotInstance = -1;
  Variant stored;
  cls->DefineProperty(
      u"Tag", u"Integer",
      [&](int32_t instance, TClass*, const UString&) {
        gotInstance = instance;
        return Variant(7);
      },
      [&](int32_t instance, TClass*, const UString&, const Variant& value) {
        gotInstance = instance;
        stored = value;
      });
  TStringList list;
  p.Object("o", "TStringList", list.Handle());
  p.Int("x");
  p.Main({p.Assign("x", "o.Tag"), p.Assign("o.Tag", "x + 1")});
  p.Run();
  EXPECT_EQ(gotInstance, list.Handle());
  EXPECT_EQ(p.Value("x").ToInt(), 7);
  EXPECT_EQ(stored.ToInt(), 8);
}

TEST(Designator, StringCharacterFastPathWritesInPlace) {
  ProgramBuilder p;
  p.Str("s", "abcde");
  p.Str("t");
  p.Str("c");
  p.Main({p.Assign("t", "s"), p.Assign("s[3]", "'z'"), p.Assign("c", "s[2]"),
          p.Assign("s[1]", "'XY'")});
  p.Run();
  EXPECT_EQ(p.Value("s").ToString(), u"Xbzde");
  EXPECT_EQ(p.Value("t").ToString(), u"abcde");
  EXPECT_EQ(p.Value("c").ToString(), u"b");
}

TEST(Designator, StringCharacterIndexAndValueAreChecked) {
  ProgramBuilder p;
  p.Str("s", "abc");
  p.Str("empty", "");
  p.Int("i");
  for (int index : {0, 4, -1}) {
    auto d = p.Designator("s[i]");
    p.Script().FindItem(u"i")->Value = Variant(index);
    try {
      d->GetValue();
      ADD_FAILURE() << index;
    } catch (const ERangeError& e) {
      EXPECT_EQ(e.Message(), FormatMessage(msg::StringIndexOutOfRange, IntToUStr(index)));
    }
    EXPECT_THROW(d->SetValue(Variant(u"q")), ERangeError);
  }
  auto d = p.Designator("s[1]");
  EXPECT_THROW(d->SetValue(Variant(u"")), EConvertError);
  EXPECT_EQ(p.Value("s").ToString(), u"abc");
  EXPECT_THROW(p.Designator("empty[1]")->GetValue(), ERangeError);
}

TEST(Designator, ArrayElementFastPathReadsAndWritesInPlace) {
  ProgramBuilder p;
  p.Array("m", {{1, 2}, {1, 3}});
  p.Int("x");
  p.Main({p.Assign("m[1, 2]", "7"), p.Assign("m[2, 3]", "m[1, 2] * 2"), p.Assign("x", "m[2, 3]")});
  p.Run();
  EXPECT_EQ(p.Value("x").ToInt(), 14);
  const Variant m = p.Value("m");
  const int32_t at12[] = {1, 2};
  const int32_t at11[] = {1, 1};
  EXPECT_EQ(m.Element(at12, 2).ToInt(), 7);
  EXPECT_TRUE(m.Element(at11, 2).IsEmpty());
  EXPECT_THROW(p.Designator("m[3, 1]")->GetValue(), Exception);
}

// A front end that compiles deferred code into a path to a named variable.
class FakeFrontEnd : public TkvFrontEnd {
 public:
  struct Code : TkvDeferredCode {
    std::string name;
  };
  void Compile(TkvScript&) override {}
  std::unique_ptr<TkvDesignator> CompileDeferred(TkvScript& script,
                                                 TkvDeferredCode& code) override {
    ++calls;
    const std::string& name = static_cast<Code&>(code).name;
    TkvCustomVariable* item = script.FindItem(U(name));
    if (item == nullptr) throw Exception(U("Unknown identifier " + name));
    auto d = std::make_unique<TkvDesignator>(&script);
    d->AddStep(item, u"1:1");
    d->Classify();
    return d;
  }
  int calls = 0;
};

class DeferredTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = FrontEnd();
    SetFrontEnd(&frontEnd_);
  }
  void TearDown() override { SetFrontEnd(previous_); }

  std::unique_ptr<TkvDesignator> Deferred(const std::string& name) {
    auto d = std::make_unique<TkvDesignator>(&p.Script());
    auto code = std::make_unique<FakeFrontEnd::Code>();
    code->name = name;
    d->Deferred = std::move(code);
    return d;
  }

  ProgramBuilder p;
  FakeFrontEnd frontEnd_;

 private:
  TkvFrontEnd* previous_ = nullptr;
};

TEST_F(DeferredTest, CompilesAtFirstUseOnly) {
  p.Int("x", 3);
  auto d = Deferred("x");
  EXPECT_EQ(d->GetValue().ToInt(), 3);
  d->SetValue(Variant(9));
  EXPECT_EQ(p.Value("x").ToInt(), 9);
  EXPECT_EQ(frontEnd_.calls, 1);
  EXPECT_EQ(d->FastPathKind, fpVariable);
  EXPECT_EQ(d->Deferred, nullptr);
}

TEST_F(DeferredTest, FailureRaisesAtEveryUseUntilTheCodeCompiles) {
  auto d = Deferred("late");
  EXPECT_THROW(d->GetValue(), Exception);
  EXPECT_THROW(d->SetValue(Variant(1)), Exception);
  EXPECT_NE(d->Deferred, nullptr);
  p.Int("late", 4);
  EXPECT_EQ(d->GetValue().ToInt(), 4);
  EXPECT_EQ(frontEnd_.calls, 3);
  EXPECT_EQ(d->Deferred, nullptr);
}

TEST(SetExpression, ValueListsItemsWithZeroForRangeMarks) {
  ProgramBuilder p;
  auto e = p.Expr("[1, 3..5, 'x']");
  ASSERT_TRUE(e->Finish().empty());
  const Variant value = e->GetValue();
  ASSERT_TRUE(value.IsArray());
  EXPECT_EQ(value.ArrayBoundOf(1).low, 0);
  EXPECT_EQ(value.ArrayBoundOf(1).high, 4);
  std::string text;
  for (int32_t i = 0; i <= 4; ++i) text += Utf8(value.Element(&i, 1)) + ",";
  EXPECT_EQ(text, "1,3,0,5,x,");
}

TEST(SetExpression, ContainsTestsRangesWithTheHostComparison) {
  ProgramBuilder p;
  TkvSetExpression set;
  auto constant = [&](const Variant& v) {
    auto e = std::make_unique<TkvExpression>();
    e->AddConstant(v);
    e->Finish();
    return e.release();
  };
  set.AddElement(constant(Variant(u"b")));
  set.AddElement(nullptr);
  set.AddElement(constant(Variant(u"d")));
  set.AddElement(constant(Variant::Null()));
  EXPECT_TRUE(set.Contains(Variant(u"c")));
  EXPECT_TRUE(set.Contains(Variant(u"d")));
  EXPECT_FALSE(set.Contains(Variant(u"dd")));
  EXPECT_FALSE(set.Contains(Variant(u"a")));
  EXPECT_TRUE(set.Contains(Variant::Null()));
  TkvSetExpression empty;
  EXPECT_FALSE(empty.Contains(Variant(1)));
}

}  // namespace
}  // namespace kv::test
