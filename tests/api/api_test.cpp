// The embedding interface as a host program uses it: nothing but the public header.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <kvscript/kvscript.h>

#include <optional>
#include <vector>

using kv::UString;
using kv::Variant;

// A host class with a property, a method and an event.
class TTicker : public kv::TObject {
  KV_CLASS(TTicker, kv::TObject)

 public:
  int Count = 0;
  kv::TMethod OnTick;
  void Tick() {
    ++Count;
    kv::TEventArgs args{kv::TVarRec::Object(kv::HandleOf(this))};
    if (OnTick.Assigned()) OnTick.Code(args);
  }
};

KV_DEFINE_CLASS(TTicker, kv::TObject) {
  c.Constructor();
  c.Event("OnTick", "TNotifyEvent", &TTicker::OnTick);
}

namespace {

class ApiTest : public ::testing::Test {
 protected:
  kv::Engine engine_{kv::kCoreLibraries};
  kv::Script script_;

  void Compile(const char16_t* text) {
    kv::CompileResult result = script_.Compile(text);
    ASSERT_TRUE(result) << kv::ToUtf8(result.error.message);
  }
};

TEST_F(ApiTest, HostFunctionsAndClassesAreReachableWithoutSubclassing) {
  kv::HostLibrary& host = engine_.Host();
  host.Function(u"function Twice(i: Integer): Integer", u"host",
                [](kv::TkvParams& p) { return kv::IntArg(p, 0) * 2; });
  host.Const(u"Answer", u"Integer", Variant(42));
  host.Enum(u"TSize", u"szSmall, szLarge");
  host.Class<TTicker>(u"")
      .Constructor(u"constructor Create")
      .Method(u"procedure Tick", [](TTicker& self, kv::TkvParams&) { self.Tick(); })
      .Property(u"Count", u"Integer", [](TTicker& self) { return self.Count; })
      .Event(u"OnTick", kv::TkvNotifyEvent::New);
  Compile(
      u"var n, ticks, size: Integer; t: TTicker;\n"
      u"procedure Ticked(Sender: TObject); begin ticks := ticks + 1 end;\n"
      u"begin n := Twice(Answer); size := szLarge;\n"
      u"  t := TTicker.Create; t.OnTick := @Ticked; t.Tick; t.Tick; n := n + t.Count end.");
  script_.Run();
  EXPECT_EQ(script_.Global(u"n").ToInt(), 86);
  EXPECT_EQ(script_.Global(u"ticks").ToInt(), 2);
  EXPECT_EQ(script_.Global(u"size").ToInt(), 1);
}

TEST_F(ApiTest, CompileErrorsHaveTheirPlaceAndASecondCompileReplacesTheProgram) {
  kv::CompileResult bad = script_.Compile(u"var x: Integer;\nbegin\n  x := ;\nend.");
  ASSERT_FALSE(bad);
  EXPECT_EQ(bad.error.row, 3);
  EXPECT_GT(bad.error.column, 0);
  EXPECT_TRUE(bad.error.unit.empty());
  EXPECT_FALSE(bad.error.message.empty());

  // The same names again, after a failed and after a good compile: nothing of the earlier
  // program is left to clash with.
  Compile(u"var x: Integer; function F: Integer; begin Result := 1 end; begin x := F end.");
  Compile(u"var x: String; function F: Integer; begin Result := 2 end; begin x := 'a' end.");
  EXPECT_EQ(script_.Call(u"F").ToInt(), 2);
  script_.Run();
  EXPECT_EQ(script_.Global(u"x").ToString(), u"a");
}

TEST_F(ApiTest, CallByNameConvertsArgumentsToTheDeclaredTypes) {
  Compile(
      u"function Describe(n: Integer; s: String; f: Double): String;\n"
      u"begin Result := IntToStr(n * 2) + s + FloatToStr(f * 2) end;\n"
      u"var calls: Integer;\n"
      u"procedure Count; begin calls := calls + 1 end;\n"
      u"begin end.");
  EXPECT_EQ(
      script_.Call(u"Describe", {Variant(UString(u"20")), Variant(7), Variant(1.25)}).ToString(),
      u"4072.5");
  EXPECT_TRUE(script_.Call(u"count").IsNull());
  EXPECT_EQ(script_.Global(u"calls").ToInt(), 1);
  EXPECT_THROW(script_.Call(u"Describe", {Variant(1)}), kv::ScriptError);
  EXPECT_THROW(script_.Call(u"Missing"), kv::ScriptError);
  EXPECT_THROW(script_.Call(u"Describe", {Variant(UString(u"x")), Variant(1), Variant(1)}),
               kv::ScriptError);
}

TEST_F(ApiTest, GlobalsOfEveryKindAreReadAndWrittenAsTheScriptSeesThem) {
  Compile(
      u"var i: Integer; f: Double; b: Boolean; s: String; v: Variant;\n"
      u"function Seen: String;\n"
      u"begin Result := IntToStr(i) + ' ' + FloatToStr(f) + ' ' + VarToStr(b) + ' ' + s"
      u" + ' ' + VarToStr(v) end;\n"
      u"begin end.");
  script_.SetGlobal(u"i", Variant(UString(u"12")));
  script_.SetGlobal(u"f", Variant(0.5));
  script_.SetGlobal(u"b", Variant(true));
  script_.SetGlobal(u"s", Variant(UString(u"text")));
  script_.SetGlobal(u"v", Variant(UString(u"any")));
  EXPECT_EQ(script_.Call(u"Seen").ToString(), u"12 0.5 True text any");
  EXPECT_EQ(script_.Global(u"s").ToString(), u"text");
  EXPECT_TRUE(script_.Global(u"i").IsOrdinal());
  EXPECT_THROW(script_.Global(u"Seen"), kv::Exception);
  EXPECT_THROW(script_.SetGlobal(u"nothing", Variant(1)), kv::Exception);
}

TEST_F(ApiTest, RunTimeErrorsCarryTheRaisingStatementAndTheCallStack) {
  Compile(
      u"var d: Integer;\n"
      u"function Divide(n: Integer): Integer;\n"
      u"begin\n"
      u"  if n > 0 then\n"
      u"    Result := Divide(n - 1)\n"
      u"  else\n"
      u"    Result := 10 div d;\n"
      u"end;\n"
      u"begin\n"
      u"  d := 0;\n"
      u"  try d := 1 div d except end;\n"
      u"  d := Divide(1);\n"
      u"end.");
  auto stackOf = [](const kv::ScriptError& e) {
    std::vector<std::pair<UString, int>> levels;
    for (const kv::ScriptFrame& f : e.CallStack()) levels.emplace_back(f.routine, f.row);
    return levels;
  };
  using Levels = std::vector<std::pair<UString, int>>;
  std::optional<kv::ScriptError> error;
  try {
    script_.Run();
  } catch (const kv::ScriptError& e) {
    error = e;
  }
  ASSERT_TRUE(error);
  EXPECT_EQ(error->Row(), 7);
  EXPECT_GT(error->Column(), 0);
  EXPECT_TRUE(error->Unit().empty());
  EXPECT_EQ(stackOf(*error), (Levels{{u"Divide", 7}, {u"Divide", 5}, {u"", 12}}));

  // Called from the host, the stack ends with the routine called.
  error.reset();
  try {
    script_.Call(u"Divide", {Variant(0)});
  } catch (const kv::ScriptError& e) {
    error = e;
  }
  ASSERT_TRUE(error);
  EXPECT_EQ(stackOf(*error), (Levels{{u"Divide", 7}}));
}

TEST_F(ApiTest, RegistrationMistakesRaiseNamingTheDeclaration) {
  kv::HostLibrary& host = engine_.Host();
  auto messageOf = [](auto registerIt) {
    try {
      registerIt();
    } catch (const kv::Exception& e) {
      return kv::ToUtf8(e.Message());
    }
    return std::string("no error");
  };
  auto noop = [](kv::TkvParams&) {};
  using ::testing::HasSubstr;
  EXPECT_THAT(messageOf([&] { host.Function(u"procedure Show(s: String", u"", noop); }),
              HasSubstr("Show(s: String'"));
  EXPECT_THAT(messageOf([&] { host.Function(u"function Count: ", u"", noop); }),
              HasSubstr("'function Count: '"));
  host.Function(u"procedure Beep", u"", noop);
  EXPECT_THAT(messageOf([&] { host.Function(u"procedure beep(n: Integer)", u"", noop); }),
              HasSubstr("'procedure beep(n: Integer)'"));
  host.Const(u"Limit", u"Integer", Variant(1));
  EXPECT_THAT(messageOf([&] { host.Const(u"Limit", u"Integer", Variant(2)); }), HasSubstr("Limit"));
  auto ticker = host.Class<TTicker>(u"");
  ticker.Method(u"procedure Tick", [](TTicker&, kv::TkvParams&) {});
  EXPECT_THAT(messageOf([&] { ticker.Property(u"Tick", u"Integer", [](TTicker&) { return 0; }); }),
              HasSubstr("TTicker.Tick"));

  // A type name may be registered after a declaration names it, so the next compile checks
  // it (the start-up sequence does after each library), once.
  host.Function(u"function Half(i: Integr): Integer", u"", noop);
  kv::CompileResult result = script_.Compile(u"begin Beep end.");
  ASSERT_FALSE(result);
  EXPECT_THAT(kv::ToUtf8(result.error.message),
              HasSubstr("'function Half(i: Integr): Integer': unknown type Integr"));
  Compile(u"begin Beep end.");
}

TEST_F(ApiTest, ShowMessageGoesToTheHostsHandler) {
  std::vector<UString> shown;
  engine_.SetMessageHandlers([&](const UString& text) { shown.push_back(text); });
  Compile(u"begin ShowMessage('one'); ShowMessage(2) end.");
  script_.Run();
  EXPECT_EQ(shown, (std::vector<UString>{u"one", u"2"}));
}

}  // namespace
