// Type compatibility, declaration strings, literal values, the language registry and the
// argument record conversions.
#include <gtest/gtest.h>

#include "engine/kv_iconst.h"
#include "engine/kv_iinterpreter.h"
#include "tests/engine/core_fakes.h"

namespace kv::coretest {
namespace {

class EngineToolsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitInterpreter();
    global_ = GlobalScript();
    global_->CurrentRegistrar = &registrar_;
    global_->DefineClass(TFakeItem::StaticClass(), u"TComponent");
    global_->DefineClass(TFakeSub::StaticClass(), u"TFakeItem");
    global_->DefineClass(TFakeStranger::StaticClass(), u"TObject");
    global_->DefineEnum(u"TFakeColor", u"fcRed, fcGreen, fcBlue");
    global_->CurrentRegistrar = nullptr;
  }
  void TearDown() override { global_->RemoveOwnedBy(&registrar_); }

  TkvScript* global_ = nullptr;
  int registrar_ = 0;
};

TEST_F(EngineToolsTest, TypeKindOfLooksNamesUpIgnoringCaseAndTakesUnknownNamesForClasses) {
  EXPECT_EQ(TypeKindOf(u""), vkClass);
  EXPECT_EQ(TypeKindOf(u"TNeverRegistered"), vkClass);
  EXPECT_EQ(TypeKindOf(u"longint"), vkInteger);
  EXPECT_EQ(TypeKindOf(u"TDateTime"), vkFloat);
  EXPECT_EQ(TypeKindOf(u"pointer"), vkVariant);
  EXPECT_EQ(TypeKindOf(u"TFakeColor"), vkEnum);
  EXPECT_EQ(TypeKindOf(u"Constructor"), vkConstructor);
}

// Rows: target kind; columns: source kind, in ordinal order. Classes and enumerations
// depend on their names and are tested below.
TEST_F(EngineToolsTest, CompatibilityOfKindsFollowsTheTable) {
  const char* expected[] = {
      //        I B F C S c A V E K   (source)
      /* I */ "1010000110",
      /* B */ "0100000100",
      /* F */ "1010000100",
      /* C */ "0001100100",
      /* S */ "0001100100",
      /* c */ "0000000100",
      /* A */ "0000001100",
      /* V */ "1111111111",
      /* E */ "1000000100",
      /* K */ "0000000000",
  };
  for (int target = 0; target <= vkConstructor; ++target) {
    for (int source = 0; source <= vkConstructor; ++source) {
      const bool want = expected[target][source] == '1';
      EXPECT_EQ(TypesCompatible(TkvValueKind(target), u"TUnregisteredA", TkvValueKind(source),
                                u"TUnregisteredB"),
                want)
          << "target " << target << " source " << source;
    }
  }
}

TEST_F(EngineToolsTest, ClassTargetsAcceptTheClassAndItsDescendantsOnly) {
  EXPECT_TRUE(TypesCompatible(vkClass, u"TFakeItem", vkClass, u"TFakeSub"));
  EXPECT_TRUE(TypesCompatible(vkClass, u"tfakeitem", vkClass, u"TFakeItem"));
  EXPECT_FALSE(TypesCompatible(vkClass, u"TFakeSub", vkClass, u"TFakeItem"));
  EXPECT_FALSE(TypesCompatible(vkClass, u"TFakeItem", vkClass, u"TFakeStranger"));
  EXPECT_FALSE(TypesCompatible(vkClass, u"TFakeItem", vkClass, u"TNeverRegistered"));
  EXPECT_TRUE(TypesCompatible(vkClass, u"TFakeItem", vkVariant, u""));
  EXPECT_TRUE(ClassInherits(u"TFakeItem", u"TFakeSub"));
  EXPECT_FALSE(ClassInherits(u"TNeverRegistered", u"TFakeSub"));
  EXPECT_EQ(TypeDisplayName(vkClass, u"TFakeItem"), u"Class TFakeItem");
  EXPECT_EQ(TypeDisplayName(vkEnum, u"TFakeColor"), u"TFakeColor");
  EXPECT_EQ(TypeDisplayName(vkFloat, u"Double"), u"Extended");
}

TEST_F(EngineToolsTest, EnumerationTargetsCompareTheFirst32CharactersOfTheNames) {
  EXPECT_TRUE(TypesCompatible(vkEnum, u"TAlign", vkEnum, u"talign"));
  EXPECT_FALSE(TypesCompatible(vkEnum, u"TAlign", vkEnum, u"TAnchors"));
  EXPECT_TRUE(TypesCompatible(vkEnum, u"TAlign", vkInteger, u""));
  const UString base(32, u'X');
  EXPECT_TRUE(TypesCompatible(vkEnum, base + u"One", vkEnum, base + u"Two"));
  EXPECT_FALSE(TypesCompatible(vkEnum, base.substr(1) + u"A", vkEnum, base.substr(1) + u"B"));
}

TEST_F(EngineToolsTest, AnIntegerVariableRefusesAFloatExpressionButAFloatVariableTakesAnInteger) {
  TkvVariable intVar(u"I", u"Integer", vkInteger), floatVar(u"F", u"Double", vkFloat);
  TkvVariable intExpr(u"", u"", vkInteger), floatExpr(u"", u"", vkFloat);
  EXPECT_FALSE(AssignmentCompatible(&intVar, &floatExpr));
  EXPECT_TRUE(TypesCompatible(vkInteger, u"", vkFloat, u""));  // parameters and operands do
  EXPECT_TRUE(AssignmentCompatible(&floatVar, &intExpr));
  EXPECT_TRUE(AssignmentCompatible(&intVar, &intExpr));
}

// --- declaration strings -------------------------------------------------------------------

TkvParamItem* ParamOf(const std::unique_ptr<TkvCustomVariable>& holder, int i) {
  return holder->ParamAt(i);
}

TEST_F(EngineToolsTest, DeclarationsWithoutParametersOrResults) {
  auto clear = ParseDeclaration(u"procedure Clear");
  EXPECT_EQ(clear->Name, u"Clear");
  EXPECT_EQ(clear->ItemCount(), 0);
  EXPECT_EQ(clear->TypeName, u"");
  EXPECT_EQ(clear->Kind, vkClass);

  auto date = ParseDeclaration(u"function Date: TDateTime");
  EXPECT_EQ(date->Name, u"Date");
  EXPECT_EQ(date->ItemCount(), 0);
  EXPECT_EQ(date->TypeName, u"TDateTime");
  EXPECT_EQ(date->Kind, vkFloat);
}

TEST_F(EngineToolsTest, DeclarationGroupsShareTypeAndVarFlag) {
  auto decode =
      ParseDeclaration(u"procedure DecodeTime(Time: TDateTime; var Hour, Min, Sec, MSec: Word)");
  ASSERT_EQ(decode->ItemCount(), 5);
  EXPECT_EQ(ParamOf(decode, 0)->Name, u"Time");
  EXPECT_FALSE(ParamOf(decode, 0)->IsVar);
  EXPECT_EQ(ParamOf(decode, 0)->Kind, vkFloat);
  for (int i = 1; i < 5; ++i) {
    EXPECT_TRUE(ParamOf(decode, i)->IsVar);
    EXPECT_EQ(ParamOf(decode, i)->TypeName, u"Word");
    EXPECT_EQ(ParamOf(decode, i)->Kind, vkInteger);
  }
  EXPECT_EQ(ParamOf(decode, 4)->Name, u"MSec");

  auto find = ParseDeclaration(u"function Find(s: String; var Index: Integer): Boolean");
  ASSERT_EQ(find->ItemCount(), 2);
  EXPECT_EQ(find->Kind, vkBoolean);
  EXPECT_FALSE(ParamOf(find, 0)->IsVar);
  EXPECT_TRUE(ParamOf(find, 1)->IsVar);
  EXPECT_EQ(find->RequiredParamCount(), 2);

  auto format =
      ParseDeclaration(u"function Format(const Fmt: String; Args: array of const): String");
  ASSERT_EQ(format->ItemCount(), 2);
  EXPECT_EQ(ParamOf(format, 0)->Name, u"Fmt");
  EXPECT_EQ(ParamOf(format, 1)->Kind, vkArray);
  EXPECT_EQ(format->Kind, vkString);

  auto ctor = ParseDeclaration(u"function Create(AOwner: TComponent): Constructor");
  EXPECT_EQ(ctor->Kind, vkConstructor);
  EXPECT_EQ(ParamOf(ctor, 0)->Kind, vkClass);
}

TEST_F(EngineToolsTest, OnlyTheLastNameOfAGroupGetsTheDefaultAndBecomesOptional) {
  auto decl = ParseDeclaration(
      u"procedure P(A, B: Integer = 5; S: String = 'it''s'; N: Integer = -3; F: Double = 2.5; "
      u"H: Integer = $10; C: Boolean = True; U: Integer = Unknown)");
  ASSERT_EQ(decl->ItemCount(), 8);
  EXPECT_FALSE(ParamOf(decl, 0)->Optional);
  EXPECT_TRUE(ParamOf(decl, 0)->DefaultValue.IsNull());
  EXPECT_TRUE(ParamOf(decl, 1)->Optional);
  EXPECT_EQ(ParamOf(decl, 1)->DefaultValue.RawInt(), 5);
  EXPECT_EQ(ParamOf(decl, 2)->DefaultValue.ToString(), u"it's");
  EXPECT_EQ(ParamOf(decl, 3)->DefaultValue.RawInt(), -3);
  EXPECT_DOUBLE_EQ(ParamOf(decl, 4)->DefaultValue.ToDouble(), 2.5);
  EXPECT_EQ(ParamOf(decl, 5)->DefaultValue.RawInt(), 16);
  EXPECT_EQ(ParamOf(decl, 6)->DefaultValue.Type(), varBoolean);  // looked up globally
  EXPECT_TRUE(ParamOf(decl, 6)->DefaultValue.RawBool());
  EXPECT_FALSE(ParamOf(decl, 7)->Optional);  // an unknown name gives Null: not optional
  EXPECT_EQ(decl->RequiredParamCount(), 2);  // A and U
}

// A binding's mistake raises where it is registered, quoting the declaration; no text hangs.
TEST_F(EngineToolsTest, MalformedDeclarationsRaiseQuotingTheText) {
  for (const char16_t* text :
       {u"", u"function", u"function (", u"procedure P(", u"procedure P(a: ", u"procedure P(;;;)",
        u"procedure P(,,: Integer)", u"procedure P(var var)", u"function F(a: Integer",
        u"procedure P(a b c d)", u"(((((", u"procedure P(a: Integer = 'unclosed)",
        u"procedure P(a, b: Integer; c", u"function F(a: Integer)", u"procedure P: Integer",
        u"procedure P(a: Integer) extra"}) {
    EXPECT_EQ(RaisedBy<Exception>([&] {
                ParseDeclaration(text);
              }).rfind("Bad declaration '" + ToUtf8(text) + "': ", 0),
              0u)
        << ToUtf8(text);
  }
}

// --- literal values ------------------------------------------------------------------------

TEST(LiteralValueTest, StringsIntegersHexAndFloats) {
  EXPECT_TRUE(ParseLiteralValue(u"").IsNull());
  EXPECT_EQ(ParseLiteralValue(u"'abc'").ToString(), u"abc");
  EXPECT_EQ(ParseLiteralValue(u"''").ToString(), u"");
  Variant twelve = ParseLiteralValue(u"12");
  EXPECT_EQ(twelve.Type(), varInteger);
  EXPECT_EQ(twelve.RawInt(), 12);
  EXPECT_EQ(ParseLiteralValue(u"$FF").RawInt(), 255);
  // Decimal: a double beyond Integer, exact up to 2^53; hexadecimal: the low 32 bits.
  for (const char16_t* text : {u"4294967296", u"9223372036854775807", u"9007199254740993",
                               u"2147483648", u"100000000000000000000"}) {
    const Variant wide = ParseLiteralValue(text);
    EXPECT_EQ(wide.Type(), varDouble) << ToUtf8(text);
    EXPECT_EQ(wide.RawDouble(), std::stod(ToUtf8(text))) << ToUtf8(text);
  }
  EXPECT_EQ(ParseLiteralValue(u"2147483647").RawInt(), 2147483647);
  EXPECT_EQ(ParseLiteralValue(u"$FFFFFFFF").RawInt(), -1);
  EXPECT_EQ(ParseLiteralValue(u"$100000001").RawInt(), 1);
  EXPECT_EQ(ParseLiteralValue(u"$123456789ABCDEF0123456789abcdef0").RawInt(),
            static_cast<int32_t>(0x9abcdef0));  // longer than 64 bits
  EXPECT_EQ(RaisedBy<EConvertError>([] { ParseLiteralValue(u"$"); }),
            "'$' is not a valid integer value");
  Variant real = ParseLiteralValue(u"1e3");
  EXPECT_EQ(real.Type(), varDouble);
  EXPECT_DOUBLE_EQ(real.RawDouble(), 1000.0);
  EXPECT_EQ(RaisedBy<EConvertError>([] { ParseLiteralValue(u"abc"); }),
            "'abc' is not a valid floating point value");
}

// --- language registry ---------------------------------------------------------------------

TEST(LanguageRegistryTest, TheFirstRegistrationWinsAndNamesIgnoreCase) {
  ClearLanguageRegistry();
  RegisterLanguageGrammar(u"PascalScript", u"<first/>");
  RegisterLanguageGrammar(u"PASCALSCRIPT", u"<second/>");
  EXPECT_EQ(LanguageGrammar(u"pascalscript"), u"<first/>");
  EXPECT_EQ(RaisedBy<Exception>([] { LanguageGrammar(u"Basic"); }), "Language 'Basic' not found");
  ClearLanguageRegistry();
  EXPECT_EQ(RaisedBy<Exception>([] { LanguageGrammar(u"PascalScript"); }),
            "Language 'PascalScript' not found");
}

// --- argument records ----------------------------------------------------------------------

TEST(ArgRecordTest, RecordsBecomeVariantsByTag) {
  EXPECT_EQ(ArgRecordToVariant(TVarRec::Integer(42)).RawInt(), 42);
  EXPECT_EQ(ArgRecordToVariant(TVarRec::Integer(int64_t{1} << 40)).Type(), varDouble);
  EXPECT_EQ(ArgRecordToVariant(TVarRec::Object(77)).RawInt(), 77);
  EXPECT_EQ(ArgRecordToVariant(TVarRec::Boolean(true)).Type(), varBoolean);
  EXPECT_EQ(ArgRecordToVariant(TVarRec::Char(u'Ж')).ToString(), U("Ж"));
  EXPECT_DOUBLE_EQ(ArgRecordToVariant(TVarRec::Extended(2.5)).RawDouble(), 2.5);
  EXPECT_EQ(ArgRecordToVariant(TVarRec::String(u"text")).ToString(), u"text");
  EXPECT_EQ(ArgRecordToVariant(TVarRec::OfVariant(Variant(u"v"))).ToString(), u"v");
  TVarRec currency;
  currency.VType = TVarRec::vtCurrency;
  currency.VInt = 12345;
  EXPECT_DOUBLE_EQ(ArgRecordToVariant(currency).ToDouble(), 1.2345);
  TVarRec pointer;
  pointer.VType = TVarRec::vtPointer;
  EXPECT_TRUE(ArgRecordToVariant(pointer).IsNull());
}

TEST(ArgRecordTest, WriteBackKeepsTheRecordsTag) {
  TVarRec key = TVarRec::Integer(13);
  VariantToArgRecord(Variant(UString(u"0")), key);
  EXPECT_EQ(key.VInt, 0);
  TVarRec flag = TVarRec::Boolean(true);
  VariantToArgRecord(Variant(false), flag);
  EXPECT_EQ(flag.VInt, 0);
  TVarRec ch = TVarRec::Char(u'a');
  VariantToArgRecord(Variant(UString(u"XY")), ch);
  EXPECT_EQ(ch.VInt, u'X');
  VariantToArgRecord(Variant(UString()), ch);
  EXPECT_EQ(ch.VInt, 0);  // an emptied character is no character
  TVarRec text = TVarRec::String(u"old");
  VariantToArgRecord(Variant(5), text);
  EXPECT_EQ(text.VString, u"5");
  TVarRec number = TVarRec::Integer(1);
  EXPECT_EQ(RaisedBy<EVariantError>([&] { VariantToArgRecord(Variant(UString(u"x")), number); }),
            "Invalid variant type conversion");
}

TEST(ArgRecordTest, ArgumentArraysGiveOneRecordPerElement) {
  std::vector<TVarRec> args = VariantArrayToArgs(Variant::ArrayOf(
      {Variant(7), Variant(1.5), Variant(UString(u"s")), Variant(true), Variant::Null()}));
  ASSERT_EQ(args.size(), 5u);  // no padding a format could read as made-up zeros
  EXPECT_EQ(args[0].VType, TVarRec::vtInteger);
  EXPECT_EQ(args[0].VInt, 7);
  EXPECT_EQ(args[1].VType, TVarRec::vtExtended);
  EXPECT_EQ(args[2].VString, u"s");
  EXPECT_EQ(args[3].VType, TVarRec::vtBoolean);
  EXPECT_EQ(args[4].VType, TVarRec::vtInteger);          // other tags read as integer 0
  EXPECT_EQ(VariantArrayToArgs(Variant(9)).size(), 1u);  // a single value is a list of one
  EXPECT_EQ(VariantArrayToArgs(Variant(9))[0].VInt, 9);
  EXPECT_TRUE(VariantArrayToArgs(Variant::ArrayOf({})).empty());

  EXPECT_NO_THROW(VariantArrayToArgs(Variant::ArrayOf(std::vector<Variant>(32, Variant(1)))));
  EXPECT_EQ(RaisedBy<Exception>(
                [] { VariantArrayToArgs(Variant::ArrayOf(std::vector<Variant>(33, Variant(1)))); }),
            "Too many arguments (at most 32)");
}

}  // namespace
}  // namespace kv::coretest
