// TPersistent's Assign contract and TComponent's ownership and names.
#include "host/core/component.h"

#include <gtest/gtest.h>

#include <memory>

#include "host/core/handles.h"
#include "host/core/strings.h"
#include "tests/host_core/object_model_raises.h"

namespace kv {
namespace {

TEST(TComponentTest, AnOwnerFreesItsComponentsAndTheirsInTurn) {
  const size_t before = handles::LiveCount();
  auto* owner = new TComponent(nullptr);
  auto* child = new TComponent(owner);
  auto* grandchild = new TComponent(child);
  const int32_t childHandle = child->Handle();
  const int32_t grandchildHandle = grandchild->Handle();
  EXPECT_EQ(child->Owner(), owner);
  EXPECT_EQ(owner->ComponentCount(), 1);
  EXPECT_EQ(owner->Components(0), child);
  owner->Free();
  EXPECT_EQ(handles::Find(childHandle), nullptr);
  EXPECT_EQ(handles::Find(grandchildHandle), nullptr);
  EXPECT_EQ(handles::LiveCount(), before);
}

TEST(TComponentTest, AComponentFreedFirstLeavesItsOwnersList) {
  TComponent owner;
  auto* a = new TComponent(&owner);
  auto* b = new TComponent(&owner);
  auto* c = new TComponent(&owner);
  EXPECT_EQ(b->ComponentIndex(), 1);
  b->Free();
  ASSERT_EQ(owner.ComponentCount(), 2);
  EXPECT_EQ(owner.Components(0), a);
  EXPECT_EQ(owner.Components(1), c);
  EXPECT_EQ(c->ComponentIndex(), 1);
  EXPECT_EQ(owner.ComponentIndex(), -1);
}

TEST(TComponentTest, ComponentsChecksTheIndex) {
  TComponent owner;
  new TComponent(&owner);
  EXPECT_EQ(RaisedBy<EListError>([&] { owner.Components(1); }), "List index out of bounds (1)");
  EXPECT_EQ(RaisedBy<EListError>([&] { owner.Components(-1); }), "List index out of bounds (-1)");
}

TEST(TComponentTest, NamesAreIdentifiersUniqueAmongAnOwnersComponents) {
  TComponent owner;
  auto* button = new TComponent(&owner);
  auto* label = new TComponent(&owner);
  button->SetName(u"Button1");
  EXPECT_EQ(owner.FindComponent(u"BUTTON1"), button);
  EXPECT_EQ(owner.FindComponent(u"Label1"), nullptr);
  EXPECT_EQ(owner.FindComponent(u""), nullptr);  // unnamed components are not found

  EXPECT_EQ(RaisedBy<Exception>([&] { label->SetName(u"button1"); }),
            "A component named button1 already exists");
  EXPECT_EQ(label->Name(), u"");
  button->SetName(u"BUTTON1");  // its own name in another case
  EXPECT_EQ(button->Name(), u"BUTTON1");

  for (const char16_t* bad : {u"1st", u"with space", u"a-b", u"Кнопка"}) {
    EXPECT_EQ(RaisedBy<Exception>([&] { label->SetName(bad); }),
              "'" + ToUtf8(bad) + "' is not a valid component name");
  }
  label->SetName(u"_label_2");
  label->SetName(u"");
  EXPECT_EQ(label->Name(), u"");
}

TEST(TComponentTest, InsertComponentMovesOwnershipAndRefusesCycles) {
  TComponent first;
  TComponent second;
  auto* child = new TComponent(&first);
  child->SetName(u"Child");
  second.InsertComponent(child);
  EXPECT_EQ(child->Owner(), &second);
  EXPECT_EQ(first.ComponentCount(), 0);
  EXPECT_EQ(second.ComponentCount(), 1);

  auto* twin = new TComponent(&first);
  twin->SetName(u"child");
  EXPECT_EQ(RaisedBy<Exception>([&] { second.InsertComponent(twin); }),
            "A component named child already exists");
  EXPECT_EQ(twin->Owner(), &first);

  EXPECT_NE(RaisedBy<Exception>([&] { child->InsertComponent(&second); }), "<nothing raised>");
  EXPECT_NE(RaisedBy<Exception>([&] { child->InsertComponent(child); }), "<nothing raised>");
  EXPECT_NE(RaisedBy<EInvalidPointer>([&] { child->InsertComponent(nullptr); }),
            "<nothing raised>");

  first.RemoveComponent(child);  // not first's: ignored
  EXPECT_EQ(child->Owner(), &second);
  second.RemoveComponent(child);
  EXPECT_EQ(child->Owner(), nullptr);
  delete child;
}

TEST(TComponentTest, MetaclassConstructsWithAnOwnerAndPublishesNameAndTag) {
  TClass* cls = TComponent::StaticClass();
  EXPECT_TRUE(cls->IsComponentClass());
  TComponent owner;
  TObject* made = cls->Construct(&owner);
  ASSERT_EQ(owner.ComponentCount(), 1);
  EXPECT_EQ(owner.Components(0), made);

  ASSERT_EQ(cls->Properties().size(), 2u);
  const TPropInfo* name = cls->FindProperty(u"name");
  const TPropInfo* tag = cls->FindProperty(u"TAG");
  ASSERT_TRUE(name && tag);
  EXPECT_EQ(name->Kind, TTypeKind::tkLString);
  EXPECT_EQ(tag->Kind, TTypeKind::tkInteger);
  name->SetStr(made, u"Made");
  tag->SetOrd(made, 42);
  EXPECT_EQ(owner.FindComponent(u"made"), made);
  EXPECT_EQ(tag->GetOrd(made), 42);
  EXPECT_NE(RaisedBy<Exception>([&] { name->SetStr(made, u"no good"); }), "<nothing raised>");
}

// A component freed while it, or something it owns, is busy goes when the last busy scope
// ends; nested scopes hold it until the outermost one.
TEST(TComponentTest, FreeOfABusyComponentWaitsForTheLastBusyScope) {
  auto* owner = new TComponent();
  auto* part = new TComponent(owner);
  const int32_t ownerHandle = owner->Handle();
  {
    TBusyScope outer(*part);
    {
      TBusyScope inner(*part);
      owner->Free();  // in use through its part
      EXPECT_TRUE(owner->FreePending());
      owner->Free();  // a second Free changes nothing
    }
    EXPECT_EQ(handles::Find(ownerHandle), owner);
  }
  EXPECT_EQ(handles::Find(ownerHandle), nullptr);

  auto* lone = new TComponent();
  const int32_t loneHandle = lone->Handle();
  {
    TBusyScope busy(*lone);
    delete lone;  // destroyed by another route while busy: the scope leaves it alone
    EXPECT_FALSE(busy.Alive());
  }
  EXPECT_EQ(handles::Find(loneHandle), nullptr);
}

TEST(TPersistentTest, AssignWithoutAWayToCopyRaises) {
  TComponent target;
  TStringList source;
  EXPECT_EQ(RaisedBy<EConvertError>([&] { target.Assign(&source); }),
            "Cannot assign a TStringList to a TComponent");
  EXPECT_EQ(RaisedBy<EConvertError>([&] { target.Assign(nullptr); }),
            "Cannot assign a nil to a TComponent");
  EXPECT_EQ(RaisedBy<EConvertError>([&] { source.Assign(&target); }),
            "Cannot assign a TComponent to a TStringList");
}

}  // namespace
}  // namespace kv
