// The binding-library helper: registration with the library as registrar, dispatch by class
// and member name, checked instances, constructors of descendants, and the library lifetime.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

#include "engine/kv_iinterpreter.h"
#include "host/core/class_builder.h"
#include "rtti/kv_binding.h"
#include "tests/rtti/script_runner.h"

namespace kv {

class TTestCounter : public TObject {
  KV_CLASS(TTestCounter, TObject)

 public:
  int Value = 0;
  std::vector<UString> Names;
};

class TTestChild : public TTestCounter {
  KV_CLASS(TTestChild, TTestCounter)
};

class TTestOther : public TObject {
  KV_CLASS(TTestOther, TObject)
};

KV_DEFINE_CLASS(TTestCounter, TObject) { c.Constructor(); }
KV_DEFINE_CLASS(TTestChild, TTestCounter) { c.Constructor(); }
KV_DEFINE_CLASS(TTestOther, TObject) { c.Constructor(); }

namespace {

class TTestLibrary : public TkvBindingLibrary {
 public:
  TTestLibrary() : TkvBindingLibrary(u"test library") {
    Function(u"function Twice(i: Integer): Integer", u"ctTest",
             [](TkvParams& p) { return IntArg(p, 0) * 2; });
    Function(u"procedure Show(v: Variant)", u"ctTest",
             [](TkvParams& p) { MessageService().ShowMessage(StrArg(p, 0)); });
    Function(u"procedure Swap(var a, b: Integer)", u"ctTest",
             [](TkvParams& p) { std::swap(VarArg(p, 0), VarArg(p, 1)); });
    Const(u"TestAnswer", u"Integer", Variant(42));
    Enum(u"TTestColour", u"tcRed, tcGreen");

    auto c = Class<TTestCounter>(u"");
    c.Constructor(u"constructor Create");
    c.Method(u"procedure Add(n: Integer)",
             [](TTestCounter& self, TkvParams& p) { self.Value += IntArg(p, 0); });
    c.Method(u"procedure Free", [](TTestCounter& self, TkvParams&) { self.Free(); });
    c.ClassMethod(u"function ClassName: String",
                  [](TClass& cls, TkvParams&) { return cls.Name(); });
    c.Property(
        u"Value", u"Integer", [](TTestCounter& self) { return self.Value; },
        [](TTestCounter& self, const Variant& v) { self.Value = v.ToInt(); });
    c.Property(u"Doubled", u"Integer", [](TTestCounter& self) { return self.Value * 2; });
    c.DefaultProperty(
        u"Names", u"Integer", u"String",
        [](TTestCounter& self, TkvParams& p) {
          size_t i = static_cast<size_t>(IntArg(p, 0));
          return i < self.Names.size() ? self.Names[i] : UString(u"?");
        },
        [](TTestCounter& self, TkvParams& p, const Variant& v) {
          size_t i = static_cast<size_t>(IntArg(p, 0));
          if (self.Names.size() <= i) self.Names.resize(i + 1);
          self.Names[i] = v.ToString();
        });

    Class<TTestChild>(u"TTestCounter")
        .Method(u"function Hello: String",
                [](TTestChild& self, TkvParams&) { return u"child " + IntToUStr(self.Value); });
    Class<TTestOther>(u"").Constructor(u"constructor Create");
  }
};

// Registers one routine twice: a programming error caught at start-up.
class TClashingLibrary : public TkvBindingLibrary {
 public:
  TClashingLibrary() : TkvBindingLibrary(u"clashing library") {
    Function(u"function Clash: Integer", u"", [](TkvParams&) { return 1; });
    Function(u"function Clash: Integer", u"", [](TkvParams&) { return 2; });
  }
};

class Engine : public ::testing::Environment {
 public:
  void SetUp() override { StartTestEngine(); }
  void TearDown() override { StopTestEngine(); }
};
const auto* const kEngine = ::testing::AddGlobalTestEnvironment(new Engine);

class BindingTest : public ::testing::Test {
 protected:
  void SetUp() override { library_.Start(); }
  void TearDown() override { library_.Stop(); }
  TkvLibraryHolder<TTestLibrary> library_;
};

TEST_F(BindingTest, FunctionsConstantsAndEnumerationsBelongToTheLibrary) {
  EXPECT_EQ(RunScript("begin Show(Twice(21)); Show(TestAnswer); Show(tcGreen) end."),
            "42\n42\n1\n");
  EXPECT_EQ(RunScript("var a, b: Integer; begin a := 1; b := 2; Swap(a, b); Show(a); Show(b) end."),
            "2\n1\n");
}

TEST_F(BindingTest, RegistrationStampsTheLibraryAndRestoresTheRegistrar) {
  TkvScript* global = GlobalScript();
  EXPECT_EQ(global->CurrentRegistrar, nullptr);
  TkvCustomVariable* twice = global->FindItem(u"twice");
  ASSERT_NE(twice, nullptr);
  EXPECT_EQ(twice->Registrar, library_.Instance()->Registrar());
  EXPECT_EQ(static_cast<TkvMethodHelper*>(twice)->Category, u"ctTest");
  TkvClassVariable* counter = global->FindClass(u"TTestCounter");
  ASSERT_NE(counter, nullptr);
  for (int i = 0; i < counter->MemberCount(); ++i)
    EXPECT_EQ(counter->MemberAt(i)->Registrar, library_.Instance()->Registrar())
        << ToUtf8(counter->MemberAt(i)->Name);
}

TEST_F(BindingTest, MembersDispatchByClassAndName) {
  EXPECT_EQ(RunScript(R"(
    var c: TTestChild;
    begin
      c := TTestChild.Create;
      c.Add(5);
      c.Value := c.Value + 1;
      c[0] := 'zero';
      c.Names[2] := 'two';
      Show(c.ClassName + ' ' + c.Hello);
      Show(c.Doubled);
      Show(c[0] + c[1] + c.Names[2]);
      Show(TTestCounter.ClassName);
      c.Free;
    end.)"),
            "TTestChild child 6\n12\nzerotwo\nTTestCounter\n");
}

TEST_F(BindingTest, ConstructorsBuildTheClassTheScriptNamed) {
  RunScript("begin end.");  // the first compile loads the grammar, whose items are objects
  size_t before = handles::LiveCount();
  EXPECT_EQ(RunScript(R"(
    var c: TTestCounter;
    begin
      c := TTestChild.Create;
      Show(c.ClassName);
      c.Free;
    end.)"),
            "TTestChild\n");
  EXPECT_EQ(handles::LiveCount(), before);
}

TEST_F(BindingTest, BadInstancesRaiseClearErrors) {
  const std::string declare = "var c: TTestCounter; begin ";
  EXPECT_THAT(RunScript(declare + "c := TTestCounter.Create; c.Free; c.Add(1) end."),
              ::testing::MatchesRegex("error: Invalid object reference \\([0-9]+\\): the object "
                                      "does not exist or was freed"));
  EXPECT_EQ(RunScript(declare + "c := nil; c.Add(1) end."), "error: Object reference is nil");
  EXPECT_EQ(RunScript(declare + "c := TTestCounter(TTestOther.Create); c.Add(1) end."),
            "error: Object of class TTestOther is not a TTestCounter");
  EXPECT_EQ(RunScript(declare + "c := TTestCounter(123456); c.Value := 1 end."),
            "error: Invalid object reference (123456): the object does not exist or was freed");
  EXPECT_EQ(RunScript(declare + "TTestCounter.Add(1) end."),
            "error: Object of class TTestCounter is not constructed");
  EXPECT_EQ(RunScript(declare + "c := TTestCounter.Create; c.Create end."),
            "error: Constructor CREATE called on an existing object: call it on the class, as "
            "in TTestCounter.CREATE");
  EXPECT_EQ(RunScript(declare + "c := TTestCounter(TTestOther.Create); c := c.Create end."),
            "error: Constructor CREATE called on an existing object: call it on the class, as "
            "in TTestCounter.CREATE");
}

TEST_F(BindingTest, ARegistrationMistakeFailsTheStartAndLeavesNothingBehind) {
  TkvLibraryHolder<TClashingLibrary> clashing;
  try {
    clashing.Start();
    FAIL() << "no exception";
  } catch (const Exception& e) {
    EXPECT_EQ(ToUtf8(e.Message()),
              "Bad declaration 'function Clash: Integer': Clash is already registered");
  }
  EXPECT_EQ(clashing.Instance(), nullptr);
  EXPECT_EQ(GlobalScript()->FindItem(u"Clash"), nullptr);
  EXPECT_EQ(GlobalScript()->CurrentRegistrar, nullptr);
}

TEST(BindingLifetime, NestedStartsCountAndTheLastStopRemovesTheItems) {
  TkvLibraryHolder<TTestLibrary> library;
  library.Stop();  // unbalanced: nothing happens
  library.Start();
  TTestLibrary* first = library.Instance();
  library.Start();
  EXPECT_EQ(library.Instance(), first);
  library.Stop();
  EXPECT_NE(GlobalScript()->FindItem(u"Twice"), nullptr);
  library.Stop();
  EXPECT_EQ(library.Instance(), nullptr);
  EXPECT_EQ(GlobalScript()->FindItem(u"Twice"), nullptr);
  EXPECT_EQ(GlobalScript()->FindClass(u"TTestCounter"), nullptr);
  EXPECT_NE(GlobalScript()->FindItem(u"Integer"), nullptr);  // built-in types stay
}

}  // namespace
}  // namespace kv
