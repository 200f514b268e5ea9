// Class descriptors, member helpers and event adapters against the fake host classes, with
// a binding-style callback that dispatches on upper-case member names.
#include <gtest/gtest.h>

#include "engine/kv_iconst.h"
#include "engine/kv_iinterpreter.h"
#include "host/core/handles.h"
#include "tests/engine/core_fakes.h"

namespace kv::coretest {
namespace {

struct Call {
  int32_t instance;
  TClass* cls;
  UString name;
  TkvParams params;
};

class HelpersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitInterpreter();
    global_ = GlobalScript();
    script_.Parent = global_;
    global_->CurrentRegistrar = &library_;
    itemClass_ = global_->DefineClass(TFakeItem::StaticClass(), u"TComponent");
    subClass_ = global_->DefineClass(TFakeSub::StaticClass(), u"TFakeItem");
    strangerClass_ = global_->DefineClass(TFakeStranger::StaticClass(), u"TObject");
    global_->CurrentRegistrar = nullptr;
  }
  void TearDown() override { global_->RemoveOwnedBy(&library_); }

  // The binding's one method callback: records the call and answers by name.
  TkvMethodCallback Recorder() {
    return [this](int32_t instance, TClass* cls, const UString& name, TkvParams& params) {
      calls_.push_back({instance, cls, name, params});
      if (name == u"ITEMS.GET") return Variant(u"item " + params[0].ToString());
      if (name == u"FIND") {
        params[1] = Variant(5);
        return Variant(true);
      }
      if (name == u"CREATE") {
        TClass* wanted = handles::UnconstructedClass(instance);
        return Variant(HandleOf(wanted->Construct(nullptr)));
      }
      if (name == u"FAIL") {
        params[0] = Variant(99);
        throw EListError(UString(u"List index out of bounds (3)"));
      }
      return Variant();
    };
  }

  // The helper the compiler would place as the step after an object.
  template <class H>
  H* Member(TkvClassVariable* cls, const char16_t* name, const TObject* obj) {
    auto* helper = dynamic_cast<H*>(cls->FindMember(name));
    if (!helper) throw Exception(u"no member " + UString(name));
    helper->InstanceValue = Variant(HandleOf(obj));
    helper->Script = &script_;
    return helper;
  }

  TkvScript* global_ = nullptr;
  TkvScript script_;
  TkvClassVariable* itemClass_ = nullptr;
  TkvClassVariable* subClass_ = nullptr;
  TkvClassVariable* strangerClass_ = nullptr;
  std::vector<Call> calls_;
  int library_ = 0;
};

// --- class descriptors ---------------------------------------------------------------------

TEST_F(HelpersTest, PublishedPropertiesComeFirstInHostOrderWithTheirKinds) {
  std::vector<UString> names;
  for (int i = 0; i < subClass_->MemberCount(); ++i) names.push_back(subClass_->MemberAt(i)->Name);
  EXPECT_EQ(names, (std::vector<UString>{u"Name", u"Tag", u"Caption", u"Count", u"Enabled",
                                         u"Ratio", u"Color", u"Child", u"Data", u"Big", u"Extra"}));
  auto kindOf = [&](const char16_t* name) { return subClass_->FindMember(name)->Kind; };
  EXPECT_EQ(kindOf(u"Caption"), vkString);
  EXPECT_EQ(kindOf(u"Count"), vkInteger);
  EXPECT_EQ(kindOf(u"Enabled"), vkBoolean);
  EXPECT_EQ(subClass_->FindMember(u"Enabled")->TypeName, u"Boolean");
  EXPECT_EQ(kindOf(u"Ratio"), vkFloat);
  EXPECT_EQ(kindOf(u"Color"), vkEnum);
  EXPECT_EQ(subClass_->FindMember(u"Color")->TypeName, u"TFakeColor");
  EXPECT_EQ(kindOf(u"Child"), vkClass);
  EXPECT_EQ(subClass_->FindMember(u"Child")->TypeName, u"TFakeItem");
  EXPECT_EQ(kindOf(u"Data"), vkVariant);
  EXPECT_EQ(kindOf(u"Big"), vkInteger);
  EXPECT_TRUE(subClass_->FindMember(u"Big")->ReadOnly);
  EXPECT_EQ(subClass_->FindMember(u"OnClick"), nullptr);  // events come from the binding
  EXPECT_EQ(subClass_->Name, u"TFakeSub");
  EXPECT_EQ(subClass_->Kind, vkClass);
  ASSERT_EQ(subClass_->ItemCount(), 1);  // the cast parameter
  EXPECT_TRUE(subClass_->ParamAt(0)->Optional);
}

TEST_F(HelpersTest, FindMemberSearchesOwnMembersThenTheAncestorsByRegisteredName) {
  global_->CurrentRegistrar = &library_;
  TkvClassVariable* component = global_->DefineClass(TComponent::StaticClass(), u"TObject");
  TkvClassVariable* object = global_->DefineClass(TObject::StaticClass(), u"");
  global_->CurrentRegistrar = nullptr;
  object->DefineMethod(u"procedure Free", nullptr);
  // A published property already has the name: a member of the same name could never be
  // reached.
  EXPECT_THROW(itemClass_->DefineMethod(u"function Caption: String", nullptr), Exception);
  EXPECT_EQ(subClass_->FindMember(u"free"), object->MemberAt(0));
  EXPECT_EQ(itemClass_->FindMember(u"caption")->Kind, vkString);
  EXPECT_NE(dynamic_cast<TkvPropertyHelper*>(itemClass_->FindMember(u"Caption")), nullptr);
  EXPECT_EQ(subClass_->FindMember(u"NoSuchMember"), nullptr);
  EXPECT_NE(component->FindMember(u"Free"), nullptr);

  subClass_->AncestorName = u"TUnregistered";  // the chain stops there
  EXPECT_EQ(subClass_->FindMember(u"Free"), nullptr);
  subClass_->AncestorName = u"TFakeSub";  // a cycle ends too
  EXPECT_EQ(subClass_->FindMember(u"Free"), nullptr);
}

TEST_F(HelpersTest, TheBareClassYieldsAnUnconstructedInstanceAndACastItsArgument) {
  Variant bare = itemClass_->GetValue();
  EXPECT_EQ(handles::UnconstructedClass(bare.ToInt()), TFakeItem::StaticClass());
  itemClass_->ParamAt(0)->SetValue(Variant(1234));
  EXPECT_EQ(itemClass_->GetValue().RawInt(), 1234);
  EXPECT_TRUE(itemClass_->ParamAt(0)->GetValue().IsNull());  // reset for the next use
  EXPECT_EQ(handles::UnconstructedClass(itemClass_->GetValue().ToInt()), TFakeItem::StaticClass());
}

TEST_F(HelpersTest, ConstructorsAreFunctionsOfKindConstructorAndGetTheFreshInstance) {
  TkvMethodHelper* create =
      subClass_->DefineConstructor(u"constructor Create(AOwner: TComponent)", Recorder());
  EXPECT_EQ(create->Name, u"Create");
  EXPECT_EQ(create->Kind, vkConstructor);
  EXPECT_EQ(create->TypeName, u"Constructor");
  ASSERT_EQ(create->ItemCount(), 1);
  EXPECT_EQ(create->ParamAt(0)->Name, u"AOwner");
  EXPECT_TRUE(create->ReadOnly);
  EXPECT_EQ(create->Declaration, u"function Create(AOwner: TComponent): Constructor");

  create->InstanceValue = subClass_->GetValue();
  create->ParamAt(0)->SetValue(Variant(0));
  const int32_t handle = create->GetValue().ToInt();
  std::unique_ptr<TObject> made(handles::ToObject(handle));
  EXPECT_EQ(made->ClassType(), TFakeSub::StaticClass());
  EXPECT_EQ(calls_.back().cls, TFakeSub::StaticClass());
}

// --- properties ----------------------------------------------------------------------------

TEST_F(HelpersTest, PublishedPropertiesReadAndWriteTheObjectsActualClass) {
  TFakeSub obj;
  auto* caption = Member<TkvPropertyHelper>(itemClass_, u"Caption", &obj);
  caption->SetValue(Variant(42));
  EXPECT_EQ(obj.Caption, u"42");
  EXPECT_EQ(caption->GetValue().ToString(), u"42");

  auto* enabled = Member<TkvPropertyHelper>(itemClass_, u"Enabled", &obj);
  enabled->SetValue(Variant(-1));
  EXPECT_TRUE(obj.Enabled);
  Variant read = enabled->GetValue();
  EXPECT_EQ(read.Type(), varBoolean);
  EXPECT_TRUE(read.RawBool());
  enabled->SetValue(Variant(0));
  EXPECT_FALSE(obj.Enabled);

  auto* ratio = Member<TkvPropertyHelper>(itemClass_, u"Ratio", &obj);
  ratio->SetValue(Variant(UString(u"2.5")));
  EXPECT_DOUBLE_EQ(obj.Ratio, 2.5);

  TFakeItem other;
  auto* child = Member<TkvPropertyHelper>(itemClass_, u"Child", &obj);
  child->SetValue(Variant(other.Handle()));
  EXPECT_EQ(obj.Child, &other);
  EXPECT_EQ(child->GetValue().RawInt(), other.Handle());
  TFakeStranger stranger;
  EXPECT_THROW(child->SetValue(Variant(stranger.Handle())), EInvalidCast);
  child->SetValue(Variant(0));
  EXPECT_EQ(obj.Child, nullptr);

  auto* big = Member<TkvPropertyHelper>(itemClass_, u"Big", &obj);
  obj.Big = int64_t{1} << 40;
  EXPECT_EQ(big->GetValue().Type(), varDouble);  // does not fit an Integer
  big->SetValue(Variant(1));                     // read-only: ignored
  EXPECT_EQ(obj.Big, int64_t{1} << 40);

  auto* extra = Member<TkvPropertyHelper>(subClass_, u"Extra", &obj);
  extra->SetValue(Variant(UString(u"x")));
  EXPECT_EQ(obj.Extra, u"x");
}

TEST_F(HelpersTest, MembersRefuseNilStaleForeignAndUnconstructedInstances) {
  TFakeStranger stranger;
  auto* count = Member<TkvPropertyHelper>(itemClass_, u"Count", &stranger);
  EXPECT_EQ(RaisedBy<EInvalidCast>([&] { count->GetValue(); }),
            "Object of class TFakeStranger is not a TFakeItem");
  count->InstanceValue = Variant(0);
  EXPECT_THROW(count->GetValue(), EInvalidPointer);
  count->InstanceValue = Variant(0x7ffffff0);
  EXPECT_THROW(count->SetValue(Variant(1)), EInvalidPointer);
  count->InstanceValue = itemClass_->GetValue();
  EXPECT_THROW(count->GetValue(), EInvalidPointer);
  count->InstanceValue = Variant::Null();
  EXPECT_THROW(count->GetValue(), EVariantError);
}

TEST_F(HelpersTest, GetterAndSetterCallbacksGetTheUpperCaseNameAndBooleansAreAnyNonZero) {
  std::vector<UString> names;
  Variant answer(-1);
  Variant stored;
  TkvCustomVariable* visible = itemClass_->DefineProperty(
      u"Visible", u"Boolean",
      [&](int32_t, TClass* cls, const UString& name) {
        EXPECT_EQ(cls, TFakeItem::StaticClass());
        names.push_back(name);
        return answer;
      },
      [&](int32_t, TClass*, const UString& name, const Variant& v) {
        names.push_back(name);
        stored = v;
      });
  TkvCustomVariable* width = itemClass_->DefineProperty(
      u"Width", u"Integer", [](int32_t i, TClass*, const UString&) { return Variant(i); }, nullptr);
  EXPECT_EQ(visible->Kind, vkBoolean);
  EXPECT_FALSE(visible->ReadOnly);
  EXPECT_TRUE(width->ReadOnly);
  TFakeItem obj;
  auto* helper = Member<TkvPropertyHelper>(itemClass_, u"visible", &obj);
  EXPECT_TRUE(helper->GetValue().RawBool());
  answer = Variant(0);
  EXPECT_FALSE(helper->GetValue().RawBool());
  answer = Variant::Null();
  EXPECT_TRUE(helper->GetValue().IsNull());
  helper->SetValue(Variant(true));
  EXPECT_EQ(names, (std::vector<UString>{u"VISIBLE", u"VISIBLE", u"VISIBLE", u"VISIBLE"}));
  EXPECT_TRUE(stored.RawBool());
  EXPECT_EQ(Member<TkvPropertyHelper>(itemClass_, u"Width", &obj)->GetValue().RawInt(),
            obj.Handle());
}

// --- methods and indexed properties --------------------------------------------------------

TEST_F(HelpersTest, IndexedPropertiesCallGetAndSetWithTheIndexAndTheValue) {
  TkvMethodHelper* items =
      itemClass_->DefineDefaultProperty(u"Items", u"Integer", false, Recorder(), u"String");
  EXPECT_EQ(items->Declaration, u"function Items(p0: Integer): String");
  EXPECT_EQ(itemClass_->DefaultProperty, items);
  TFakeItem obj;
  items->InstanceValue = Variant(obj.Handle());
  items->ParamAt(0)->SetValue(Variant(2));
  EXPECT_EQ(items->GetValue().ToString(), u"item 2");
  items->SetValue(Variant(UString(u"X")));
  ASSERT_EQ(calls_.size(), 2u);
  EXPECT_EQ(calls_[0].name, u"ITEMS.GET");
  EXPECT_EQ(calls_[0].instance, obj.Handle());
  EXPECT_EQ(calls_[0].params.size(), 1u);
  EXPECT_EQ(calls_[1].name, u"ITEMS.SET");
  ASSERT_EQ(calls_[1].params.size(), 2u);
  EXPECT_EQ(calls_[1].params[0].RawInt(), 2);
  EXPECT_EQ(calls_[1].params[1].ToString(), u"X");

  TkvMethodHelper* cells =
      itemClass_->DefineIndexedProperty(u"Cells", u"Integer, Integer", true, Recorder(), u"String");
  EXPECT_EQ(cells->Declaration, u"function Cells(p0: Integer; p1: Integer): String");
  EXPECT_TRUE(cells->IsIndexedProperty);
  cells->SetValue(Variant(1));  // read-only: no call
  EXPECT_EQ(calls_.size(), 2u);
  TkvMethodHelper* count =
      itemClass_->DefineIndexedProperty(u"Total", u"", true, Recorder(), u"Integer");
  EXPECT_EQ(count->ItemCount(), 0);
}

TEST_F(HelpersTest, MethodCallsWriteVarParametersBackButNotWhenTheCallbackRaises) {
  TkvMethodHelper* find = itemClass_->DefineMethod(
      u"function Find(s: String; var Index: Integer): Boolean", Recorder());
  TkvMethodHelper* fail = itemClass_->DefineMethod(u"procedure Fail(var X: Integer)", Recorder());
  find->InstanceValue = Variant::Null();  // a preceding Null is instance 0
  find->ParamAt(0)->SetValue(Variant(UString(u"b")));
  find->ParamAt(1)->SetValue(Variant(-1));
  EXPECT_TRUE(find->GetValue().RawBool());
  EXPECT_EQ(find->ParamAt(1)->GetValue().RawInt(), 5);
  EXPECT_EQ(calls_.back().instance, 0);
  EXPECT_EQ(calls_.back().name, u"FIND");

  fail->ParamAt(0)->SetValue(Variant(1));
  EXPECT_THROW(fail->GetValue(), EListError);
  EXPECT_EQ(fail->ParamAt(0)->GetValue().RawInt(), 1);

  TkvMethodHelper* silent = itemClass_->DefineMethod(u"function Silent: Integer", nullptr);
  EXPECT_EQ(silent->GetValue().RawInt(), 0);
  silent->SetValue(Variant(3));  // not an indexed property: ignored
}

// --- arrays and strings --------------------------------------------------------------------

TEST_F(HelpersTest, ArrayElementsOfOneToThreeDimensionsAreReadAndWrittenInPlace) {
  auto* arrays = dynamic_cast<TkvArrayHelper*>(script_.FindItem(u"__ArrayHelper"));
  TkvVariable cube(u"A", u"Array", vkArray);
  cube.Value = Variant::Array({{0, 1}, {1, 2}, {-1, 1}});
  arrays->ParentRef = &cube;
  arrays->ParamAt(0)->SetValue(Variant(1));
  arrays->ParamAt(1)->SetValue(Variant(2));
  arrays->ParamAt(2)->SetValue(Variant(-1));
  EXPECT_TRUE(arrays->GetValue().IsEmpty());  // declared arrays start with Empty elements
  const VarArrayData* body = cube.Value.ArrayData();
  arrays->SetValue(Variant(UString(u"corner")));
  EXPECT_EQ(cube.Value.ArrayData(), body);  // written in place, no copy
  const int32_t at[] = {1, 2, -1};
  EXPECT_EQ(cube.Value.Element(at, 3).ToString(), u"corner");
  EXPECT_EQ(arrays->GetValue().ToString(), u"corner");

  Variant sharedCopy = cube.Value;  // value semantics: the copy keeps the old element
  arrays->SetValue(Variant(7));
  EXPECT_EQ(sharedCopy.Element(at, 3).ToString(), u"corner");

  arrays->ParamAt(1)->SetValue(Variant(3));
  EXPECT_EQ(RaisedBy<EVariantError>([&] { arrays->GetValue(); }),
            "Variant or safe array index out of bounds");

  TkvVariable four(u"F", u"Array", vkArray);
  four.Value = Variant::Array({{0, 1}, {0, 1}, {0, 1}, {0, 1}});
  arrays->ParentRef = &four;  // the shared helper takes three indices at most
  EXPECT_EQ(RaisedBy<EVariantError>([&] { arrays->GetValue(); }),
            "The array has 4 dimensions, but 3 indices were given");
  EXPECT_EQ(RaisedBy<EVariantError>([&] { arrays->SetValue(Variant(1)); }),
            "The array has 4 dimensions, but 3 indices were given");

  TkvVariable scalar(u"V", u"Variant", vkVariant);
  scalar.Value = Variant(5);
  arrays->ParentRef = &scalar;
  EXPECT_EQ(RaisedBy<EVariantError>([&] { arrays->GetValue(); }), "Variant is not an array");
}

TEST_F(HelpersTest, AnArrayHeldOnlyByThePrecedingValueIsWrittenBackWhole) {
  auto* arrays = dynamic_cast<TkvArrayHelper*>(script_.FindItem(u"__ArrayHelper"));
  Variant written;
  TkvCustomVariable* data = itemClass_->DefineProperty(
      u"Values", u"Array", [](int32_t, TClass*, const UString&) { return Variant(); },
      [&](int32_t, TClass*, const UString&, const Variant& v) { written = v; });
  arrays->ParentRef = data;
  arrays->InstanceValue = Variant::ArrayOf({Variant(1), Variant(2)});
  arrays->ParamAt(0)->SetValue(Variant(1));
  EXPECT_EQ(arrays->GetValue().RawInt(), 2);
  arrays->InstanceValue = Variant::ArrayOf({Variant(1), Variant(2)});
  arrays->SetValue(Variant(20));
  const int32_t one = 1;
  EXPECT_EQ(written.Element(&one, 1).RawInt(), 20);
}

TEST_F(HelpersTest, StringCharactersAreOneBasedAndWritesGoThroughTheParent) {
  auto* chars = dynamic_cast<TkvStringHelper*>(script_.FindItem(u"__StringHelper"));
  EXPECT_EQ(chars->Kind, vkChar);
  EXPECT_EQ(chars->RequiredParamCount(), 1);
  TkvstringVariable s(u"S", u"String", vkString);
  s.SetValue(Variant(U("Привет")));
  Variant other = s.GetValue();
  chars->ParentRef = &s;
  chars->InstanceValue = s.GetValue();
  chars->ParamAt(0)->SetValue(Variant(2));
  EXPECT_EQ(chars->GetValue().ToString(), U("р"));
  chars->SetValue(Variant(UString(u"AB")));
  EXPECT_EQ(s.GetValue().ToString(), U("ПAивет"));
  EXPECT_EQ(other.ToString(), U("Привет"));  // the other holder of the text is untouched

  chars->InstanceValue = s.GetValue();
  chars->ParamAt(0)->SetValue(Variant(7));
  EXPECT_EQ(RaisedBy<ERangeError>([&] { chars->GetValue(); }), "String index out of range (7)");
  chars->ParamAt(0)->SetValue(Variant(0));
  EXPECT_EQ(RaisedBy<ERangeError>([&] { chars->SetValue(Variant(UString(u"x"))); }),
            "String index out of range (0)");
  chars->ParamAt(0)->SetValue(Variant(1));
  EXPECT_EQ(RaisedBy<EConvertError>([&] { chars->SetValue(Variant(UString())); }),
            "Cannot assign an empty string to a character");
  EXPECT_EQ(s.GetValue().ToString(), U("ПAивет"));

  chars->InstanceValue = Variant(12345);  // a number is indexed as its text
  chars->ParamAt(0)->SetValue(Variant(5));
  EXPECT_EQ(chars->GetValue().ToString(), u"5");
}

// --- events --------------------------------------------------------------------------------

class EventsTest : public HelpersTest {
 protected:
  void SetUp() override {
    HelpersTest::SetUp();
    itemClass_->DefineEvent(u"OnClick", &NewPlainAdapter);
    itemClass_->DefineEvent(u"OnKey", &NewPlainAdapter);
    obj_ = new TFakeItem();
  }
  void TearDown() override {
    delete obj_;
    HelpersTest::TearDown();
  }

  void Assign(const char16_t* event, const Variant& handler, TObject* obj = nullptr) {
    auto* helper = Member<TkvEventHelper>(itemClass_, event, obj ? obj : obj_);
    helper->SetValue(handler);
  }
  int AdapterCount() const { return GlobalEventList()->ItemCount(); }

  TFakeItem* obj_ = nullptr;
  std::vector<int32_t> senders_;
};

TEST_F(EventsTest, AssigningAProcedureNameConnectsItAndNilDetachesIt) {
  AddProc(script_, u"ItemClick", {u"Sender"},
          [&](TkvProcVariable& self) { senders_.push_back(self.ParamAt(0)->GetValue().ToInt()); });
  const int before = AdapterCount();
  auto* helper = Member<TkvEventHelper>(itemClass_, u"OnClick", obj_);
  EXPECT_EQ(helper->Kind, vkString);
  EXPECT_EQ(helper->GetValue().ToString(), u"");
  Assign(u"OnClick", Variant(UString(u"itemclick")));
  EXPECT_EQ(AdapterCount(), before + 1);
  obj_->Click();
  obj_->Click();
  EXPECT_EQ(senders_, (std::vector<int32_t>{obj_->Handle(), obj_->Handle()}));

  Assign(u"OnClick", Variant(0));
  EXPECT_FALSE(obj_->OnClick.Assigned());
  EXPECT_EQ(AdapterCount(), before);
}

TEST_F(EventsTest, AHandlerMustNameAScriptProcedure) {
  script_.AddItem(new TkvVariable(u"NotAProc", u"Integer", vkInteger));
  const std::string expected = ToUtf8(msg::EventHandlerMustBeProc);
  EXPECT_EQ(RaisedBy<Exception>([&] { Assign(u"OnClick", Variant(UString(u"NoSuchProc"))); }),
            expected);
  EXPECT_EQ(RaisedBy<Exception>([&] { Assign(u"OnClick", Variant(UString(u"NotAProc"))); }),
            expected);
  EXPECT_FALSE(obj_->OnClick.Assigned());
  TkvCustomVariable* bogus = itemClass_->DefineEvent(u"OnNothing", &NewPlainAdapter);
  (void)bogus;
  EXPECT_EQ(RaisedBy<Exception>([&] { Assign(u"OnNothing", Variant(0)); }),
            "Class TFakeItem has no event OnNothing");
}

TEST_F(EventsTest, ReassigningReplacesTheAdapterOfThatEventOnly) {
  int first = 0, second = 0;
  AddProc(script_, u"First", {u"Sender"}, [&](TkvProcVariable&) { ++first; });
  AddProc(script_, u"Second", {u"Sender"}, [&](TkvProcVariable&) { ++second; });
  TFakeItem other;
  const int before = AdapterCount();
  Assign(u"OnClick", Variant(UString(u"First")));
  Assign(u"OnClick", Variant(UString(u"First")), &other);
  Assign(u"OnClick", Variant(UString(u"Second")));
  EXPECT_EQ(AdapterCount(), before + 2);
  obj_->Click();
  other.Click();
  EXPECT_EQ(first, 1);
  EXPECT_EQ(second, 1);
}

TEST_F(EventsTest, VarParametersAreWrittenBackAndADroppedDeliveryLeavesThemAlone) {
  int calls = 0;
  AddProc(script_, u"KeyDown", {u"Sender", u"var Key", u"Shift"}, [&](TkvProcVariable& self) {
    ++calls;
    EXPECT_EQ(self.ParamAt(2)->GetValue().RawInt(), 1);
    // Re-entered while running: the host's key must come back unchanged.
    EXPECT_EQ(obj_->PressKey(65, 1), 65);
    self.ParamAt(1)->SetValue(Variant(0));
  });
  Assign(u"OnKey", Variant(UString(u"KeyDown")));
  EXPECT_EQ(obj_->PressKey(13, 1), 0);
  EXPECT_EQ(calls, 1);

  AddProc(script_, u"KeyByValue", {u"Sender", u"Key"},
          [](TkvProcVariable& self) { self.ParamAt(1)->SetValue(Variant(0)); });
  Assign(u"OnKey", Variant(UString(u"KeyByValue")));
  EXPECT_EQ(obj_->PressKey(13, 0), 13);  // not a var parameter: nothing written back
}

TEST_F(EventsTest, AHandlerWithMoreParametersThanTheEventPassesRaisesAtDelivery) {
  AddProc(script_, u"Greedy", {u"Sender", u"Extra"}, [](TkvProcVariable&) {});
  Assign(u"OnClick", Variant(UString(u"Greedy")));
  EXPECT_EQ(RaisedBy<Exception>([&] { obj_->Click(); }),
            "Event handler 'Greedy' declares more parameters than its event passes");
}

TEST_F(EventsTest, HandlerExceptionsReachTheHostsCaller) {
  AddProc(script_, u"Broken", {u"Sender"}, [](TkvProcVariable&) {
    throw EConvertError(UString(u"'x' is not a valid integer value"));
  });
  Assign(u"OnClick", Variant(UString(u"Broken")));
  EXPECT_THROW(obj_->Click(), EConvertError);
}

TEST_F(EventsTest, FreeingTheObjectRemovesItsAdapters) {
  AddProc(script_, u"ItemClick", {u"Sender"}, [](TkvProcVariable&) {});
  const int before = AdapterCount();
  auto* doomed = new TFakeItem();
  Assign(u"OnClick", Variant(UString(u"ItemClick")), doomed);
  Assign(u"OnKey", Variant(UString(u"ItemClick")), doomed);
  EXPECT_EQ(AdapterCount(), before + 2);
  doomed->Free();
  EXPECT_EQ(AdapterCount(), before);
}

TEST_F(EventsTest, ClearingTheScriptQuietsTheEventInsteadOfCallingAFreedProcedure) {
  int calls = 0;
  AddProc(script_, u"ItemClick", {u"Sender"}, [&](TkvProcVariable&) { ++calls; });
  const int before = AdapterCount();
  Assign(u"OnClick", Variant(UString(u"ItemClick")));
  obj_->Click();
  script_.Clear();
  EXPECT_EQ(AdapterCount(), before);
  EXPECT_TRUE(obj_->OnClick.Assigned());  // the object keeps its method ...
  obj_->Click();                          // ... which finds no adapter and does nothing
  EXPECT_EQ(calls, 1);
}

TEST_F(EventsTest, AHandlerMayFreeItsOwnObjectOrReassignItsOwnEvent) {
  TFakeItem* victim = new TFakeItem();
  AddProc(script_, u"FreeSender", {u"Sender"}, [](TkvProcVariable& self) {
    handles::ToObject(self.ParamAt(0)->GetValue().ToInt())->Free();
  });
  Assign(u"OnKey", Variant(UString(u"FreeSender")), victim);
  TEventArgs args{TVarRec::Object(victim->Handle()), TVarRec::Integer(1), TVarRec::Integer(0)};
  TMethod method = victim->OnKey;  // the host holds its own copy while it delivers
  method.Code(args);
  EXPECT_EQ(handles::Find(args[0].VInt), nullptr);

  int calls = 0;
  AddProc(script_, u"Other", {u"Sender"}, [&](TkvProcVariable&) { ++calls; });
  AddProc(script_, u"Switch", {u"Sender", u"var Key"}, [&](TkvProcVariable& self) {
    Assign(u"OnKey", Variant(UString(u"Other")));
    self.ParamAt(1)->SetValue(Variant(5));
  });
  Assign(u"OnKey", Variant(UString(u"Switch")));
  EXPECT_EQ(obj_->PressKey(1, 0), 1);  // its adapter is gone: nothing to write back from
  obj_->PressKey(1, 0);
  EXPECT_EQ(calls, 1);
}

}  // namespace
}  // namespace kv::coretest
