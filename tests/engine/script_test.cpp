// The script object: scopes, registration, removal by registrar, compile and run, the
// per-statement hook, and the procedure call protocol.
#include <gtest/gtest.h>

#include "engine/kv_iconst.h"
#include "engine/kv_iinterpreter.h"
#include "tests/engine/core_fakes.h"

namespace kv::coretest {
namespace {

class ScriptTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitInterpreter();
    global_ = GlobalScript();
    script_.Parent = global_;
  }
  void TearDown() override {
    global_->RemoveOwnedBy(&libA_);
    global_->RemoveOwnedBy(&libB_);
  }

  TkvScript* global_ = nullptr;
  TkvScript script_;
  int libA_ = 0;
  int libB_ = 0;
};

TEST_F(ScriptTest, TheGlobalScriptHoldsTheBuiltInTypesThenFourConstants) {
  const std::vector<UString> types = {
      u"Byte",      u"Word",   u"Integer", u"Longint",  u"Cardinal", u"TColor", u"Boolean",
      u"Real",      u"Single", u"Double",  u"Extended", u"Currency", u"TDate",  u"TTime",
      u"TDateTime", u"Char",   u"String",  u"Variant",  u"Pointer",  u"Array",  u"Constructor"};
  const int first = 2;  // after the indexing helpers every script owns
  EXPECT_EQ(global_->ItemAt(0)->Name, u"__StringHelper");
  EXPECT_EQ(global_->ItemAt(1)->Name, u"__ArrayHelper");
  for (size_t i = 0; i < types.size(); ++i) {
    TkvCustomVariable* item = global_->ItemAt(first + int(i));
    EXPECT_EQ(item->Name, types[i]);
    EXPECT_NE(dynamic_cast<TkvTypeVariable*>(item), nullptr);
  }
  const int constants = first + int(types.size());
  EXPECT_EQ(global_->ItemAt(constants)->Name, u"True");
  EXPECT_EQ(global_->ItemAt(constants + 3)->Name, u"Null");
  TkvCustomVariable* nil = global_->FindItem(u"NIL");
  EXPECT_EQ(nil->Kind, vkVariant);
  EXPECT_EQ(nil->GetValue().RawInt(), 0);
  EXPECT_TRUE(nil->ReadOnly);
  nil->SetValue(Variant(5));  // constants ignore writes
  EXPECT_EQ(nil->GetValue().RawInt(), 0);
  EXPECT_TRUE(global_->FindItem(u"null")->GetValue().IsNull());
}

TEST_F(ScriptTest, LookUpIgnoresCaseAndWalksOutwardAndLocalItemsHideGlobalOnes) {
  global_->CurrentRegistrar = &libA_;
  global_->DefineFunction(u"function IntToStr(Value: Integer): String", nullptr, u"ctConv");
  global_->CurrentRegistrar = nullptr;
  auto* globalFn = dynamic_cast<TkvMethodHelper*>(script_.FindItem(u"inttostr"));
  ASSERT_NE(globalFn, nullptr);
  EXPECT_EQ(globalFn->Name, u"IntToStr");
  EXPECT_EQ(globalFn->Description, u"IntToStr");  // an empty description is the name
  EXPECT_EQ(globalFn->Category, u"ctConv");
  EXPECT_EQ(globalFn->Registrar, &libA_);
  EXPECT_EQ(globalFn->HostClass, nullptr);
  EXPECT_EQ(script_.FindLocalItem(u"IntToStr"), nullptr);

  auto* local = new TkvVariable(u"IntToStr", u"Integer", vkInteger);
  script_.AddItem(local);
  EXPECT_EQ(script_.FindItem(u"INTTOSTR"), local);
  EXPECT_EQ(script_.FindClass(u"IntToStr"), nullptr);  // found first, and no class
  EXPECT_EQ(script_.FindItem(u"NoSuchName"), nullptr);
  EXPECT_EQ(script_.FindItem(U("Привет")), nullptr);
  script_.AddItem(new TkvVariable(U("Привет"), u"", vkInteger));
  EXPECT_NE(script_.FindItem(U("ПРИВЕТ")), nullptr);  // Unicode case rules
}

// Large scopes are looked up by hash: the first item of a name must answer however items
// leave, and the next one of that name take over.
TEST_F(ScriptTest, TheFirstItemOfANameAnswersThroughRemovalsInALargeScope) {
  for (int i = 0; i < 100; ++i)
    script_.AddItem(new TkvVariable(u"Filler" + IntToUStr(i), u"", vkInteger));
  auto* owned = new TkvVariable(u"Dup", u"", vkInteger);
  owned->Registrar = &libA_;
  script_.AddItem(owned);
  auto* moved = new TkvVariable(u"dUP", u"", vkInteger);
  script_.AddItem(moved);
  auto* last = new TkvVariable(u"DUP", u"", vkInteger);
  script_.AddItem(last);
  EXPECT_EQ(script_.FindLocalItem(u"dup"), owned);
  EXPECT_EQ(script_.FindLocalItem(u"filler99"), script_.ItemAt(script_.ItemCount() - 4));

  script_.RemoveItem(moved);  // not the first: nothing changes
  EXPECT_EQ(script_.FindLocalItem(u"dup"), owned);
  script_.AddItem(moved);  // now after `last`
  script_.RemoveOwnedBy(&libA_);
  EXPECT_EQ(script_.FindLocalItem(u"Dup"), last);
  script_.RemoveItem(last);
  EXPECT_EQ(script_.FindLocalItem(u"Dup"), moved);
  delete last;

  script_.Clear();
  EXPECT_EQ(script_.FindLocalItem(u"Dup"), nullptr);
  EXPECT_EQ(script_.FindLocalItem(u"Filler0"), nullptr);
  EXPECT_EQ(script_.FindLocalItem(u"__ArrayHelper"), script_.ItemAt(1));
}

TEST_F(ScriptTest, NamesRegisteredTwiceRaiseAndAddNothingButATypeMayBeNamedAgain) {
  const int before = global_->ItemCount();
  global_->CurrentRegistrar = &libA_;
  EXPECT_EQ(RaisedBy<Exception>([&] { global_->DefineConst(u"TRUE", u"Integer", Variant(7)); }),
            "Bad declaration 'const TRUE: Integer': TRUE is already registered");
  EXPECT_EQ(RaisedBy<Exception>([&] { global_->DefineType(u"integer", vkFloat); }),
            "Bad declaration 'type integer': integer is already registered");
  global_->DefineType(u"integer", vkInteger);
  EXPECT_EQ(global_->ItemCount(), before);
  EXPECT_EQ(global_->FindItem(u"True")->Kind, vkBoolean);

  TkvClassVariable* first = global_->DefineClass(TFakeItem::StaticClass(), u"TComponent");
  EXPECT_NE(first, nullptr);
  EXPECT_EQ(global_->DefineClass(TFakeItem::StaticClass(), u"TComponent"), nullptr);
  TkvMethodHelper* once = global_->DefineFunction(u"procedure Twice", nullptr);
  EXPECT_EQ(RaisedBy<Exception>([&] { global_->DefineFunction(u"procedure twice", nullptr); }),
            "Bad declaration 'procedure twice': twice is already registered");
  EXPECT_EQ(RaisedBy<Exception>([&] { global_->DefineEnum(u"TWay", u"wayIn, Twice"); }),
            "Bad declaration 'type TWay = (wayIn, Twice)': Twice is already registered");
  global_->CurrentRegistrar = nullptr;
  EXPECT_EQ(global_->FindItem(u"Twice"), once);
  EXPECT_EQ(global_->ItemCount(), before + 2);
  EXPECT_EQ(RaisedBy<Exception>([&] { global_->DefineClass(nullptr, u""); }),
            "DefineClass needs a host class");
}

TEST_F(ScriptTest, EnumerationsAddTheirTypeThenTheirValues) {
  script_.CurrentRegistrar = &libA_;
  script_.DefineEnum(u"TAlign", u" alNone,alTop , alBottom,");
  script_.DefineFlagsEnum(u"TShiftState", u"ssShift, ssAlt, ssCtrl");
  TkvCustomVariable* type = script_.FindItem(u"TAlign");
  EXPECT_EQ(type->Kind, vkEnum);
  EXPECT_EQ(type->TypeName, u"TAlign");
  EXPECT_FALSE(type->ReadOnly);
  EXPECT_TRUE(type->GetValue().IsNull());
  EXPECT_EQ(script_.FindItem(u"alNone")->GetValue().RawInt(), 0);
  EXPECT_EQ(script_.FindItem(u"alBottom")->GetValue().RawInt(), 2);
  EXPECT_TRUE(script_.FindItem(u"alTop")->ReadOnly);
  EXPECT_EQ(script_.FindItem(u"alTop")->Registrar, &libA_);
  EXPECT_EQ(script_.FindItem(u"ssShift")->GetValue().RawInt(), 1);
  EXPECT_EQ(script_.FindItem(u"ssCtrl")->GetValue().RawInt(), 4);
  EXPECT_EQ(script_.FindItem(u"ssCtrl")->TypeName, u"TShiftState");

  UString many;
  for (int i = 0; i < 32; ++i) many += u"f" + IntToUStr(i) + u",";
  script_.DefineFlagsEnum(u"TWide", many);
  EXPECT_EQ(script_.FindItem(u"f31")->GetValue().RawInt(), INT32_MIN);
  EXPECT_EQ(RaisedBy<Exception>([&] { script_.DefineFlagsEnum(u"TTooWide", many + u"f32"); }),
            "The set type TTooWide has more than 32 elements");
}

TEST_F(ScriptTest, RemoveOwnedByTakesExactlyOneLibrarysItemsAndMembers) {
  const int builtins = global_->ItemCount();
  global_->CurrentRegistrar = &libA_;
  TkvClassVariable* item = global_->DefineClass(TFakeItem::StaticClass(), u"TComponent");
  TkvMethodHelper* itemsProp =
      item->DefineDefaultProperty(u"Items", u"Integer", false, nullptr, u"Variant");
  global_->DefineConst(u"LibAConst", u"Integer", Variant(1));
  global_->CurrentRegistrar = &libB_;
  TkvClassVariable* sub = global_->DefineClass(TFakeSub::StaticClass(), u"TFakeItem");
  EXPECT_EQ(sub->DefaultProperty, itemsProp);  // inherited at registration
  global_->DefineConst(u"LibBConst", u"Integer", Variant(2));
  item->MemberRegistrar = &libB_;  // B extends A's class
  item->DefineMethod(u"procedure AddedByB", nullptr);
  item->MemberRegistrar = &libA_;
  global_->CurrentRegistrar = nullptr;

  global_->RemoveOwnedBy(nullptr);  // nil owns nothing
  EXPECT_EQ(global_->ItemCount(), builtins + 4);

  global_->RemoveOwnedBy(&libA_);  // A first: B's descriptor forgets A's default property
  EXPECT_EQ(global_->FindItem(u"TFakeItem"), nullptr);
  EXPECT_EQ(global_->FindItem(u"LibAConst"), nullptr);
  ASSERT_EQ(global_->FindClass(u"TFakeSub"), sub);
  EXPECT_EQ(sub->DefaultProperty, nullptr);
  EXPECT_NE(global_->FindItem(u"LibBConst"), nullptr);

  global_->CurrentRegistrar = &libA_;
  item = global_->DefineClass(TFakeItem::StaticClass(), u"TComponent");
  global_->CurrentRegistrar = nullptr;
  item->MemberRegistrar = &libB_;
  item->DefineMethod(u"procedure AddedByB", nullptr);
  const int members = item->MemberCount();
  global_->RemoveOwnedBy(&libB_);
  EXPECT_EQ(global_->FindItem(u"TFakeSub"), nullptr);
  EXPECT_EQ(item->MemberCount(), members - 1);
  EXPECT_EQ(item->FindMember(u"AddedByB"), nullptr);
  EXPECT_EQ(global_->ItemCount(), builtins + 1);
  EXPECT_NE(global_->FindItem(u"Integer"), nullptr);
}

TEST_F(ScriptTest, ClearFreesItemsAndStatementsButKeepsSourceSettingsAndHelpers) {
  script_.Lines()->Add(u"begin end.");
  script_.SetSyntaxType(u"Other");
  script_.ErrorText = u"old";
  script_.AddItem(new TkvVariable(u"X", u"", vkInteger));
  script_.MainStatements()->AddItem(new TLambdaStmt(&script_, [] {}));
  script_.NoteCodeLine(u"", u"1:1");
  script_.Clear();
  EXPECT_EQ(script_.FindLocalItem(u"X"), nullptr);
  EXPECT_EQ(script_.MainStatements()->ItemCount(), 0);
  EXPECT_EQ(script_.CodeLines()->Count(), 0);
  EXPECT_EQ(script_.Lines()->Count(), 1);
  EXPECT_EQ(script_.SyntaxType(), u"Other");
  EXPECT_EQ(script_.ErrorText, u"old");
  EXPECT_EQ(script_.Parent, global_);
  ASSERT_EQ(script_.ItemCount(), 2);
  EXPECT_NE(dynamic_cast<TkvStringHelper*>(script_.FindLocalItem(u"__StringHelper")), nullptr);
  auto* arrays = dynamic_cast<TkvArrayHelper*>(script_.FindLocalItem(u"__ArrayHelper"));
  ASSERT_NE(arrays, nullptr);
  EXPECT_EQ(arrays->ItemCount(), 3);
  EXPECT_EQ(arrays->RequiredParamCount(), 1);
}

class FakeFrontEnd : public TkvFrontEnd {
 public:
  void Compile(TkvScript& script) override {
    ++compiles;
    script.ErrorText = error;
    script.ErrorPosition = error.empty() ? UString() : UString(u"3:9");
    if (raise) throw Exception(UString(u"Language 'X' not found"));
  }
  std::unique_ptr<TkvDesignator> CompileDeferred(TkvScript&, TkvDeferredCode&) override {
    return nullptr;
  }
  int compiles = 0;
  UString error;
  bool raise = false;
};

TEST_F(ScriptTest, CompileGoesThroughTheRegisteredFrontEnd) {
  SetFrontEnd(nullptr);
  EXPECT_EQ(RaisedBy<Exception>([&] { script_.Compile(); }), ToUtf8(msg::NoFrontEnd));
  FakeFrontEnd fe;
  SetFrontEnd(&fe);
  script_.ErrorText = u"stale";
  script_.ErrorPosition = u"1:1";
  EXPECT_TRUE(script_.Compile());
  EXPECT_EQ(script_.ErrorText, u"");
  EXPECT_EQ(script_.ErrorPosition, u"");
  fe.error = u"';' expected";
  EXPECT_FALSE(script_.Compile());
  EXPECT_EQ(script_.ErrorPosition, u"3:9");
  fe.raise = true;
  EXPECT_THROW(script_.Compile(), Exception);
  SetFrontEnd(nullptr);
  EXPECT_EQ(fe.compiles, 3);
}

TEST_F(ScriptTest, ExecuteResetsRunningAndExitAlsoWhenTheRunRaises) {
  bool sawRunning = false;
  script_.MainStatements()->AddItem(new TLambdaStmt(&script_, [&] {
    sawRunning = script_.Running;
    script_.ExitRequested = true;
    throw EAbort(UString(u"Operation aborted"));
  }));
  script_.BreakRequested = true;
  EXPECT_THROW(script_.Execute(), EAbort);
  EXPECT_TRUE(sawRunning);
  EXPECT_FALSE(script_.Running);
  EXPECT_FALSE(script_.ExitRequested);
  EXPECT_TRUE(script_.BreakRequested);  // break and continue are the loops' business
}

TEST_F(ScriptTest, CodeLinesListEachStatementLineOncePerUnit) {
  script_.NoteCodeLine(u"", u"3:5");
  script_.NoteCodeLine(u"", u"5:1");
  script_.NoteCodeLine(u"", u"3:9");
  script_.NoteCodeLine(u"Unit1", u"13:2");
  script_.NoteCodeLine(u"", u"9:1");
  script_.NoteCodeLine(u"unit1", u"1:2");
  ASSERT_EQ(script_.CodeLines()->Count(), 2);
  EXPECT_EQ(script_.CodeLines()->Get(0), u"=3,5,9,");
  EXPECT_EQ(script_.CodeLines()->Get(1), u"Unit1=13,1,");
  script_.NoteCodeLine(u"", u"33:1");  // "3," is inside "33," but is not that line
  EXPECT_EQ(script_.CodeLines()->Get(0), u"=3,5,9,33,");
}

TEST_F(ScriptTest, PublishedPropertiesAreLinesSyntaxTypeAndOnRunLine) {
  std::vector<UString> names;
  for (const TPropInfo* p : TkvScript::StaticClass()->Properties()) names.push_back(p->Name);
  ASSERT_GE(names.size(), 3u);
  EXPECT_EQ(std::vector<UString>(names.end() - 3, names.end()),
            (std::vector<UString>{u"Lines", u"SyntaxType", u"OnRunLine"}));
  const TPropInfo* syntax = TkvScript::StaticClass()->FindProperty(u"SyntaxType");
  EXPECT_EQ(syntax->GetStr(&script_), u"PascalScript");
  TStringList source;
  source.Add(u"line");
  TkvScript::StaticClass()->FindProperty(u"Lines")->SetOrd(&script_, source.Handle());
  EXPECT_EQ(script_.Lines()->Get(0), u"line");  // copied
  EXPECT_NE(script_.Lines(), &source);
  auto* owned = TkvScript::StaticClass()->Construct(&script_);
  EXPECT_EQ(script_.ComponentCount(), 1);
  EXPECT_EQ(owned->ClassType(), TkvScript::StaticClass());
}

TEST_F(ScriptTest, OnlyTheInnermostHookRunsWithTheStatementsOwnScriptAsSender) {
  std::vector<UString> seen;
  TkvScript* senderSeen = nullptr;
  script_.SetOnRunLine([&](TkvScript* sender, const UString& unit, const UString& pos) {
    senderSeen = sender;
    seen.push_back(unit + u"@" + pos);
  });
  bool globalCalled = false;
  global_->SetOnRunLine([&](TkvScript*, const UString&, const UString&) { globalCalled = true; });
  TkvProcVariable* proc = AddProc(script_, u"P", {}, [&](TkvProcVariable& self) {
    EXPECT_EQ(script_.ActiveLocalScript, self.LocalScript.get());
    self.LocalScript->ReportLine(u"", SourcePlace{7, 3});
  });
  proc->GetValue();
  script_.ReportLine(u"U", SourcePlace{1, 1});
  global_->SetOnRunLine(nullptr);
  EXPECT_FALSE(globalCalled);
  EXPECT_EQ(seen, (std::vector<UString>{u"@7:3", u"U@1:1"}));
  EXPECT_EQ(senderSeen, &script_);
  EXPECT_EQ(script_.ActiveLocalScript, nullptr);

  // Assigned as a published event instead: the hook receives packed arguments.
  TEventArgs received;
  script_.SetOnRunLine(nullptr);
  script_.OnRunLine = TMethod{[&](TEventArgs& args) { received = args; }, &received};
  script_.ReportLine(u"U", SourcePlace{2, 4});
  ASSERT_EQ(received.size(), 3u);
  EXPECT_EQ(received[0].VInt, script_.Handle());
  EXPECT_EQ(received[2].VString, u"2:4");

  // And through the published property, as a script or a form reader assigns it.
  const TPropInfo* event = TkvScript::StaticClass()->FindProperty(u"OnRunLine");
  event->SetMethod(&script_, TMethod{});
  EXPECT_FALSE(script_.OnRunLine.Assigned());
  event->SetMethod(&script_, TMethod{[&](TEventArgs& args) { received = args; }, &seen});
  EXPECT_EQ(event->GetMethod(&script_).Data, &seen);
  script_.ReportLine(u"U", SourcePlace{3, 5});
  EXPECT_EQ(received[2].VString, u"3:5");
}

// --- procedures ----------------------------------------------------------------------------

TEST_F(ScriptTest, AProcedureIsReadOnlyAndOwnsItsLocalScopeAndResult) {
  TkvProcVariable* fn = AddProc(
      script_, u"F", {u"A", u"var B"},
      [](TkvProcVariable& self) {
        self.RefItem->SetValue(Variant(self.ParamAt(0)->GetValue().ToInt() * 2));
        self.ParamAt(1)->SetValue(Variant(UString(u"changed")));
      },
      true);
  EXPECT_TRUE(fn->ReadOnly);
  EXPECT_EQ(fn->LocalScript->Parent, &script_);
  ASSERT_NE(fn->RefItem, nullptr);
  EXPECT_EQ(fn->RefItem->Name, u"Result");
  EXPECT_EQ(fn->LocalScript->FindLocalItem(u"result"), fn->RefItem);
  EXPECT_TRUE(fn->RefItem->GetValue().IsNull());  // Result starts Null
  EXPECT_EQ(fn->LocalScript->FindLocalItem(u"B"), fn->ParamAt(1));
  fn->ParamAt(0)->SetValue(Variant(21));
  EXPECT_EQ(fn->GetValue().RawInt(), 42);
  EXPECT_EQ(fn->ParamAt(1)->GetValue().ToString(), u"changed");
  EXPECT_EQ(fn->RefItem->GetValue().RawInt(), 42);  // one set of values: it stays
  EXPECT_FALSE(fn->Executing);

  TkvProcVariable* proc = AddProc(script_, u"P", {}, [](TkvProcVariable&) {});
  EXPECT_EQ(proc->RefItem, nullptr);
  EXPECT_TRUE(proc->GetValue().IsNull());
}

TEST_F(ScriptTest, ACallRestoresItsFlagsAndTheActiveLocalScriptWhenTheBodyRaises) {
  script_.SetOnRunLine([](TkvScript*, const UString&, const UString&) {});
  TkvScript* before = reinterpret_cast<TkvScript*>(&libA_);  // any marker value
  script_.ActiveLocalScript = before;
  TkvProcVariable* proc = AddProc(script_, u"P", {}, [](TkvProcVariable& self) {
    EXPECT_TRUE(self.Executing);
    EXPECT_TRUE(self.LocalScript->Running);
    self.LocalScript->ExitRequested = true;
    throw EConvertError(UString(u"boom"));
  });
  EXPECT_THROW(proc->GetValue(), EConvertError);
  EXPECT_FALSE(proc->Executing);
  EXPECT_FALSE(proc->LocalScript->Running);
  EXPECT_FALSE(proc->LocalScript->ExitRequested);
  EXPECT_EQ(script_.ActiveLocalScript, before);
  script_.ActiveLocalScript = nullptr;
}

TEST_F(ScriptTest, ExitInsideAProcedureEndsOnlyThatProcedure) {
  int after = 0;
  TkvProcVariable* proc = AddProc(
      script_, u"P", {}, [](TkvProcVariable& self) { self.LocalScript->ExitRequested = true; });
  proc->LocalScript->MainStatements()->AddItem(
      new TLambdaStmt(proc->LocalScript.get(), [&] { ++after; }));
  proc->GetValue();
  EXPECT_EQ(after, 0);
  EXPECT_FALSE(proc->LocalScript->ExitRequested);
  EXPECT_FALSE(script_.ExitRequested);
}

TEST_F(ScriptTest, SaveAndRestoreLocalsCoverVariablesParametersAndResultInItemOrder) {
  TkvProcVariable* fn = AddProc(
      script_, u"F", {u"N"}, [](TkvProcVariable&) {}, true);
  auto* text = new TkvstringVariable(u"S", u"String", vkString);
  fn->LocalScript->AddItem(text);
  auto* constant = new TkvVariable(u"K", u"Integer", vkInteger);
  constant->SetValue(Variant(9));
  constant->ReadOnly = true;
  fn->LocalScript->AddItem(constant);
  fn->RefItem->SetValue(Variant(1));
  fn->ParamAt(0)->SetValue(Variant(2));
  text->SetValue(Variant(UString(u"three")));

  std::vector<Variant> saved;
  fn->SaveLocals(saved);
  ASSERT_EQ(saved.size(), 4u);  // Result, N, S, K; the helpers hold no values
  fn->RefItem->SetValue(Variant(10));
  fn->ParamAt(0)->SetValue(Variant(20));
  text->SetValue(Variant(UString(u"thirty")));
  fn->RestoreLocals(saved);
  EXPECT_EQ(fn->RefItem->GetValue().RawInt(), 1);
  EXPECT_EQ(fn->ParamAt(0)->GetValue().RawInt(), 2);
  EXPECT_EQ(text->GetValue().ToString(), u"three");
  EXPECT_EQ(constant->GetValue().RawInt(), 9);
}

TEST_F(ScriptTest, StringVariablesShareTheirStorageWithTheValuesTheyHandOut) {
  TkvstringVariable s(u"S", u"String", vkString);
  EXPECT_EQ(s.GetValue().ToString(), u"");  // a fresh string variable is empty, not Null
  s.ReadOnly = true;
  s.SetValue(Variant(12));  // converted, and ReadOnly does not apply
  EXPECT_EQ(s.GetValue().ToString(), u"12");
  Variant shared(UString(u"shared text"));
  s.SetValue(shared);
  EXPECT_EQ(&s.Storage.Str(), &shared.RawString());
}

TEST_F(ScriptTest, RecursionBeyondTheDepthLimitRaisesStackOverflowAndUnwindsCleanly) {
  int deepest = 0;
  int depth = 0;
  TkvProcVariable* proc = AddProc(script_, u"Recurse", {}, [&](TkvProcVariable& self) {
    deepest = std::max(deepest, ++depth);
    struct Down {
      int& d;
      ~Down() { --d; }
    } down{depth};
    self.GetValue();
  });
  EXPECT_EQ(RaisedBy<EStackOverflow>([&] { proc->GetValue(); }), "Stack overflow");
  EXPECT_EQ(deepest, kMaxCallDepth);
  EXPECT_FALSE(proc->Executing);
  EXPECT_FALSE(proc->LocalScript->Running);
  // The limit is per nesting, not per run: the next call works again.
  TkvProcVariable* flat = AddProc(script_, u"Flat", {}, [](TkvProcVariable&) {});
  EXPECT_NO_THROW(flat->GetValue());
}

// The limit has to be the count, not the stack running out: recursion through real call
// statements nested in try statements, in whatever build this test runs.
TEST_F(ScriptTest, RecursionThroughStatementsStopsAtTheDepthLimit) {
  int depth = 0;
  int deepest = 0;
  TkvProcVariable* deep = AddProc(script_, u"Deep", {},
                                  [&](TkvProcVariable&) { deepest = std::max(deepest, ++depth); });
  TkvScript* local = deep->LocalScript.get();
  auto* outer = new TkvTryStmt(local, u"1:1", u"");
  outer->IsExcept = false;
  auto* inner = new TkvTryStmt(local, u"2:1", u"");
  inner->IsExcept = false;
  auto* call = new TkvCallStmt(local, u"3:1", u"");
  call->Designator.reset(new TkvDesignator(local));
  call->Designator->AddStep(deep, u"3:1");
  call->Designator->Classify();
  inner->AddItem(call);
  inner->HandlerStatements->AddItem(new TLambdaStmt(local, [&] { --depth; }));
  outer->AddItem(inner);
  local->MainStatements()->AddItem(outer);

  EXPECT_EQ(RaisedBy<EStackOverflow>([&] { deep->GetValue(); }), "Stack overflow");
  EXPECT_EQ(deepest, kMaxCallDepth);
  EXPECT_EQ(depth, 0);
  EXPECT_FALSE(deep->Executing);
}

}  // namespace
}  // namespace kv::coretest
