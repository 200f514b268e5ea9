// The built-in routine library's registration: order, declarations, categories, constants
// and lifetime. What the routines compute is pinned down by the scripts in
// tests/scripts/builtins.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/kv_iinterpreter.h"
#include "rtti/kv_isysrtti.h"
#include "tests/rtti/script_runner.h"

namespace kv {
namespace {

std::vector<std::string> OwnItems(TkvRegistrar registrar) {
  std::vector<std::string> names;
  TkvScript* global = GlobalScript();
  for (int i = 0; i < global->ItemCount(); ++i)
    if (global->ItemAt(i)->Registrar == registrar) names.push_back(ToUtf8(global->ItemAt(i)->Name));
  return names;
}

class SysRttiTest : public ::testing::Test {
 protected:
  void SetUp() override { StartSysRtti(); }
  void TearDown() override { StopSysRtti(); }
};

TEST_F(SysRttiTest, RegistersEveryRoutineAndConstantInOrder) {
  const std::vector<std::string> expected = {"IntToStr",
                                             "FloatToStr",
                                             "DateToStr",
                                             "TimeToStr",
                                             "DateTimeToStr",
                                             "VarToStr",
                                             "StrToInt",
                                             "StrToFloat",
                                             "StrToDate",
                                             "StrToTime",
                                             "StrToDateTime",
                                             "Format",
                                             "FormatFloat",
                                             "FormatDateTime",
                                             "FormatMaskText",
                                             "EncodeDate",
                                             "DecodeDate",
                                             "EncodeTime",
                                             "DecodeTime",
                                             "Date",
                                             "Time",
                                             "Now",
                                             "DayOfWeek",
                                             "IsLeapYear",
                                             "DaysInMonth",
                                             "Length",
                                             "Copy",
                                             "Pos",
                                             "Delete",
                                             "Insert",
                                             "Uppercase",
                                             "Lowercase",
                                             "Trim",
                                             "NameCase",
                                             "CompareText",
                                             "Chr",
                                             "Ord",
                                             "SetLength",
                                             "Round",
                                             "Trunc",
                                             "Int",
                                             "Frac",
                                             "Sqrt",
                                             "Abs",
                                             "Sin",
                                             "Cos",
                                             "ArcTan",
                                             "Tan",
                                             "Exp",
                                             "Ln",
                                             "Pi",
                                             "Inc",
                                             "Dec",
                                             "RaiseException",
                                             "ShowMessage",
                                             "Randomize",
                                             "Random",
                                             "ValidInt",
                                             "ValidFloat",
                                             "ValidDate",
                                             "CreateOleObject",
                                             "VarArrayCreate",
                                             "varEmpty",
                                             "varNull",
                                             "varSmallint",
                                             "varInteger",
                                             "varSingle",
                                             "varDouble",
                                             "varCurrency",
                                             "varDate",
                                             "varOleStr",
                                             "varDispatch",
                                             "varError",
                                             "varBoolean",
                                             "varVariant",
                                             "varUnknown",
                                             "varShortInt",
                                             "varByte",
                                             "varWord",
                                             "varLongWord",
                                             "varInt64",
                                             "varStrArg",
                                             "varString",
                                             "varAny",
                                             "varTypeMask",
                                             "varArray",
                                             "varByRef"};
  EXPECT_EQ(OwnItems(SysRtti()->Registrar()), expected);
}

TEST_F(SysRttiTest, DeclarationsAndCategoriesAreKeptAsWritten) {
  auto* del = dynamic_cast<TkvMethodHelper*>(GlobalScript()->FindItem(u"Delete"));
  ASSERT_NE(del, nullptr);
  EXPECT_EQ(ToUtf8(del->Declaration), "procedure Delete(var s: String; from, count: Integer)");
  EXPECT_EQ(ToUtf8(del->Category), "ctString");
  EXPECT_EQ(ToUtf8(del->Description), "Delete");
  auto* varToStr = dynamic_cast<TkvMethodHelper*>(GlobalScript()->FindItem(u"VarToStr"));
  ASSERT_NE(varToStr, nullptr);
  EXPECT_EQ(ToUtf8(varToStr->Category), "ctConv");
  auto* inc = dynamic_cast<TkvMethodHelper*>(GlobalScript()->FindItem(u"Inc"));
  ASSERT_NE(inc, nullptr);
  ASSERT_EQ(inc->ItemCount(), 2);
  EXPECT_TRUE(inc->ParamAt(0)->IsVar);
  EXPECT_EQ(inc->ParamAt(1)->DefaultValue.ToInt(), 1);
}

TEST_F(SysRttiTest, ConstantsAreReadOnlyIntegers) {
  TkvCustomVariable* byRef = GlobalScript()->FindItem(u"varByRef");
  ASSERT_NE(byRef, nullptr);
  EXPECT_TRUE(byRef->ReadOnly);
  EXPECT_EQ(byRef->Value.ToInt(), 16384);
  EXPECT_EQ(ToUtf8(byRef->TypeName), "Integer");
}

TEST_F(SysRttiTest, AnUnknownNameLeavesTheResultUnassigned) {
  TkvParams params;
  EXPECT_TRUE(SysRtti()->DispatchMethod(0, nullptr, u"NOSUCHROUTINE", params).IsEmpty());
}

TEST(SysRttiLifetime, CountsNestedStartsAndRemovesItsItemsAtTheLastStop) {
  StartSysRtti();
  StartSysRtti();
  TkvRegistrar registrar = SysRtti()->Registrar();
  StopSysRtti();
  EXPECT_NE(SysRtti(), nullptr);
  EXPECT_EQ(OwnItems(registrar).size(), 87u);
  StopSysRtti();
  EXPECT_EQ(SysRtti(), nullptr);
  EXPECT_EQ(GlobalScript()->FindItem(u"IntToStr"), nullptr);
  EXPECT_EQ(GlobalScript()->FindItem(u"varEmpty"), nullptr);
  EXPECT_NE(GlobalScript()->FindItem(u"True"), nullptr);
}

}  // namespace
}  // namespace kv
