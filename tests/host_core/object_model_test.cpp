// Metaclasses, published properties of every kind, handles and destroy observers, on a small
// hierarchy of fake classes.
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <memory>
#include <vector>

#include "host/core/class_builder.h"
#include "host/core/handles.h"
#include "host/core/object.h"
#include "tests/host_core/object_model_raises.h"

namespace kv {
namespace {

enum class TFakeColor : uint8_t { fcRed, fcGreen, fcBlue };
enum class TFakeStyle : uint8_t { fsBold, fsItalic, fsUnderline };
using TFakeStyles = SetOf<TFakeStyle>;

class TFakeBase : public TObject {
  KV_CLASS(TFakeBase, TObject)

 public:
  int32_t Count() const { return count_; }
  void SetCount(int32_t v) { count_ = v; }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool v) { enabled_ = v; }
  const UString& Caption() const { return caption_; }
  void SetCaption(const UString& v) { caption_ = v; }

 private:
  int32_t count_ = 0;
  bool enabled_ = false;
  UString caption_;
};

class TFakeWidget : public TFakeBase {
  KV_CLASS(TFakeWidget, TFakeBase)

 public:
  uint8_t Level() const { return level_; }
  void SetLevel(uint8_t v) { level_ = v; }
  TFakeColor Color() const { return color_; }
  TFakeStyles Style() const { return style_; }
  void SetStyle(TFakeStyles v) { style_ = v; }
  float Scale() const { return scale_; }
  void SetScale(float v) { scale_ = v; }
  TFakeWidget* Buddy() const { return buddy_; }
  void SetBuddy(TFakeWidget* v) { buddy_ = v; }
  UString ShoutedCaption() const { return UpperCase(Caption()); }

  TMethod OnClick;
  char16_t letter = u'a';
  double ratio = 0;
  Variant data;
  int64_t big = 0;

 private:
  void SetColor(TFakeColor v) { color_ = v; }  // private: reachable from KV_DEFINE_CLASS

  uint8_t level_ = 0;
  TFakeColor color_ = TFakeColor::fcRed;
  TFakeStyles style_;
  float scale_ = 1;
  TFakeWidget* buddy_ = nullptr;
};

class TFakeAbstract : public TFakeBase {
  KV_CLASS(TFakeAbstract, TFakeBase)

 public:
  virtual void Paint() = 0;
};

class TFakeOther : public TObject {
  KV_CLASS(TFakeOther, TObject)
};

KV_DEFINE_CLASS(TFakeBase, TObject) {
  c.Constructor();
  c.Property("Count", &TFakeBase::Count, &TFakeBase::SetCount);
  c.Property("Enabled", &TFakeBase::Enabled, &TFakeBase::SetEnabled);
  c.Property("Caption", &TFakeBase::Caption, &TFakeBase::SetCaption);
}

KV_DEFINE_CLASS(TFakeWidget, TFakeBase) {
  c.Constructor();
  c.Property("Level", &TFakeWidget::Level, &TFakeWidget::SetLevel);
  c.Property("Letter", &TFakeWidget::letter, &TFakeWidget::letter);
  c.Property("Color", "TFakeColor", &TFakeWidget::Color, &TFakeWidget::SetColor);
  c.Property("Style", "TFakeStyles", &TFakeWidget::Style, &TFakeWidget::SetStyle);
  c.Property("Ratio", &TFakeWidget::ratio, &TFakeWidget::ratio);
  c.Property("Scale", &TFakeWidget::Scale, &TFakeWidget::SetScale);
  c.Property("Data", &TFakeWidget::data, &TFakeWidget::data);
  c.Property("Buddy", &TFakeWidget::Buddy, &TFakeWidget::SetBuddy);
  c.Property("Big", &TFakeWidget::big, [](TFakeWidget& w, int64_t v) { w.big = v; });
  // Redeclared: a read-only variant of the inherited property takes its place.
  c.Property("CAPTION", &TFakeWidget::ShoutedCaption);
  c.Event("OnClick", "TNotifyEvent", &TFakeWidget::OnClick);
}

KV_DEFINE_CLASS(TFakeAbstract, TFakeBase) {}
KV_DEFINE_CLASS(TFakeOther, TObject) { c.Constructor(); }

std::vector<UString> PropertyNames(const TClass* cls) {
  std::vector<UString> names;
  for (const TPropInfo* p : cls->Properties()) names.push_back(p->Name);
  return names;
}

const TPropInfo& Prop(const char16_t* name) {
  const TPropInfo* p = TFakeWidget::StaticClass()->FindProperty(name);
  if (!p) throw Exception(u"no property " + UString(name));
  return *p;
}

// --- metaclasses -------------------------------------------------------------------------

TEST(TClassTest, RegistryFindsClassesByNameIgnoringCaseAndById) {
  TClass* widget = TFakeWidget::StaticClass();
  EXPECT_EQ(widget->Name(), u"TFakeWidget");
  EXPECT_EQ(widget->Parent(), TFakeBase::StaticClass());
  EXPECT_EQ(TClass::Find(u"tfakewidget"), widget);
  EXPECT_EQ(TClass::Find(u"TObject"), TObject::StaticClass());
  EXPECT_EQ(TClass::Find(u"TNoSuchClass"), nullptr);
  EXPECT_EQ(TClass::ById(widget->Id()), widget);
  EXPECT_EQ(TClass::ById(0), nullptr);
  EXPECT_EQ(TClass::ById(-1), nullptr);
  EXPECT_EQ(TClass::ById(INT32_MAX), nullptr);
  EXPECT_NE(widget->Id(), TFakeBase::StaticClass()->Id());
}

TEST(TClassTest, NamesAreUniqueAndAGoneClassLeavesTheRegistry) {
  TFakeBase::StaticClass();  // metaclasses are made on first use
  EXPECT_EQ(RaisedBy<Exception>([] { TClass dup(u"TFAKEBASE", TObject::StaticClass()); }),
            "A class named TFAKEBASE is already declared");
  int32_t id = 0;
  {
    TClass local(u"TFakeLocal", TObject::StaticClass());
    id = local.Id();
    EXPECT_EQ(TClass::Find(u"TFakeLocal"), &local);
  }
  EXPECT_EQ(TClass::Find(u"TFakeLocal"), nullptr);
  EXPECT_EQ(TClass::ById(id), nullptr);
  EXPECT_EQ(handles::UnconstructedClass(handles::kUnconstructedBase + id), nullptr);
}

TEST(TClassTest, InheritsFromWalksTheAncestors) {
  TClass* widget = TFakeWidget::StaticClass();
  EXPECT_TRUE(widget->InheritsFrom(widget));
  EXPECT_TRUE(widget->InheritsFrom(TFakeBase::StaticClass()));
  EXPECT_TRUE(widget->InheritsFrom(TObject::StaticClass()));
  EXPECT_FALSE(TFakeBase::StaticClass()->InheritsFrom(widget));
  EXPECT_FALSE(widget->InheritsFrom(TFakeOther::StaticClass()));
  EXPECT_FALSE(widget->InheritsFrom(nullptr));
  TFakeWidget w;
  EXPECT_TRUE(w.Is<TFakeBase>());
  EXPECT_FALSE(w.Is<TFakeOther>());
  EXPECT_EQ(w.ClassName(), u"TFakeWidget");
}

TEST(TClassTest, ConstructBuildsTheClassOfTheMetaclassAndRefusesAbstractOnes) {
  std::unique_ptr<TObject> obj(TFakeWidget::StaticClass()->Construct());
  EXPECT_EQ(obj->ClassType(), TFakeWidget::StaticClass());
  EXPECT_FALSE(TFakeWidget::StaticClass()->IsComponentClass());

  EXPECT_FALSE(TFakeAbstract::StaticClass()->CanConstruct());
  EXPECT_EQ(RaisedBy<Exception>([] { TFakeAbstract::StaticClass()->Construct(); }),
            "Cannot create an instance of the abstract class TFakeAbstract");
}

TEST(TClassTest, PropertiesListAncestorsFirstAndRedeclarationsKeepTheirPlace) {
  EXPECT_EQ(PropertyNames(TFakeBase::StaticClass()),
            (std::vector<UString>{u"Count", u"Enabled", u"Caption"}));
  EXPECT_EQ(
      PropertyNames(TFakeWidget::StaticClass()),
      (std::vector<UString>{u"Count", u"Enabled", u"CAPTION", u"Level", u"Letter", u"Color",
                            u"Style", u"Ratio", u"Scale", u"Data", u"Buddy", u"Big", u"OnClick"}));
  EXPECT_TRUE(TFakeOther::StaticClass()->Properties().empty());
  EXPECT_EQ(TFakeWidget::StaticClass()->FindProperty(u"count"),
            TFakeBase::StaticClass()->FindProperty(u"COUNT"));
  EXPECT_EQ(TFakeWidget::StaticClass()->FindProperty(u"NoSuch"), nullptr);
  EXPECT_EQ(TFakeBase::StaticClass()->FindProperty(u"Level"), nullptr);

  TFakeWidget w;
  w.SetCaption(u"ok");
  EXPECT_EQ(TFakeBase::StaticClass()->FindProperty(u"Caption")->GetStr(&w), u"ok");
  EXPECT_EQ(Prop(u"caption").GetStr(&w), u"OK");
  EXPECT_FALSE(Prop(u"caption").SetStr);
}

TEST(TClassTest, AClassCannotPublishTheSameNameTwice) {
  TClass local(u"TFakeTwice", TObject::StaticClass());
  TPropInfo info;
  info.Name = u"Width";
  local.AddProperty(info);
  info.Name = u"WIDTH";
  EXPECT_EQ(RaisedBy<Exception>([&] { local.AddProperty(info); }),
            "Class TFakeTwice already publishes a property named WIDTH");
  info.Name.clear();
  EXPECT_NE(RaisedBy<Exception>([&] { local.AddProperty(info); }), "<nothing raised>");
}

// --- property kinds ----------------------------------------------------------------------

TEST(PublishedPropertyTest, KindsAndTypeNamesFollowTheValueType) {
  struct Expected {
    const char16_t* name;
    TTypeKind kind;
    const char16_t* typeName;
  };
  const Expected expected[] = {
      {u"Count", TTypeKind::tkInteger, u""},
      {u"Enabled", TTypeKind::tkEnumeration, u"Boolean"},
      {u"Caption", TTypeKind::tkLString, u""},
      {u"Level", TTypeKind::tkInteger, u""},
      {u"Letter", TTypeKind::tkChar, u""},
      {u"Color", TTypeKind::tkEnumeration, u"TFakeColor"},
      {u"Style", TTypeKind::tkSet, u"TFakeStyles"},
      {u"Ratio", TTypeKind::tkFloat, u""},
      {u"Data", TTypeKind::tkVariant, u""},
      {u"Buddy", TTypeKind::tkClass, u"TFakeWidget"},
      {u"Big", TTypeKind::tkInt64, u""},
      {u"OnClick", TTypeKind::tkMethod, u"TNotifyEvent"},
  };
  for (const Expected& e : expected) {
    SCOPED_TRACE(ToUtf8(e.name));
    EXPECT_EQ(Prop(e.name).Kind, e.kind);
    EXPECT_EQ(Prop(e.name).TypeName, e.typeName);
  }
  EXPECT_EQ(Prop(u"Buddy").PropClass, TFakeWidget::StaticClass());
}

TEST(PublishedPropertyTest, OrdinalKindsReadAndWriteIntegers) {
  TFakeWidget w;
  Prop(u"Count").SetOrd(&w, -7);
  EXPECT_EQ(w.Count(), -7);
  Prop(u"Enabled").SetOrd(&w, -1);  // any non-zero ordinal is True
  EXPECT_TRUE(w.Enabled());
  EXPECT_EQ(Prop(u"Enabled").GetOrd(&w), 1);
  Prop(u"Enabled").SetOrd(&w, 0);
  EXPECT_EQ(Prop(u"Enabled").GetOrd(&w), 0);
  Prop(u"Letter").SetOrd(&w, 0x0416);
  EXPECT_EQ(w.letter, u'\u0416');
  Prop(u"Color").SetOrd(&w, 2);
  EXPECT_EQ(w.Color(), TFakeColor::fcBlue);
  EXPECT_EQ(Prop(u"Color").GetOrd(&w), 2);
  Prop(u"Style").SetOrd(&w, 0b101);
  EXPECT_EQ(w.Style(), (TFakeStyles{TFakeStyle::fsBold, TFakeStyle::fsUnderline}));
  EXPECT_EQ(Prop(u"Style").GetOrd(&w), 0b101);
  Prop(u"Big").SetOrd(&w, INT64_C(1) << 40);
  EXPECT_EQ(Prop(u"Big").GetOrd(&w), INT64_C(1) << 40);
}

TEST(PublishedPropertyTest, OrdinalsOutsideTheTypeRaiseAndLeaveTheValue) {
  TFakeWidget w;
  w.SetLevel(9);
  EXPECT_EQ(RaisedBy<ERangeError>([&] { Prop(u"Level").SetOrd(&w, 256); }),
            "Range check error: 256 is outside the range 0..255 of property Level");
  EXPECT_NE(RaisedBy<ERangeError>([&] { Prop(u"Level").SetOrd(&w, -1); }), "<nothing raised>");
  EXPECT_EQ(w.Level(), 9);
  EXPECT_NE(RaisedBy<ERangeError>([&] { Prop(u"Count").SetOrd(&w, INT64_C(1) << 31); }),
            "<nothing raised>");
  EXPECT_NE(RaisedBy<ERangeError>([&] { Prop(u"Letter").SetOrd(&w, 0x10000); }),
            "<nothing raised>");
  EXPECT_NE(RaisedBy<ERangeError>([&] { Prop(u"Color").SetOrd(&w, 300); }), "<nothing raised>");
  EXPECT_NE(RaisedBy<ERangeError>([&] { Prop(u"Style").SetOrd(&w, INT64_C(1) << 32); }),
            "<nothing raised>");
}

TEST(PublishedPropertyTest, FloatStringAndVariantKinds) {
  TFakeWidget w;
  Prop(u"Ratio").SetFloat(&w, 2.5);
  EXPECT_EQ(Prop(u"Ratio").GetFloat(&w), 2.5);
  Prop(u"Scale").SetFloat(&w, 0.5);
  EXPECT_EQ(w.Scale(), 0.5f);
  EXPECT_EQ(RaisedBy<EOverflow>([&] { Prop(u"Scale").SetFloat(&w, 1e300); }),
            "Floating point overflow");
  EXPECT_EQ(w.Scale(), 0.5f);

  TFakeBase::StaticClass()->FindProperty(u"Caption")->SetStr(&w, u"Привет");
  EXPECT_EQ(w.Caption(), u"Привет");

  Prop(u"Data").SetVariant(&w, Variant(UString(u"text")));
  EXPECT_EQ(Prop(u"Data").GetVariant(&w).ToString(), u"text");
}

TEST(PublishedPropertyTest, ClassPropertiesTravelAsHandlesAndCheckThem) {
  TFakeWidget w;
  TFakeWidget buddy;
  const TPropInfo& p = Prop(u"Buddy");
  EXPECT_EQ(p.GetOrd(&w), 0);
  p.SetOrd(&w, buddy.Handle());
  EXPECT_EQ(w.Buddy(), &buddy);
  EXPECT_EQ(p.GetOrd(&w), buddy.Handle());

  TFakeOther other;
  EXPECT_EQ(RaisedBy<EInvalidCast>([&] { p.SetOrd(&w, other.Handle()); }),
            "Object of class TFakeOther is not a TFakeWidget");
  TFakeBase base;
  EXPECT_NE(RaisedBy<EInvalidCast>([&] { p.SetOrd(&w, base.Handle()); }), "<nothing raised>");
  EXPECT_NE(RaisedBy<EInvalidPointer>([&] { p.SetOrd(&w, 987654321); }), "<nothing raised>");
  EXPECT_NE(RaisedBy<EInvalidPointer>([&] { p.SetOrd(&w, INT64_C(1) << 40); }), "<nothing raised>");
  EXPECT_EQ(RaisedBy<EInvalidPointer>(
                [&] { p.SetOrd(&w, handles::Unconstructed(TFakeWidget::StaticClass())); }),
            "Object of class TFakeWidget is not constructed");
  EXPECT_EQ(w.Buddy(), &buddy);
  p.SetOrd(&w, 0);
  EXPECT_EQ(w.Buddy(), nullptr);
}

TEST(PublishedPropertyTest, EventsHoldAssignableMethods) {
  TFakeWidget w;
  const TPropInfo& p = Prop(u"OnClick");
  EXPECT_FALSE(p.GetMethod(&w).Assigned());
  int calls = 0;
  TMethod m;
  m.Code = [&](TEventArgs&) { ++calls; };
  m.Data = &calls;
  p.SetMethod(&w, m);
  ASSERT_TRUE(w.OnClick.Assigned());
  TEventArgs args;
  p.GetMethod(&w).Code(args);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(p.GetMethod(&w).Data, &calls);
  p.SetMethod(&w, TMethod{});
  EXPECT_FALSE(w.OnClick.Assigned());
}

TEST(PublishedPropertyTest, AccessorsCheckTheObjectTheyAreGiven) {
  TFakeBase base;
  EXPECT_EQ(RaisedBy<EInvalidCast>([&] { Prop(u"Level").GetOrd(&base); }),
            "Object of class TFakeBase is not a TFakeWidget");
  EXPECT_EQ(RaisedBy<EInvalidPointer>([&] { Prop(u"Level").GetOrd(nullptr); }),
            "Object reference is nil");
  EXPECT_FALSE(Prop(u"caption").SetStr);  // read-only: no setter to misuse
}

// --- handles -----------------------------------------------------------------------------

TEST(HandleTest, HandlesArePositiveIncreasingAndNeverReused) {
  auto first = std::make_unique<TFakeBase>();
  const int32_t freed = first->Handle();
  first.reset();
  TFakeBase second;
  TFakeBase third;
  EXPECT_GT(freed, 0);
  EXPECT_GT(second.Handle(), freed);
  EXPECT_GT(third.Handle(), second.Handle());
  EXPECT_LT(third.Handle(), handles::kUnconstructedBase);
  EXPECT_EQ(handles::Find(freed), nullptr);
}

TEST(HandleTest, LiveObjectsAreFoundAndCountedWhileTheyLive) {
  const size_t before = handles::LiveCount();
  auto w = std::make_unique<TFakeWidget>();
  EXPECT_EQ(handles::LiveCount(), before + 1);
  EXPECT_EQ(handles::Find(w->Handle()), w.get());
  EXPECT_EQ(handles::ToObject(w->Handle()), w.get());
  EXPECT_EQ(HandleTo<TFakeBase>(w->Handle()), w.get());
  EXPECT_EQ(HandleOf(w.get()), w->Handle());
  EXPECT_EQ(HandleOf(nullptr), 0);
  w.reset();
  EXPECT_EQ(handles::LiveCount(), before);
}

TEST(HandleTest, ZeroForgedStaleAndUnconstructedHandlesRaiseClearly) {
  EXPECT_EQ(handles::ToObjectOrNil(0), nullptr);
  EXPECT_EQ(HandleToOrNil<TFakeBase>(0), nullptr);
  EXPECT_EQ(RaisedBy<EInvalidPointer>([] { handles::ToObject(0); }), "Object reference is nil");
  EXPECT_EQ(RaisedBy<EInvalidPointer>([] { HandleTo<TFakeBase>(0); }), "Object reference is nil");

  for (int32_t forged : {-1, INT32_MIN, 987654321, handles::kLastObjectHandle}) {
    SCOPED_TRACE(forged);
    EXPECT_EQ(handles::Find(forged), nullptr);
    EXPECT_EQ(RaisedBy<EInvalidPointer>([&] { handles::ToObject(forged); }),
              "Invalid object reference (" + std::to_string(forged) +
                  "): the object does not exist or was freed");
  }

  const int32_t stale = std::make_unique<TFakeBase>()->Handle();
  EXPECT_EQ(RaisedBy<EInvalidPointer>([&] { HandleTo<TFakeBase>(stale); }),
            "Invalid object reference (" + std::to_string(stale) +
                "): the object does not exist or was freed");

  const int32_t blank = handles::Unconstructed(TFakeWidget::StaticClass());
  EXPECT_GE(blank, handles::kUnconstructedBase);
  EXPECT_EQ(handles::UnconstructedClass(blank), TFakeWidget::StaticClass());
  EXPECT_EQ(handles::Find(blank), nullptr);
  EXPECT_EQ(RaisedBy<EInvalidPointer>([&] { handles::ToObjectOrNil(blank); }),
            "Object of class TFakeWidget is not constructed");
  EXPECT_EQ(handles::UnconstructedClass(INT32_MAX), nullptr);
  EXPECT_EQ(handles::UnconstructedClass(1), nullptr);
  EXPECT_NE(RaisedBy<EInvalidPointer>([] { handles::ToObject(INT32_MAX); }), "<nothing raised>");
}

TEST(HandleTest, HandleToChecksTheClass) {
  TFakeBase base;
  EXPECT_EQ(RaisedBy<EInvalidCast>([&] { HandleTo<TFakeWidget>(base.Handle()); }),
            "Object of class TFakeBase is not a TFakeWidget");
  EXPECT_EQ(RaisedBy<EInvalidCast>([&] { HandleToOrNil<TFakeOther>(base.Handle()); }),
            "Object of class TFakeBase is not a TFakeOther");
}

TEST(HandleTest, RunningOutOfHandlesRaisesInsteadOfReusingOne) {
  // Forked, so the exhausted counter does not reach the other tests.
  EXPECT_EXIT(
      {
        handles::SkipHandlesForTesting(handles::kLastObjectHandle);
        TFakeBase last;
        if (last.Handle() != handles::kLastObjectHandle) std::exit(1);
        try {
          TFakeBase none;
        } catch (const EOutOfMemory& e) {
          std::exit(e.Message().starts_with(u"Out of object handles") ? 0 : 2);
        }
        std::exit(3);
      },
      testing::ExitedWithCode(0), "");
}

// --- destroy observers -------------------------------------------------------------------

void CreateAndFree() { TFakeBase temporary; }

// Adds an observer for the test's lifetime.
class ObserverScope {
 public:
  explicit ObserverScope(handles::DestroyObserver fn)
      : id_(handles::AddDestroyObserver(std::move(fn))) {}
  ~ObserverScope() { handles::RemoveDestroyObserver(id_); }
  int id() const { return id_; }

 private:
  int id_;
};

TEST(DestroyObserverTest, ObserversSeeTheObjectWhileItsHandleIsStillLive) {
  auto w = std::make_unique<TFakeWidget>();
  const int32_t handle = w->Handle();
  TObject* address = w.get();
  std::vector<std::string> log;
  ObserverScope first([&](TObject* obj) {
    if (obj->Handle() == handle)
      log.push_back(handles::Find(handle) == address ? "first: live" : "first: gone");
  });
  ObserverScope second([&](TObject* obj) {
    if (obj == address) log.push_back("second");
  });
  w.reset();
  EXPECT_EQ(log, (std::vector<std::string>{"first: live", "second"}));
  EXPECT_EQ(handles::Find(handle), nullptr);
}

TEST(DestroyObserverTest, RemovedObserversAreNotCalled) {
  int calls = 0;
  const int id = handles::AddDestroyObserver([&](TObject*) { ++calls; });
  CreateAndFree();
  EXPECT_EQ(calls, 1);
  handles::RemoveDestroyObserver(id);
  handles::RemoveDestroyObserver(id);  // twice: ignored
  handles::RemoveDestroyObserver(-42);
  CreateAndFree();
  EXPECT_EQ(calls, 1);
}

TEST(DestroyObserverTest, ObserversMayChangeTheObserversAndFreeObjects) {
  int selfCalls = 0;
  int laterCalls = 0;
  int victimCalls = 0;
  int selfId = 0;
  int victimId = 0;
  auto* extra = new TFakeBase;
  const int32_t extraHandle = extra->Handle();
  std::unique_ptr<ObserverScope> added;
  selfId = handles::AddDestroyObserver([&](TObject*) {
    ++selfCalls;
    handles::RemoveDestroyObserver(selfId);    // itself, while running
    handles::RemoveDestroyObserver(victimId);  // one that has not run yet
    added = std::make_unique<ObserverScope>([&](TObject*) { ++laterCalls; });
    delete extra;  // a nested destruction notifies too
  });
  victimId = handles::AddDestroyObserver([&](TObject*) { ++victimCalls; });
  CreateAndFree();
  EXPECT_EQ(selfCalls, 1);
  EXPECT_EQ(victimCalls, 0);
  EXPECT_EQ(laterCalls, 1);  // told about the nested destruction only
  EXPECT_EQ(handles::Find(extraHandle), nullptr);
  CreateAndFree();
  EXPECT_EQ(selfCalls, 1);
  EXPECT_EQ(laterCalls, 2);
}

TEST(DestroyObserverTest, AnObserverThatRaisesDoesNotStopTheOthers) {
  int calls = 0;
  ObserverScope raising([](TObject*) { throw Exception(u"observer failed"); });
  ObserverScope counting([&](TObject*) { ++calls; });
  auto w = std::make_unique<TFakeBase>();
  const int32_t handle = w->Handle();
  w.reset();
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(handles::Find(handle), nullptr);
}

}  // namespace
}  // namespace kv
