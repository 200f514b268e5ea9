// Expressions: tree shapes from the item stream, type checking, evaluation rules, the
// self-assignment fold and the single-operand shortcut.
#include <gtest/gtest.h>

#include <climits>
#include <stdexcept>

#include "engine/kv_iconst.h"
#include "host/core/exceptions.h"
#include "host/core/strings.h"
#include "tests/engine/program_builder.h"

namespace kv::test {
namespace {

class ExpressionTest : public ::testing::Test {
 protected:
  ExpressionTest() {
    for (const char* name : {"a", "b", "c", "d", "e"}) p.Int(name, 0);
    for (const char* name : {"x", "y", "z"}) p.Bool(name, false);
    p.Str("s", "abc");
    p.Float("f", 1.5);
    p.AnyVar("v", Variant(2));
  }

  std::string ShapeOf(const std::string& text) {
    std::unique_ptr<TkvExpression> e;
    const UString error = p.Check(text, &e);
    EXPECT_TRUE(error.empty()) << text << ": " << Utf8(e->FinishError());
    return Shape(e->RootNode.get());
  }

  ProgramBuilder p;
};

TEST_F(ExpressionTest, PlacesItemsByPriorityAndBrackets) {
  const struct {
    const char* text;
    const char* shape;
  } cases[] = {
      {"a - b - c", "minus(minus(a, b), c)"},
      {"a / b / c", "divide(divide(a, b), c)"},
      {"x = y = z", "equal(equal(x, y), z)"},
      {"a + b * c", "plus(a, times(b, c))"},
      {"a * b + c", "plus(times(a, b), c)"},
      {"(a + b) * c", "times(plus(a, b), c)"},
      {"a - (b - c)", "minus(a, minus(b, c))"},
      {"-a * b", "times(unminus(a), b)"},
      {"a * -b", "times(a, unminus(b))"},
      {"not x = y", "equal(not(x), y)"},
      {"(a)", "a"},
      {"((a + b))", "plus(a, b)"},
      {"((a)) * ((b) + (c))", "times(a, plus(b, c))"},
      {"a < b + c * d", "less(a, plus(b, times(c, d)))"},
      {"a + b - c * d div e", "minus(plus(a, b), div(times(c, d), e))"},
      {"a * b mod c shl d", "shl(mod(times(a, b), c), d)"},
      {"x or y and z", "or(x, and(y, z))"},
      {"a in [1, 3..5]", "in(a, [...])"},
      {"not not x", "not(not(x))"},
      {"-(a + b)", "unminus(plus(a, b))"},
  };
  for (const auto& c : cases) EXPECT_EQ(ShapeOf(c.text), c.shape) << c.text;
}

TEST_F(ExpressionTest, EvaluatesOperators) {
  const struct {
    const char* text;
    Variant expected;
  } cases[] = {
      {"10 - 2 - 3", Variant(5)},
      {"2 + 3 * 4", Variant(14)},
      {"(2 + 3) * 4", Variant(20)},
      {"7 / 2", Variant(3.5)},
      {"7 div 2", Variant(3)},
      {"-7 div 2", Variant(-3)},
      {"-7 mod 2", Variant(-1)},
      {"7 mod -2", Variant(1)},
      {"1.5 + 1", Variant(2.5)},
      {"3 shl 2", Variant(12)},
      {"12 shr 2", Variant(3)},
      {"5 xor 1", Variant(4)},
      {"6 and 3", Variant(2)},
      {"6 or 3", Variant(7)},
      {"not 0", Variant(-1)},
      {"-(2)", Variant(-2)},
      {"'ab' + 'c'", Variant(u"abc")},
      {"'ab' strcat 'c'", Variant(u"abc")},
      {"1 strcat 2", Variant(3)},
      {"'a' < 'b'", Variant(true)},
      {"'ab' < 'a'", Variant(false)},
      {"2 >= 2", Variant(true)},
      {"2 > 2", Variant(false)},
      {"1 <> 1", Variant(false)},
      {"1 <= 0", Variant(false)},
      {"not (1 = 2)", Variant(true)},
      {"v * 3", Variant(6)},
      {"2147483647 + 1", Variant(INT_MIN)},  // the integer fast path wraps
      {"65536 * 65536", Variant(0)},
  };
  for (const auto& c : cases) {
    const Variant value = p.Eval(c.text);
    EXPECT_EQ(value.Type(), c.expected.Type()) << c.text;
    EXPECT_EQ(Utf8(value), Utf8(c.expected)) << c.text;
  }
}

TEST_F(ExpressionTest, RealDivisionOfIntegersKeepsIntegerKindButYieldsReal) {
  std::unique_ptr<TkvExpression> e;
  ASSERT_TRUE(p.Check("7 / 2", &e).empty());
  EXPECT_EQ(e->Kind, vkInteger);
  EXPECT_EQ(e->GetValue().Type(), varDouble);
}

TEST_F(ExpressionTest, VariantArithmeticPromotesWhereTheFastPathWraps) {
  p.AnyVar("big", Variant(INT_MAX));
  p.Int("ibig", INT_MAX);
  EXPECT_EQ(p.Eval("big + 1").ToDouble(), 2147483648.0);
  EXPECT_EQ(p.Eval("ibig + 1").Type(), varInteger);
  EXPECT_EQ(p.Eval("ibig + 1").RawInt(), INT_MIN);
}

TEST_F(ExpressionTest, IntegerDivisionByZeroAndTheOverflowingQuotient) {
  p.Int("zero", 0);
  p.Int("minint", INT_MIN);
  for (const char* text : {"1 div zero", "1 mod zero", "v div zero"}) {
    try {
      p.Eval(text);
      ADD_FAILURE() << text << " did not raise";
    } catch (const EDivByZero& e) {
      EXPECT_EQ(e.Message(), msg::DivisionByZero) << text;
    }
  }
  EXPECT_EQ(p.Eval("minint div -1").RawInt(), INT_MIN);
  EXPECT_EQ(p.Eval("minint mod -1").RawInt(), 0);
}

TEST_F(ExpressionTest, AndOrSkipTheRightOperandOnlyForStaticBooleans) {
  int calls = 0;
  p.Function("function Probe: Boolean", [&](int32_t, TClass*, const UString&, TkvParams&) {
    ++calls;
    return Variant(true);
  });
  p.AnyVar("vfalse", Variant(false));
  const struct {
    const char* text;
    int calls;
    bool value;
  } cases[] = {
      {"x and Probe", 0, false},    // x is false
      {"not x or Probe", 0, true},  // left decides
      {"not x and Probe", 1, true},   {"x or Probe", 1, true},
      {"vfalse and Probe", 1, false},  // a Variant side evaluates both
  };
  for (const auto& c : cases) {
    calls = 0;
    EXPECT_EQ(p.Eval(c.text).ToBool(), c.value) << c.text;
    EXPECT_EQ(calls, c.calls) << c.text;
  }
}

TEST_F(ExpressionTest, SetMembershipMatchesRangesAndStopsAtTheFirstMatch) {
  for (int i = 0; i <= 10; ++i) {
    p.Script().FindItem(u"a")->Value = Variant(i);
    const bool inside = i == 1 || (i >= 3 && i <= 5) || i == 9;
    EXPECT_EQ(p.Eval("a in [1, 3..5, 9]").ToBool(), inside) << i;
  }
  int calls = 0;
  p.Function("function Seven: Integer", [&](int32_t, TClass*, const UString&, TkvParams&) {
    ++calls;
    return Variant(7);
  });
  p.Script().FindItem(u"a")->Value = Variant(1);
  EXPECT_TRUE(p.Eval("a in [1, Seven]").ToBool());
  EXPECT_EQ(calls, 0);
  EXPECT_FALSE(p.Eval("a in []").ToBool());
}

TEST_F(ExpressionTest, IsTestsTheObjectsClassAndItsAncestors) {
  p.Class(TStrings::StaticClass(), "TPersistent");
  p.Class(TStringList::StaticClass(), "TStrings");
  p.Class(TComponent::StaticClass(), "TPersistent");
  auto* list = new TStringList;
  p.Object("o", "TStringList", list->Handle());
  p.Object("none", "TStringList", 0);
  EXPECT_TRUE(p.Eval("o is TStringList").ToBool());
  EXPECT_TRUE(p.Eval("o is TStrings").ToBool());
  EXPECT_FALSE(p.Eval("o is TComponent").ToBool());
  EXPECT_FALSE(p.Eval("none is TStrings").ToBool());
  const int32_t stale = list->Handle();
  list->Free();
  p.Script().FindItem(u"o")->Value = Variant(stale);
  EXPECT_THROW(p.Eval("o is TStrings"), EInvalidPointer);
}

TEST_F(ExpressionTest, TypeErrorsReportTheFirstOffendingOperator) {
  p.Object("o", "TStringList", 0);
  const struct {
    const char* text;
    const char* position;  // empty: accepted
  } cases[] = {
      {"s + 1", "1:3"},
      {"1 + s", "1:3"},
      {"x < y", "1:3"},
      {"x in [True]", "1:3"},
      {"x + 1", "1:3"},
      {"-x", "1:1"},
      {"-s", "1:1"},
      {"o + 1", "1:3"},
      {"o = nil", ""},
      {"s + 'x'", ""},
      {"s = 'x'", ""},
      {"s in ['a', 'b']", ""},
      {"a + f", ""},
      {"x = y", ""},
      {"not x", ""},
      {"v + s", ""},
      {"('a' - 'b') + (1 + 'c')", "1:6"},
      {"a + (1 + (s * 2))", "1:13"},
      {"(s * 2) + (x < y)", "1:4"},
  };
  for (const auto& c : cases) {
    std::unique_ptr<TkvExpression> e;
    EXPECT_EQ(Utf8(p.Check(c.text, &e)), c.position) << c.text;
    if (*c.position != '\0') {
      EXPECT_EQ(e->FinishError(), msg::IncompatibleTypes) << c.text;
    }
  }
}

TEST_F(ExpressionTest, ResultKindsFollowTheLeftOperand) {
  const struct {
    const char* text;
    TkvValueKind kind;
  } cases[] = {
      {"a + 1", vkInteger}, {"a + f", vkFloat},      {"f * a", vkFloat},
      {"a < 1", vkBoolean}, {"a in [1]", vkBoolean}, {"s + s", vkString},
      {"v + 1", vkVariant}, {"x and y", vkBoolean},  {"'a'", vkString},
  };
  for (const auto& c : cases) {
    std::unique_ptr<TkvExpression> e;
    ASSERT_TRUE(p.Check(c.text, &e).empty()) << c.text;
    EXPECT_EQ(e->Kind, c.kind) << c.text;
  }
}

TEST_F(ExpressionTest, LongTypeNamesAreCutTo32Characters) {
  const std::string name(40, 'T');
  p.Var("en", vkEnum, name, Variant(0));
  std::unique_ptr<TkvExpression> e;
  ASSERT_TRUE(p.Check("en", &e).empty());
  EXPECT_EQ(e->TypeName, U(name.substr(0, 32)));
}

// Malformed item streams are rejected by Finish with a position and a reason; evaluating
// what is left raises or yields a value, but never crashes.
TEST_F(ExpressionTest, MalformedExpressionsAreRejected) {
  const struct {
    const char* text;
    const char* position;
    const char16_t* error;
  } cases[] = {
      {"", "0:0", msg::ExprEmpty},
      {"a +", "1:3", msg::ExprMissingOperand},
      {"+ a", "1:1", msg::ExprMissingOperand},
      {"a + * b", "1:3", msg::ExprMissingOperand},
      {"not", "1:1", msg::ExprMissingOperand},
      {"a b", "1:3", msg::ExprMissingOperator},
      {"(a) b", "1:5", msg::ExprMissingOperator},
      {"(a + b) (c)", "1:9", msg::ExprMissingOperator},
      {"a)", "1:2", msg::ExprUnmatchedBracket},
      {"(a", "1:1", msg::ExprMissingBracket},
      {"()", "1:2", msg::ExprEmptyBrackets},
      {"a in 3", "1:3", msg::ExprInNeedsSet},
      {"a is 3", "1:3", msg::ExprIsNeedsClass},
      {"a is b", "1:3", msg::ExprIsNeedsClass},
  };
  for (const auto& c : cases) {
    std::unique_ptr<TkvExpression> e;
    EXPECT_EQ(Utf8(p.Check(c.text, &e)), c.position) << c.text;
    EXPECT_EQ(e->FinishError(), c.error) << c.text;
    try {
      e->GetValue();
    } catch (const std::exception&) {
    }
  }
}

TEST_F(ExpressionTest, UnknownOperatorTextIsRejected) {
  TkvExpression e;
  e.Place = {3, 7};
  e.AddConstant(Variant(1));
  e.Place = {3, 9};
  e.AddOperator(u"**");
  e.AddConstant(Variant(2));
  EXPECT_EQ(e.Finish(), u"3:9");
  EXPECT_EQ(e.FinishError(), FormatMessage(msg::ExprUnknownOperator, u"**"));
}

TEST_F(ExpressionTest, SingleOperandNamesWhatTheStatementCanReadDirectly) {
  std::unique_ptr<TkvExpression> e;
  ASSERT_TRUE(p.Check("a", &e).empty());
  EXPECT_EQ(e->SingleOperand(), p.Script().FindItem(u"a"));
  EXPECT_FALSE(e->ReadOnly);
  ASSERT_TRUE(p.Check("5", &e).empty());
  EXPECT_EQ(e->SingleOperand(), e->RootNode.get());
  ASSERT_TRUE(p.Check("s[1]", &e).empty());
  EXPECT_NE(dynamic_cast<TkvDesignator*>(e->SingleOperand()), nullptr);
  ASSERT_TRUE(p.Check("a + 1", &e).empty());
  EXPECT_EQ(e->SingleOperand(), nullptr);
  EXPECT_TRUE(e->ReadOnly);
}

TEST_F(ExpressionTest, WritesGoThroughASingleWritableDesignatorOnly) {
  std::unique_ptr<TkvExpression> e;
  ASSERT_TRUE(p.Check("a", &e).empty());
  e->SetValue(Variant(42));
  EXPECT_EQ(p.Value("a").ToInt(), 42);
  ASSERT_TRUE(p.Check("(a)", &e).empty());
  e->SetValue(Variant(43));
  EXPECT_EQ(p.Value("a").ToInt(), 43);
  ASSERT_TRUE(p.Check("a + 0", &e).empty());
  e->SetValue(Variant(1));
  EXPECT_EQ(p.Value("a").ToInt(), 43);
  ASSERT_TRUE(p.Check("True", &e).empty());  // a constant
  e->SetValue(Variant(false));
  EXPECT_TRUE(p.Eval("True").ToBool());
}

TEST_F(ExpressionTest, FoldsSelfAssignments) {
  const struct {
    const char* target;
    const char* expr;
    TkvOperatorKind fold;
  } cases[] = {
      {"a", "a - b", okMinus},        {"a", "b - a", okNone},      {"a", "b + a", okPlus},
      {"a", "a + b", okPlus},         {"a", "a * 2", okMul},       {"a", "2 * a", okMul},
      {"a", "a / 2", okDivFloat},     {"a", "2 / a", okNone},      {"a", "a div 2", okNone},
      {"a", "b + c", okNone},         {"a", "a", okNone},          {"a", "a + b + c", okNone},
      {"s", "s + 'x'", okPlus},       {"s", "'x' + s", okNone},  // concatenation keeps its order
      {"v", "'x' + v", okNone},       {"a", "a strcat b", okPlus}, {"a", "b strcat a", okNone},
      {"s[1]", "s[1] + 'x'", okNone},
  };
  for (const auto& c : cases) {
    auto target = p.Designator(c.target);
    std::unique_ptr<TkvExpression> e;
    ASSERT_TRUE(p.Check(c.expr, &e).empty()) << c.expr;
    EXPECT_EQ(e->FoldSelfAssignment(target.get()), c.fold) << c.target << " := " << c.expr;
  }
}

TEST_F(ExpressionTest, FoldLeavesTheOtherOperandAsTheTree) {
  auto target = p.Designator("a");
  std::unique_ptr<TkvExpression> e;
  ASSERT_TRUE(p.Check("b * 3 + a", &e).empty());
  ASSERT_EQ(e->FoldSelfAssignment(target.get()), okPlus);
  EXPECT_EQ(Shape(e->RootNode.get()), "times(b, 3)");
  EXPECT_EQ(e->RootNode->Parent, nullptr);
}

}  // namespace
}  // namespace kv::test
