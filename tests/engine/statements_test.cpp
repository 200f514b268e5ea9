// Statements: each class's execution, how break, continue and exit travel, try semantics,
// the per-statement hook, and for-loop bounds.
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/core/exceptions.h"
#include "host/core/strings.h"
#include "tests/engine/program_builder.h"

namespace kv::test {
namespace {

// A program with Log(v) recording what it is given, and a few variables.
class StatementTest : public ::testing::Test {
 protected:
  StatementTest() {
    p.Function("procedure Log(v: Variant)",
               [this](int32_t, TClass*, const UString&, TkvParams& params) {
                 log.push_back(Utf8(params[0]));
                 return Variant::Null();
               });
    p.Function("procedure Boom", [](int32_t, TClass*, const UString&, TkvParams&) -> Variant {
      throw EConvertError(u"boom");
    });
    p.Function("procedure StdBoom", [](int32_t, TClass*, const UString&, TkvParams&) -> Variant {
      throw std::out_of_range("std boom");
    });
    for (const char* name : {"i", "j", "n", "c"}) p.Int(name, 0);
  }

  std::string Log() const {
    std::string text;
    for (const std::string& entry : log) text += (text.empty() ? "" : " ") + entry;
    return text;
  }

  ProgramBuilder p;
  std::vector<std::string> log;
};

TEST_F(StatementTest, ForLoopBounds) {
  const struct {
    const char* from;
    const char* to;
    bool down;
    const char* passes;
    int after;
  } cases[] = {
      {"1", "3", false, "1 2 3", 3},
      {"3", "1", true, "3 2 1", 1},
      {"1", "0", false, "", 99},  // no pass leaves the variable alone
      {"0", "1", true, "", 99},
      {"5", "5", false, "5", 5},
      {"2147483646", "2147483647", false, "2147483646 2147483647", 2147483647},
      {"2.5", "4.5", false, "2 3 4", 4},  // bounds round half to even
  };
  for (const auto& c : cases) {
    ProgramBuilder q;
    std::vector<std::string> seen;
    q.Function("procedure Log(v: Variant)", [&](int32_t, TClass*, const UString&, TkvParams& a) {
      seen.push_back(Utf8(a[0]));
      return Variant::Null();
    });
    q.Int("i", 99);
    q.Main({q.For("i", c.from, c.to, {q.Call("Log(i)")}, c.down)});
    q.Run();
    std::string text;
    for (const std::string& s : seen) text += (text.empty() ? "" : " ") + s;
    EXPECT_EQ(text, c.passes) << c.from << (c.down ? " downto " : " to ") << c.to;
    EXPECT_EQ(q.Value("i").ToInt(), c.after) << c.from << " to " << c.to;
  }
}

TEST_F(StatementTest, ForLoopPassCountIsFixedAtTheStart) {
  p.Main({p.Assign("n", "3"),
          p.For("i", "1", "n", {p.Assign("n", "10"), p.Call("Log(i)"), p.Assign("i", "i + 5")})});
  p.Run();
  EXPECT_EQ(Log(), "1 2 3");
  EXPECT_EQ(p.Value("i").ToInt(), 8);  // the body's change after the last pass stays
}

TEST_F(StatementTest, BreakLeavesOnlyTheInnerLoop) {
  p.Main({p.For("i", "1", "3",
                {p.For("j", "1", "3", {p.If("j = 2", {p.Break()}), p.Call("Log(i * 10 + j)")}),
                 p.Call("Log(i)")})});
  p.Run();
  EXPECT_EQ(Log(), "11 1 21 2 31 3");
  EXPECT_FALSE(p.Script().BreakRequested);
}

TEST_F(StatementTest, ContinueSkipsTheRestOfThePass) {
  p.Main({p.For("i", "1", "4", {p.If("i mod 2 = 0", {p.Continue()}), p.Call("Log(i)")}),
          p.Assign("i", "0"),
          p.While("i < 4",
                  {p.Assign("i", "i + 1"), p.If("i = 2", {p.Continue()}), p.Call("Log(i * 10)")})});
  p.Run();
  EXPECT_EQ(Log(), "1 3 10 30 40");
  EXPECT_FALSE(p.Script().ContinueRequested);
}

TEST_F(StatementTest, ContinueInRepeatStillTestsTheCondition) {
  p.Main({p.Repeat({p.Assign("i", "i + 1"), p.Continue(), p.Call("Log(i)")}, "i >= 3")});
  p.Run();
  EXPECT_EQ(p.Value("i").ToInt(), 3);
  EXPECT_EQ(Log(), "");
}

TEST_F(StatementTest, RepeatAndItsInverseForm) {
  p.Main({p.Repeat({p.Call("Log(i)"), p.Assign("i", "i + 1")}, "i = 2"),
          p.Repeat({p.Call("Log(i)"), p.Assign("i", "i + 1")}, "i < 4", true),
          p.Repeat({p.Call("Log(i)"), p.Assign("i", "i + 1")}, "i > 100", true)});
  p.Run();
  EXPECT_EQ(Log(), "0 1 2 3 4");
}

TEST_F(StatementTest, ExitInAProcedureReturnsToTheCaller) {
  p.Proc("P", {}, [&] { return Stmts{p.Call("Log(1)"), p.Exit(), p.Call("Log(2)")}; });
  p.Main({p.Call("P"), p.Call("Log(3)")});
  p.Run();
  EXPECT_EQ(Log(), "1 3");
}

TEST_F(StatementTest, ExitInMainEndsTheRunAndTheNextRunIsNormal) {
  p.Main({p.Call("Log(1)"), p.While("True", {p.For("i", "1", "3", {p.If("i = 2", {p.Exit()})})}),
          p.Call("Log(2)")});
  p.Run();
  EXPECT_EQ(Log(), "1");
  EXPECT_EQ(p.Value("i").ToInt(), 2);
  EXPECT_FALSE(p.Script().ExitRequested);
  p.Run();
  EXPECT_EQ(Log(), "1 1");
}

TEST_F(StatementTest, ExitLeavesLoopsInsideAProcedureToo) {
  p.Proc("P", {}, [&] {
    return Stmts{p.Repeat({p.While("True", {p.Exit()})}, "False"), p.Call("Log(9)")};
  });
  p.Main({p.Call("P"), p.Call("Log(1)")});
  p.Run();
  EXPECT_EQ(Log(), "1");
}

TEST_F(StatementTest, IfAndCaseChooseTheirBranch) {
  for (int value : {1, 2, 4, 5, 6, 9}) {
    log.clear();
    p.Script().FindItem(u"n")->Value = Variant(value);
    p.Script().MainStatements()->Clear();
    p.Main(
        {p.Case("n", {{{"1", "3..5"}, {p.Call("Log('low')")}}, {{"5..9"}, {p.Call("Log('high')")}}},
                {p.Call("Log('else')")}),
         p.If("n > 4", {p.Call("Log('big')")}, {p.Call("Log('small')")})});
    p.Run();
    const char* expected = value == 1 || (value >= 3 && value <= 5)
                               ? (value > 4 ? "low big" : "low small")
                               : (value >= 5 ? "high big" : "else small");
    EXPECT_EQ(Log(), expected) << value;
  }
}

TEST_F(StatementTest, TryExceptSwallowsEveryException) {
  p.Main(
      {p.TryExcept({p.Call("Log(1)"), p.Call("Boom"), p.Call("Log(2)")}, {p.Call("Log('caught')")}),
       p.TryExcept({p.Call("StdBoom")}, {p.Call("Log('std')")}),
       p.TryExcept({p.Assign("i", "1 div 0")}, {p.Call("Log('div')")}),
       p.TryExcept({p.Call("Log(3)")}, {p.Call("Log('never')")}), p.Call("Log('after')")});
  p.Run();
  EXPECT_EQ(Log(), "1 caught std div 3 after");
}

TEST_F(StatementTest, TryFinallyRunsTheHandlerAndReRaises) {
  p.Main({p.TryFinally({p.Call("Log(1)"), p.Call("Boom"), p.Call("Log(2)")},
                       {p.Call("Log('finally')")}),
          p.Call("Log('after')")});
  try {
    p.Run();
    ADD_FAILURE() << "no exception reached the caller";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), u"boom");
  }
  EXPECT_EQ(Log(), "1 finally");
  EXPECT_FALSE(p.Script().Running);
}

TEST_F(StatementTest, ExceptionInTheFinallyHandlerReplacesTheFirst) {
  p.Main({p.TryFinally({p.Call("StdBoom")}, {p.Call("Boom")})});
  EXPECT_THROW(p.Run(), EConvertError);
}

TEST_F(StatementTest, ControlFlagsInsideTryFinally) {
  p.Proc("P", {}, [&] {
    return Stmts{p.TryFinally({p.Exit()}, {p.Call("Log('cleanup')")}),
                 p.Call("Log('not reached')")};
  });
  p.Main({p.Call("P"),
          p.For("i", "1", "2",
                {p.TryFinally({p.Break()}, {p.Call("Log('first')"), p.Call("Log('second')")})}),
          p.Call("Log(i)")});
  p.Run();
  EXPECT_EQ(Log(), "cleanup first second 1");
}

TEST_F(StatementTest, WithEvaluatesItsObjectOnce) {
  TkvClassVariable* cls = p.Class(TStringList::StaticClass(), "TStrings");
  TStringList first;
  TStringList second;
  int32_t captionOf = 0;
  cls->DefineProperty(
      u"Caption", u"String", nullptr,
      [&](int32_t instance, TClass*, const UString&, const Variant&) { captionOf = instance; });
  p.Object("A", "TStringList", first.Handle());
  p.Object("B", "TStringList", second.Handle());
  TkvVariable* hidden = nullptr;
  TkvStatement* with = p.With("A", &hidden);
  const std::string member = Utf8(hidden->Name) + ".Caption";
  p.Main({with, p.Assign("A", "B"), p.Assign(member, "'x'")});
  p.Run();
  EXPECT_EQ(captionOf, first.Handle());
  EXPECT_EQ(hidden->Value.ToInt(), first.Handle());
}

TEST_F(StatementTest, CompoundAssignmentsUseVariantArithmetic) {
  p.Str("s", "a");
  p.Int("k", 3);
  p.AnyVar("v", Variant(2147483647));
  p.Main({p.Compound('+', "s", "'b'"), p.Compound('/', "k", "2"), p.Compound('-', "i", "5"),
          p.Compound('*', "j", "4"), p.Compound('+', "v", "1")});
  p.Script().FindItem(u"j")->Value = Variant(3);
  p.Run();
  EXPECT_EQ(p.Value("s").ToString(), u"ab");
  EXPECT_EQ(p.Value("k").ToDouble(), 1.5);
  EXPECT_EQ(p.Value("i").ToInt(), -5);
  EXPECT_EQ(p.Value("j").ToInt(), 12);
  EXPECT_EQ(p.Value("v").ToDouble(), 2147483648.0);
}

TEST_F(StatementTest, FoldedAndPlainAssignmentsGiveTheSameResults) {
  p.Int("big", 2147483647);
  p.Int("wrapped", 2147483647);
  p.Str("s", "mid");
  TkvOperatorKind fold = okNone;
  TkvStatement* folded = p.AssignFolded("big", "big + 1", &fold);
  EXPECT_EQ(fold, okPlus);
  p.Main({folded, p.AssignFolded("wrapped", "wrapped + 1 + 0"), p.AssignFolded("s", "'pre' + s"),
          p.AssignFolded("s", "s + 'post'"), p.Assign("n", "10"), p.AssignFolded("n", "n - 4"),
          p.AssignFolded("n", "2 * n")});
  p.Run();
  // Two Integers wrap around in 32 bits, folded or not.
  EXPECT_EQ(p.Value("big").Type(), varInteger);
  EXPECT_EQ(p.Value("big").ToInt(), -2147483647 - 1);
  EXPECT_EQ(p.Value("wrapped").ToInt(), -2147483647 - 1);
  EXPECT_EQ(p.Value("s").ToString(), u"premidpost");
  EXPECT_EQ(p.Value("n").ToInt(), 12);
}

// s := s + a + b ... appends to s's own buffer; the result, a conversion on the way and a
// failure that leaves s as it was are those of the expression evaluated as a whole.
TEST_F(StatementTest, AppendingToAStringKeepsTheExpressionsResults) {
  p.Str("s", "ab");
  p.Str("t", "");
  p.AnyVar("v", Variant(5));
  p.Main({p.Assign("s", "s + 'c' + 'd'"), p.Call("Log(s)"),
          p.TryExcept({p.Assign("s", "s + 'e' + v")}, {p.Call("Log(s)")}),
          p.Assign("t", "t + '1' + v"), p.Call("Log(t)"), p.Assign("t", "t + t + 'x'"),
          p.Call("Log(t)")});
  p.Run();
  EXPECT_EQ(Log(), "abcd abcd 6 66x");
}

TEST_F(StatementTest, CallModifiersIncrementAndDecrement) {
  p.Main({p.Call("i", "+"), p.Call("i", "+"), p.Call("j", "-"), p.Call("n", "?")});
  p.Run();
  EXPECT_EQ(p.Value("i").ToInt(), 2);
  EXPECT_EQ(p.Value("j").ToInt(), -1);
  EXPECT_EQ(p.Value("n").ToInt(), 0);
}

TEST_F(StatementTest, SteppedForLoops) {
  p.Main({p.VbFor("i", "10", "1", "-2", {p.Call("Log(i)")}),
          p.VbFor("j", "1", "3", "", {p.Call("Log(j)")}),
          p.VbFor("n", "0", "5", "0",
                  {p.Call("Log('zero')"), p.If("c = 2", {p.Break()}), p.Assign("c", "c + 1")}),
          p.VbFor("i", "1", "2", "0.5", {p.Call("Log(i)")})});
  p.Run();
  EXPECT_EQ(Log(), "10 8 6 4 2 1 2 3 zero zero zero 1 1.5 2");
}

TEST_F(StatementTest, ThreePartForLoops) {
  p.Main({p.CppFor({p.Assign("i", "0")}, "i < 5", {p.Assign("i", "i + 1")},
                   {p.If("i = 1", {p.Continue()}), p.If("i = 3", {p.Break()}), p.Call("Log(i)")}),
          p.Call("Log(i)")});
  p.Run();
  EXPECT_EQ(Log(), "0 2 3");
}

TEST_F(StatementTest, HookRunsBeforeEveryHookedStatement) {
  std::vector<std::string> lines;
  p.Script().SetOnRunLine(
      [&](TkvScript*, const UString&, const UString& pos) { lines.push_back(Utf8(pos)); });
  TkvStatement* loop = p.For("i", "1", "2", {p.Call("Log(i)"), p.Break()});
  TkvStatement* assign = p.Assign("n", "1");
  p.Main({loop, assign});
  p.Run();
  // The for statement reports once; the break reports nothing.
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], Utf8(KnownPlaceText(static_cast<TkvStatement*>(loop)->Place)));
  EXPECT_EQ(lines[1], Utf8(KnownPlaceText(loop->StatementAt(0)->Place)));
  EXPECT_EQ(lines[2], Utf8(KnownPlaceText(assign->Place)));
}

// A loop whose body runs no statement still reports each pass, so a host can stop it.
TEST_F(StatementTest, HookSeesEveryPassOfALoopWithAnEmptyBody) {
  int reports = 0;
  p.Script().SetOnRunLine([&](TkvScript* sender, const UString&, const UString&) {
    if (++reports == 50) sender->ExitRequested = true;
  });
  const std::vector<std::function<TkvStatement*()>> loops = {
      [&] { return p.While("True", {}); }, [&] { return p.Repeat({p.Block({})}, "False"); },
      [&] { return p.For("i", "1", "1000000000", {}); },
      [&] { return p.VbFor("i", "1", "2", "0", {}); }, [&] { return p.CppFor({}, "", {}, {}); }};
  for (const auto& loop : loops) {
    reports = 0;
    p.Script().MainStatements()->Clear();
    p.Main({loop(), p.Assign("n", "n + 1")});
    p.Run();
    EXPECT_EQ(reports, 50);
  }
  EXPECT_EQ(p.Value("n").ToInt(), 0);  // each loop ended the run
}

}  // namespace
}  // namespace kv::test
