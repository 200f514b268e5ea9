#include "host/core/variant.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>

#include "host/core/exceptions.h"
#include "host/core/number_text.h"
#include "host/core/variant_ops.h"

namespace kv {
namespace {

// Runs f and returns the message of the kv::Exception it raised, or "" when it raised none.
template <class F>
std::string RaisedMessage(F&& f) {
  try {
    f();
  } catch (const Exception& e) {
    return ToUtf8(e.Message());
  }
  return "";
}

std::string Str(const Variant& v) { return ToUtf8(v.ToString()); }

Variant Cur(double value) { return Variant::Currency(std::llround(value * 10000)); }

// --- conversions -----------------------------------------------------------------------

TEST(VariantConversion, FloatsRoundHalfToEven) {
  EXPECT_EQ(Variant(7.5).ToInt(), 8);
  EXPECT_EQ(Variant(6.5).ToInt(), 6);
  EXPECT_EQ(Variant(-2.5).ToInt(), -2);
  EXPECT_EQ(Variant(-3.5).ToInt(), -4);
  EXPECT_EQ(Variant(2.4999).ToInt(), 2);
  EXPECT_EQ(Variant::Single(1.5f).ToInt(), 2);
  EXPECT_EQ(Cur(2.5).ToInt(), 2);
  EXPECT_EQ(Cur(3.5).ToInt(), 4);
  EXPECT_EQ(Cur(-3.5).ToInt(), -4);
  EXPECT_EQ(Cur(-2.5001).ToInt(), -3);
  EXPECT_EQ(Variant::Date(10.5).ToInt(), 10);
}

TEST(VariantConversion, OutOfRangeFloatsRaiseInsteadOfWrapping) {
  EXPECT_EQ(RaisedMessage([] { Variant(3e9).ToInt(); }), "Variant overflow");
  EXPECT_EQ(RaisedMessage([] { Variant(2147483647.5).ToInt(); }), "Variant overflow");
  EXPECT_EQ(Variant(2147483647.4).ToInt(), 2147483647);
  EXPECT_EQ(RaisedMessage([] { Variant(1e300).ToInt64(); }), "Variant overflow");
  EXPECT_EQ(RaisedMessage([] { Variant(std::nan("")).ToInt(); }), "Variant overflow");
  EXPECT_EQ(RaisedMessage([] { Variant(1e300).ToCurrency(); }), "Variant overflow");
  EXPECT_EQ(RaisedMessage([] { Variant(u"3000000000").ToInt(); }), "Variant overflow");
}

TEST(VariantConversion, StringsToNumbers) {
  EXPECT_EQ(Variant(u" 42 ").ToInt(), 42);
  EXPECT_EQ(Variant(u"-$FF").ToInt(), -255);
  EXPECT_EQ(Variant(u"$FFFFFFFF").ToInt(), -1);
  EXPECT_EQ(Variant(u"$FFFFFFFF").ToDouble(), 4294967295.0);
  EXPECT_EQ(Variant(u"2.5").ToInt(), 2);
  EXPECT_EQ(Variant(u"1e3").ToInt(), 1000);
  EXPECT_EQ(Variant(u"9007199254740993").ToInt64(), 9007199254740993LL);
  EXPECT_DOUBLE_EQ(Variant(u"\t-1.25E2 ").ToDouble(), -125.0);
  EXPECT_EQ(Variant(u"1.23456").ToCurrency(), 12346);
  for (const char16_t* bad : {u"", u" ", u"abc", u"1,5", u"1e", u"0x10", u"inf", u"$", u"1 2"})
    EXPECT_EQ(RaisedMessage([&] { Variant(bad).ToDouble(); }), "Invalid variant type conversion")
        << ToUtf8(bad);
}

TEST(VariantConversion, BooleansEmptyAndNull) {
  EXPECT_EQ(Variant(true).ToInt(), -1);
  EXPECT_EQ(Str(Variant(true)), "True");
  EXPECT_EQ(Str(Variant(false)), "False");
  EXPECT_TRUE(Variant(u" TRUE ").ToBool());
  EXPECT_FALSE(Variant(u"false").ToBool());
  EXPECT_TRUE(Variant(u"0.5").ToBool());
  EXPECT_FALSE(Variant(u"0").ToBool());
  EXPECT_EQ(RaisedMessage([] { Variant(u"yes").ToBool(); }), "Invalid variant type conversion");

  Variant empty;
  EXPECT_EQ(empty.ToInt(), 0);
  EXPECT_EQ(empty.ToDouble(), 0.0);
  EXPECT_EQ(Str(empty), "");
  EXPECT_FALSE(empty.ToBool());
  Variant null = Variant::Null();
  EXPECT_EQ(RaisedMessage([&] { null.ToInt(); }), "Invalid variant type conversion");
  EXPECT_EQ(RaisedMessage([&] { null.ToString(); }), "Invalid variant type conversion");
  EXPECT_EQ(RaisedMessage([&] { null.ToBool(); }), "Invalid variant type conversion");
  EXPECT_EQ(RaisedMessage([&] { Variant::ArrayOf({}).ToString(); }),
            "Invalid variant type conversion");
}

TEST(VariantConversion, NumbersAsText) {
  struct Case {
    double value;
    const char* text;
  };
  for (const Case& c : std::initializer_list<Case>{{1e15, "1E15"},
                                                   {1e14, "100000000000000"},
                                                   {1.5e-5, "1.5E-5"},
                                                   {0.0001, "0.0001"},
                                                   {0.1, "0.1"},
                                                   {-2.5, "-2.5"},
                                                   {10.0 / 3, "3.33333333333333"},
                                                   {0, "0"},
                                                   {123456789012345678.0, "1.23456789012346E17"},
                                                   {-1e-300, "-1E-300"},
                                                   {0.1 + 0.2, "0.3"},
                                                   {2147483648.0, "2147483648"}})
    EXPECT_EQ(Str(Variant(c.value)), c.text) << c.text;
  EXPECT_EQ(Str(Variant::Single(0.1f)), "0.1");
  EXPECT_EQ(Str(Variant::Smallint(-7)), "-7");
  EXPECT_EQ(Str(Variant::Byte(255)), "255");
  EXPECT_EQ(Str(Cur(12.5)), "12.5");
  EXPECT_EQ(Str(Cur(-0.0001)), "-0.0001");
  EXPECT_EQ(Str(Variant::Currency(std::numeric_limits<int64_t>::min())), "-922337203685477.5808");
}

TEST(VariantConversion, DatesAsText) {
  EXPECT_EQ(Str(Variant::Date(0)), "1899-12-30");
  EXPECT_EQ(Str(Variant::Date(0.5)), "12:00:00");
  EXPECT_EQ(Str(Variant::Date(43831)), "2020-01-01");
  EXPECT_EQ(Str(Variant::Date(43831.75)), "2020-01-01 18:00:00");
  EXPECT_EQ(Str(Variant::Date(-1.25)), "1899-12-29 06:00:00");
  EXPECT_EQ(Str(Variant::Date(60.0)), "1900-02-28");  // no 1900-02-29 in the Gregorian calendar
  EXPECT_EQ(Str(Variant::Date(1.0 - 1e-10)), "1899-12-31");  // rounds up to midnight
  EXPECT_THROW(Variant::Date(1e9).ToString(), EConvertError);
  EXPECT_THROW(Variant::Date(std::nan("")).ToString(), EConvertError);
}

TEST(NumberText, ParsingEdges) {
  double d = -1;
  EXPECT_TRUE(TryTextToFloat(u"5.", d));
  EXPECT_EQ(d, 5.0);
  EXPECT_TRUE(TryTextToFloat(u".5", d));
  EXPECT_EQ(d, 0.5);
  EXPECT_TRUE(TryTextToFloat(u"1e-400", d));  // underflow is zero, not an error
  EXPECT_EQ(d, 0.0);
  EXPECT_FALSE(TryTextToFloat(u"1e400", d));
  EXPECT_FALSE(TryTextToFloat(u".", d));
  EXPECT_FALSE(TryTextToFloat(u"nan", d));

  int32_t i = 0;
  EXPECT_TRUE(TryTextToInt32(u"-2147483648", i));
  EXPECT_EQ(i, std::numeric_limits<int32_t>::min());
  EXPECT_FALSE(TryTextToInt32(u"2147483648", i));
  EXPECT_FALSE(TryTextToInt32(u"$100000000", i));
  int64_t l = 0;
  EXPECT_TRUE(TryTextToInt64(u"$FFFFFFFFFFFFFFFF", l));
  EXPECT_EQ(l, -1);
  EXPECT_TRUE(TryTextToInt64(u"$FFFFFFFF", l));
  EXPECT_EQ(l, 4294967295);
  EXPECT_FALSE(TryTextToInt64(u"$10000000000000000", l));
  EXPECT_FALSE(TryTextToInt64(u"99999999999999999999", l));

  int64_t c = 0;
  EXPECT_TRUE(TryTextToCurrency(u"0.00005", c));  // a tie rounds to the even 0
  EXPECT_EQ(c, 0);
  EXPECT_TRUE(TryTextToCurrency(u"0.00015", c));
  EXPECT_EQ(c, 2);
  EXPECT_TRUE(TryTextToCurrency(u"0.000050001", c));
  EXPECT_EQ(c, 1);
  EXPECT_FALSE(TryTextToCurrency(u"1e3", c));
  EXPECT_FALSE(TryTextToCurrency(u"922337203685477.5808", c));
  EXPECT_TRUE(TryTextToCurrency(u"-922337203685477.5808", c));
  EXPECT_EQ(c, std::numeric_limits<int64_t>::min());
}

TEST(VariantConversion, AsTypeChecksRanges) {
  EXPECT_EQ(VarAsType(Variant(300), varSmallint).RawSmallint(), 300);
  EXPECT_EQ(RaisedMessage([] { VarAsType(Variant(40000), varSmallint); }), "Variant overflow");
  EXPECT_EQ(RaisedMessage([] { VarAsType(Variant(256), varByte); }), "Variant overflow");
  EXPECT_EQ(RaisedMessage([] { VarAsType(Variant(1e300), varSingle); }), "Variant overflow");
  EXPECT_EQ(VarAsType(Variant(u"12"), varInteger).RawInt(), 12);
  EXPECT_EQ(VarAsType(Variant(12), varOleStr).Type(), varOleStr);
  EXPECT_EQ(RaisedMessage([] { VarAsType(Variant::Null(), varInteger); }),
            "Invalid variant type conversion");
  EXPECT_TRUE(VarAsType(Variant::Null(), varVariant).IsNull());
}

// --- the handler table -----------------------------------------------------------------

// One representative operand per class, in the order of the handler table.
std::vector<Variant> Representatives() {
  return {Variant(),             // invalid (Empty)
          Variant::Null(),       // null
          Variant(6),            // integer
          Variant(2.5),          // real
          Cur(1.5),              // currency
          Variant(u"4"),         // string
          Variant(true),         // boolean
          Variant::Date(10.0)};  // date
}

// The result tag of `l op r` as one letter: E raised "Invalid variant operation", N null,
// I integer, R double, C currency, S string, B boolean, D date.
char ResultLetter(VarOp op, const Variant& l, const Variant& r) {
  try {
    Variant v = VarBinaryOp(op, l, r);
    switch (v.Type()) {
      case varNull:
        return 'N';
      case varInteger:
        return 'I';
      case varDouble:
        return 'R';
      case varCurrency:
        return 'C';
      case varString:
        return 'S';
      case varBoolean:
        return 'B';
      case varDate:
        return 'D';
      default:
        return '?';
    }
  } catch (const EVariantError& e) {
    return e.Message() == u"Invalid variant operation" ? 'E' : 'X';
  }
}

void ExpectMatrix(VarOp op, const char* const expected[8]) {
  auto reps = Representatives();
  for (size_t row = 0; row < 8; ++row) {
    std::string got;
    for (size_t col = 0; col < 8; ++col) got += ResultLetter(op, reps[row], reps[col]);
    EXPECT_EQ(got, expected[row]) << "op " << static_cast<int>(op) << ", row " << row;
  }
}

TEST(VariantOps, AddFollowsTheHandlerTable) {
  //                          inv  null int  real cur  str  bool date
  const char* const add[8] = {"EEEEEEEE",   // invalid
                              "ENNNNNNN",   // null
                              "ENIRCRID",   // integer
                              "ENRRCRRD",   // real
                              "ENCCCCCD",   // currency
                              "ENRRCSRD",   // string: '4' + True goes through real
                              "ENIRCRRD",   // boolean
                              "ENDDDDDD"};  // date
  ExpectMatrix(VarOp::Add, add);
}

TEST(VariantOps, SubtractAndDivideFollowTheHandlerTable) {
  const char* const sub[8] = {
      "EEEEEEEE", "ENNNNNNN", "ENIRCRID", "ENRRCRRD",
      "ENCCCCCD", "ENRRCRRD", "ENIRCRRD", "ENDDDDDR"};  // date - date is a number of days
  ExpectMatrix(VarOp::Subtract, sub);
  // Only addition and subtraction keep the date tag.
  const char* const div[8] = {"EEEEEEEE", "ENNNNNNN", "ENRRCRRR", "ENRRCRRR",
                              "ENCCCCCR", "ENRRCRRR", "ENRRCRRR", "ENRRRRRR"};
  ExpectMatrix(VarOp::Divide, div);
}

TEST(VariantOps, IntegerAndLogicalOpsFollowTheHandlerTable) {
  const char* const idiv[8] = {"EEEEEEEE", "ENNNNNNN", "ENIIIIII", "ENIIIIII",
                               "ENIIIIII", "ENIIIIII", "ENIIIIII", "ENIIIIII"};
  ExpectMatrix(VarOp::IntDivide, idiv);
  ExpectMatrix(VarOp::ShiftLeft, idiv);
  // Only the boolean handler (boolean with boolean or string) is logical.
  const char* const andOp[8] = {"EEEEEEEE", "ENNNNNNN", "ENIIIIII", "ENIIIIII",
                                "ENIIIIII", "ENIIIIBI", "ENIIIBBI", "ENIIIIII"};
  ExpectMatrix(VarOp::And, andOp);
}

TEST(VariantOps, OtherInvalidOperandsRaise) {
  for (const Variant& bad : {Variant::ArrayOf({Variant(1)}), Variant::Dispatch(nullptr)}) {
    EXPECT_EQ(RaisedMessage([&] { VarBinaryOp(VarOp::Add, bad, Variant(1)); }),
              "Invalid variant operation");
    EXPECT_EQ(RaisedMessage([&] { VarBinaryOp(VarOp::Add, Variant::Null(), bad); }),
              "Invalid variant operation");
    EXPECT_EQ(RaisedMessage([&] { VarCompare(bad, bad); }), "Invalid variant operation");
  }
}

// --- arithmetic details ----------------------------------------------------------------

TEST(VariantOps, IntegerOverflowIsRedoneInDoubles) {
  Variant sum = VarBinaryOp(VarOp::Add, Variant(0x7FFFFFFF), Variant(1));
  EXPECT_EQ(sum.Type(), varDouble);
  EXPECT_EQ(sum.RawDouble(), 2147483648.0);
  Variant diff =
      VarBinaryOp(VarOp::Subtract, Variant(std::numeric_limits<int32_t>::min()), Variant(1));
  EXPECT_EQ(diff.RawDouble(), -2147483649.0);
  Variant product = VarBinaryOp(VarOp::Multiply, Variant(65536), Variant(65536));
  EXPECT_EQ(product.RawDouble(), 4294967296.0);
  Variant small = VarBinaryOp(VarOp::Add, Variant::Smallint(32767), Variant::Byte(1));
  EXPECT_EQ(small.Type(), varInteger);
  EXPECT_EQ(small.RawInt(), 32768);
}

TEST(VariantOps, IntegerDivisionModulusAndShifts) {
  auto op = [](VarOp o, Variant a, Variant b) { return VarBinaryOp(o, a, b).RawInt(); };
  EXPECT_EQ(op(VarOp::IntDivide, Variant(7.5), Variant(2)), 4);
  EXPECT_EQ(op(VarOp::IntDivide, Variant(6.5), Variant(1)), 6);
  EXPECT_EQ(op(VarOp::IntDivide, Variant(2.5), Variant(1)), 2);
  EXPECT_EQ(op(VarOp::IntDivide, Variant(-7), Variant(2)), -3);
  EXPECT_EQ(op(VarOp::Modulus, Variant(-7), Variant(2)), -1);
  EXPECT_EQ(op(VarOp::Modulus, Variant(std::numeric_limits<int32_t>::min()), Variant(-1)), 0);
  EXPECT_EQ(op(VarOp::ShiftLeft, Variant(1), Variant(33)), 2);
  EXPECT_EQ(op(VarOp::ShiftRight, Variant(-1), Variant(28)), 15);
  EXPECT_EQ(op(VarOp::Xor, Variant(6), Variant(true)), ~6);

  EXPECT_THROW(VarBinaryOp(VarOp::IntDivide, Variant(1), Variant(0)), EDivByZero);
  EXPECT_EQ(RaisedMessage([] { VarBinaryOp(VarOp::Modulus, Variant(1), Variant(0.4)); }),
            "Division by zero");
  EXPECT_THROW(
      VarBinaryOp(VarOp::IntDivide, Variant(std::numeric_limits<int32_t>::min()), Variant(-1)),
      EIntOverflow);
}

TEST(VariantOps, FloatErrorsRaiseTheFamiliarExceptions) {
  EXPECT_THROW(VarBinaryOp(VarOp::Divide, Variant(1.0), Variant(0.0)), EZeroDivide);
  EXPECT_THROW(VarBinaryOp(VarOp::Divide, Variant(1), Variant(0)), EZeroDivide);
  EXPECT_THROW(VarBinaryOp(VarOp::Divide, Variant(0), Variant(0)), EInvalidOp);
  EXPECT_THROW(VarBinaryOp(VarOp::Multiply, Variant(1e308), Variant(10)), EOverflow);
  EXPECT_THROW(VarBinaryOp(VarOp::Divide, Cur(1), Cur(0)), EZeroDivide);
  EXPECT_EQ(RaisedMessage([] { VarBinaryOp(VarOp::Divide, Variant(1.0), Variant(0.0)); }),
            "Floating point division by zero");
  Variant third = VarBinaryOp(VarOp::Divide, Variant(1), Variant(4));
  EXPECT_EQ(third.Type(), varDouble);
  EXPECT_EQ(third.RawDouble(), 0.25);
}

TEST(VariantOps, StringsAndNumbersMix) {
  Variant v = VarBinaryOp(VarOp::Add, Variant(u"3"), Variant(4));
  EXPECT_EQ(v.Type(), varDouble);
  EXPECT_EQ(v.RawDouble(), 7.0);
  v = VarBinaryOp(VarOp::Add, Variant(u"3"), Variant(u"4"));
  EXPECT_EQ(v.Type(), varString);
  EXPECT_EQ(Str(v), "34");
  v = VarBinaryOp(VarOp::Add, Variant::OleStr(u"a"), Variant::OleStr(u"b"));
  EXPECT_EQ(v.Type(), varString);
  EXPECT_EQ(Str(v), "ab");
  EXPECT_EQ(VarBinaryOp(VarOp::Multiply, Variant(u"3"), Variant(u" 4 ")).RawDouble(), 12.0);
  EXPECT_EQ(VarBinaryOp(VarOp::Add, Variant(u"3"), Variant(true)).RawDouble(), 2.0);
  EXPECT_EQ(RaisedMessage([] { VarBinaryOp(VarOp::Add, Variant(u"a"), Variant(1)); }),
            "Invalid variant type conversion");
  EXPECT_TRUE(VarBinaryOp(VarOp::Or, Variant(u"false"), Variant(true)).RawBool());
}

TEST(VariantOps, DateArithmetic) {
  Variant d = VarBinaryOp(VarOp::Add, Variant::Date(43831), Variant(1));
  EXPECT_EQ(d.Type(), varDate);
  EXPECT_EQ(Str(d), "2020-01-02");
  d = VarBinaryOp(VarOp::Add, Variant(0.25), Variant::Date(43831));
  EXPECT_EQ(Str(d), "2020-01-01 06:00:00");
  d = VarBinaryOp(VarOp::Subtract, Variant::Date(43831), Variant::Date(43800.5));
  EXPECT_EQ(d.Type(), varDouble);
  EXPECT_EQ(d.RawDouble(), 30.5);
  d = VarBinaryOp(VarOp::Subtract, Variant::Date(43831), Variant(31));
  EXPECT_EQ(d.Type(), varDate);
  EXPECT_EQ(VarBinaryOp(VarOp::Multiply, Variant::Date(2), Variant(3)).Type(), varDouble);
}

TEST(VariantOps, CurrencyIsFixedPointWithFourDecimals) {
  EXPECT_EQ(Str(VarBinaryOp(VarOp::Add, Cur(0.1), Cur(0.2))), "0.3");
  EXPECT_EQ(Str(VarBinaryOp(VarOp::Multiply, Cur(1.2345), Cur(1.2345))), "1.524");
  // Products round half to even at the fourth decimal.
  EXPECT_EQ(VarBinaryOp(VarOp::Multiply, Cur(0.0001), Cur(0.5)).RawCurrency(), 0);
  EXPECT_EQ(VarBinaryOp(VarOp::Multiply, Cur(0.0003), Cur(0.5)).RawCurrency(), 2);
  EXPECT_EQ(Str(VarBinaryOp(VarOp::Divide, Cur(1), Variant(3))), "0.3333");
  EXPECT_EQ(Str(VarBinaryOp(VarOp::Divide, Cur(-2), Cur(3))), "-0.6667");
  EXPECT_EQ(Str(VarBinaryOp(VarOp::Add, Variant(u"0.1"), Cur(0.2))), "0.3");
  // Values far beyond a double's 15 digits stay exact.
  Variant big = Variant::Currency(9000000000000000001);
  EXPECT_EQ(VarBinaryOp(VarOp::Subtract, big, Cur(0.0001)).RawCurrency(), 9000000000000000000);
  EXPECT_EQ(RaisedMessage([&] { VarBinaryOp(VarOp::Add, big, big); }), "Variant overflow");
  EXPECT_EQ(VarBinaryOp(VarOp::IntDivide, Cur(7.5), Variant(2)).RawInt(), 4);
}

TEST(VariantOps, InPlaceMatchesAndKeepsCopiesApart) {
  Variant s(u"ab");
  Variant copy = s;
  VarBinaryOpInPlace(VarOp::Add, s, Variant(u"cd"));
  EXPECT_EQ(Str(s), "abcd");
  EXPECT_EQ(Str(copy), "ab");
  VarBinaryOpInPlace(VarOp::Add, s, s);
  EXPECT_EQ(Str(s), "abcdabcd");
  Variant n(0x7FFFFFFF);
  VarBinaryOpInPlace(VarOp::Add, n, Variant(1));
  EXPECT_EQ(n.RawDouble(), 2147483648.0);
  Variant x(u"5");
  VarBinaryOpInPlace(VarOp::Subtract, x, Variant(1));
  EXPECT_EQ(x.RawDouble(), 4.0);
}

// --- comparison, negation, not ---------------------------------------------------------

TEST(VariantCompare, NullOrdersFirst) {
  EXPECT_EQ(VarCompare(Variant::Null(), Variant::Null()), 0);
  EXPECT_EQ(VarCompare(Variant::Null(), Variant(-1000)), -1);
  EXPECT_EQ(VarCompare(Variant::Null(), Variant(u"")), -1);
  EXPECT_EQ(VarCompare(Variant(false), Variant::Null()), 1);
  EXPECT_EQ(RaisedMessage([] { VarCompare(Variant::Null(), Variant()); }),
            "Invalid variant operation");
}

TEST(VariantCompare, ByHandler) {
  EXPECT_EQ(VarCompare(Variant(u"abc"), Variant(u"abd")), -1);
  EXPECT_EQ(VarCompare(Variant(u"ab"), Variant(u"abc")), -1);
  EXPECT_EQ(VarCompare(Variant(u"abc"), Variant::OleStr(u"abc")), 0);
  EXPECT_EQ(VarCompare(Variant(u"B"), Variant(u"a")), -1);  // case-sensitive code units
  EXPECT_EQ(VarCompare(Variant(u"10"), Variant(9)), 1);     // numeric, not textual
  EXPECT_EQ(VarCompare(Variant(2), Variant(2.5)), -1);
  EXPECT_EQ(VarCompare(Cur(2.5), Variant(2.5)), 0);
  EXPECT_EQ(VarCompare(Variant(true), Variant(false)), 1);
  EXPECT_EQ(VarCompare(Variant(true), Variant(0)), -1);  // True is -1 as an integer
  EXPECT_EQ(VarCompare(Variant::Date(2), Variant(1)), 1);
  EXPECT_THROW(VarCompare(Variant(std::nan("")), Variant(1.0)), EInvalidOp);
}

TEST(VariantOps, NegationKeepsOrChangesTags) {
  struct Case {
    Variant in;
    uint16_t type;
    const char* text;
  };
  for (const Case& c :
       {Case{Variant(5), varInteger, "-5"}, Case{Variant(true), varInteger, "1"},
        Case{Variant::Byte(3), varInteger, "-3"}, Case{Variant(u"2.5"), varDouble, "-2.5"},
        Case{Variant::Single(1.5f), varDouble, "-1.5"}, Case{Cur(1.25), varCurrency, "-1.25"},
        Case{Variant::Date(43831), varDate, "-43831"},
        Case{Variant(std::numeric_limits<int32_t>::min()), varDouble, "2147483648"}}) {
    Variant v = VarNeg(c.in);
    EXPECT_EQ(v.Type(), c.type) << c.text;
    EXPECT_EQ(c.type == varDate ? Str(Variant(v.RawDouble())) : Str(v), c.text);
  }
  EXPECT_TRUE(VarNeg(Variant::Null()).IsNull());
  EXPECT_EQ(RaisedMessage([] { VarNeg(Variant()); }), "Invalid variant operation");
}

TEST(VariantOps, NotIsLogicalForBooleansBitwiseOtherwise) {
  EXPECT_FALSE(VarNot(Variant(true)).RawBool());
  EXPECT_EQ(VarNot(Variant(0)).RawInt(), -1);
  EXPECT_EQ(VarNot(Variant(2.5)).RawInt(), ~2);
  EXPECT_EQ(VarNot(Variant(u"5")).RawInt(), ~5);
  EXPECT_TRUE(VarNot(Variant::Null()).IsNull());
  EXPECT_EQ(RaisedMessage([] { VarNot(Variant()); }), "Invalid variant operation");
  EXPECT_EQ(RaisedMessage([] { VarNot(Variant(u"x")); }), "Invalid variant type conversion");
}

// --- arrays and sharing ----------------------------------------------------------------

TEST(VariantArray, BoundsZeroValuesAndConversion) {
  Variant a = Variant::Array({{1, 3}, {-1, 0}}, varInteger);
  ASSERT_EQ(a.ArrayDimCount(), 2);
  EXPECT_EQ(a.ArrayBoundOf(2).low, -1);
  EXPECT_EQ(a.ArrayBoundOf(1).Count(), 3);
  int32_t at[2] = {3, 0};
  EXPECT_EQ(a.Element(at, 2).Type(), varInteger);
  a.SetElement(at, 2, Variant(u"12"));
  EXPECT_EQ(a.Element(at, 2).RawInt(), 12);
  int32_t other[2] = {3, -1};
  EXPECT_EQ(a.Element(other, 2).RawInt(), 0);  // row-major cells do not overlap
  EXPECT_EQ(RaisedMessage([&] { a.SetElement(at, 2, Variant(u"x")); }),
            "Invalid variant type conversion");

  EXPECT_EQ(Variant::Array({{0, 1}}).Element(at + 1, 1).Type(), varEmpty);
  EXPECT_EQ(Variant::Array({{0, 1}}, varString).Element(at + 1, 1).Type(), varString);
  EXPECT_EQ(Variant::Array({{0, -1}}).ArrayBoundOf(1).Count(), 0);
  EXPECT_EQ(Variant(5).ArrayDimCount(), 0);
}

TEST(VariantArray, IndexErrors) {
  Variant a = Variant::Array({{1, 3}, {-1, 0}});
  const std::string outOfBounds = "Variant or safe array index out of bounds";
  for (auto idx :
       {std::vector<int32_t>{0, 0}, std::vector<int32_t>{4, 0}, std::vector<int32_t>{1, 1},
        std::vector<int32_t>{1, -2}, std::vector<int32_t>{1}, std::vector<int32_t>{1, 0, 0}}) {
    EXPECT_EQ(RaisedMessage([&] { a.Element(idx.data(), static_cast<int>(idx.size())); }),
              outOfBounds);
    EXPECT_EQ(
        RaisedMessage([&] { a.SetElement(idx.data(), static_cast<int>(idx.size()), Variant(1)); }),
        outOfBounds);
  }
  EXPECT_EQ(RaisedMessage([&] { a.ArrayBoundOf(3); }), outOfBounds);
  int32_t i = 0;
  EXPECT_EQ(RaisedMessage([&] { Variant(1).Element(&i, 1); }), "Variant is not an array");
  for (auto bad : {std::vector<ArrayBound>{}, std::vector<ArrayBound>{{5, 3}},
                   std::vector<ArrayBound>{{0, 100000}, {0, 100000}}})
    EXPECT_EQ(RaisedMessage([&] { Variant::Array(bad); }), "Error creating variant or safe array");
  EXPECT_EQ(RaisedMessage([] {
              Variant::Array({{0, 1}}, varNull);
            }),
            "Error creating variant or safe array");
}

TEST(VariantArray, CopiesAreIndependent) {
  Variant a = Variant::ArrayOf({Variant(1), Variant(u"x")});
  Variant b = a;
  EXPECT_EQ(a.ArrayData(), b.ArrayData());  // shared until written
  int32_t i = 0;
  b.SetElement(&i, 1, Variant(2));
  EXPECT_NE(a.ArrayData(), b.ArrayData());
  EXPECT_EQ(a.Element(&i, 1).RawInt(), 1);
  EXPECT_EQ(b.Element(&i, 1).RawInt(), 2);

  // Nested arrays are values too.
  Variant outer = Variant::ArrayOf({a});
  Variant outerCopy = outer;
  Variant inner = outer.Element(&i, 1);
  inner.SetElement(&i, 1, Variant(99));
  outer.SetElement(&i, 1, inner);
  EXPECT_EQ(outer.Element(&i, 1).Element(&i, 1).RawInt(), 99);
  EXPECT_EQ(outerCopy.Element(&i, 1).Element(&i, 1).RawInt(), 1);
  EXPECT_EQ(a.Element(&i, 1).RawInt(), 1);
}

TEST(VariantArray, StoringAnArrayIntoItselfMakesNoCycle) {
  Variant a = Variant::ArrayOf({Variant(1), Variant(2)});
  int32_t i = 1;
  a.SetElement(&i, 1, a);
  const Variant& nested = a.Element(&i, 1);
  ASSERT_TRUE(nested.IsArray());
  EXPECT_NE(nested.ArrayData(), a.ArrayData());
  EXPECT_EQ(nested.Element(&i, 1).RawInt(), 2);
  int32_t j = 0;
  a.SetElement(&j, 1, a.Element(&i, 1));  // a value from inside the same body
  EXPECT_TRUE(a.Element(&j, 1).IsArray());
}

TEST(VariantSharing, CopiesShareStringsAndDispatch) {
  Variant s(u"text");
  Variant t = s;
  EXPECT_EQ(s.RawString().data(), t.RawString().data());
  s = s;  // self-assignment keeps the body alive
  EXPECT_EQ(Str(s), "text");
  Variant moved = std::move(t);
  EXPECT_TRUE(t.IsEmpty());
  EXPECT_EQ(Str(moved), "text");

  struct Counted : DispatchObject {
    explicit Counted(int* alive) : alive_(alive) { ++*alive_; }
    ~Counted() override { --*alive_; }
    int* alive_;
  };
  int alive = 0;
  {
    Variant d = Variant::Dispatch(new Counted(&alive));
    Variant e = d;
    d.Clear();
    EXPECT_EQ(alive, 1);
  }
  EXPECT_EQ(alive, 0);
}

TEST(ExceptionMessageTest, OwnAndStandardExceptions) {
  EVariantError own(u"Invalid variant operation");
  EXPECT_EQ(ExceptionMessage(own), u"Invalid variant operation");
  EXPECT_STREQ(own.ClassName(), "EVariantError");
  own.SetMessage(U("Привет"));
  EXPECT_STREQ(own.what(), "Привет");
  EXPECT_EQ(ExceptionMessage(std::runtime_error("Ошибка")), U("Ошибка"));
}

}  // namespace
}  // namespace kv
