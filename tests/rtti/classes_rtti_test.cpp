// The core classes library: what it registers and in which order, and the members whose
// work is more than a forward to the host (construction, Free, var results, streams of XML
// documents), run through the engine and the PascalScript front end.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/kv_iinterpreter.h"
#include "host/core/class_builder.h"
#include "host/core/strings.h"
#include "rtti/kv_iclassesrtti.h"
#include "rtti/kv_isysrtti.h"
#include "tests/rtti/script_runner.h"
#include "xml/kv_xml.h"

namespace kv {

// A component class that another library registers without a constructor of its own: its
// scripts construct it through TComponent's.
class TTestGadget : public TComponent {
  KV_CLASS(TTestGadget, TComponent)

 public:
  using TComponent::TComponent;
};

KV_DEFINE_CLASS(TTestGadget, TComponent) { c.Constructor(); }

namespace {

using ::testing::AllOf;
using ::testing::HasSubstr;
using ::testing::StartsWith;

class TGadgetLibrary : public TkvBindingLibrary {
 public:
  TGadgetLibrary() : TkvBindingLibrary(u"gadgets") { Class<TTestGadget>(u"TComponent"); }
};

class Engine : public ::testing::Environment {
 public:
  void SetUp() override {
    StartTestEngine();
    StartSysRtti();
    StartClassesRtti();
    gadgets_.Start();
  }
  void TearDown() override {
    gadgets_.Stop();
    StopClassesRtti();
    StopSysRtti();
    StopTestEngine();
  }

 private:
  TkvLibraryHolder<TGadgetLibrary> gadgets_;
};
const auto* const kEngine = ::testing::AddGlobalTestEnvironment(new Engine);

TkvRegistrar Library() { return ClassesRtti()->Registrar(); }

// "Name(Ancestor)" of every class the library registered, in order.
std::vector<std::string> RegisteredClasses() {
  std::vector<std::string> classes;
  TkvScript* global = GlobalScript();
  for (int i = 0; i < global->ItemCount(); ++i) {
    auto* cls = dynamic_cast<TkvClassVariable*>(global->ItemAt(i));
    if (cls && cls->Registrar == Library())
      classes.push_back(ToUtf8(cls->Name) + "(" + ToUtf8(cls->AncestorName) + ")");
  }
  return classes;
}

// The names of the members the library defined on a class, in order (published properties
// come from the host and precede them).
std::vector<std::string> DefinedMembers(UStringView className) {
  std::vector<std::string> members;
  TkvClassVariable* cls = GlobalScript()->FindClass(className);
  if (!cls) return members;
  for (int i = 0; i < cls->MemberCount(); ++i) {
    TkvCustomVariable* member = cls->MemberAt(i);
    if (member->Registrar == Library()) members.push_back(ToUtf8(member->Name));
  }
  return members;
}

TEST(ClassesRttiRegistration, ClassesComeInOrderWithTheirAncestors) {
  EXPECT_EQ(RegisteredClasses(),
            (std::vector<std::string>{"TObject()", "TPersistent(TObject)", "TList(TObject)",
                                      "TStrings(TPersistent)", "TStringList(TStrings)",
                                      "TStream(TObject)", "TFileStream(TStream)",
                                      "TMemoryStream(TStream)", "TComponent(TPersistent)",
                                      "TkvXMLItem(TObject)", "TkvXMLDocument(TObject)"}));
  // The default property of TStrings is inherited by TStringList.
  EXPECT_EQ(GlobalScript()->FindClass(u"TStringList")->DefaultProperty,
            GlobalScript()->FindClass(u"TStrings")->DefaultProperty);
}

TEST(ClassesRttiRegistration, MembersComeInDeclarationOrder) {
  EXPECT_EQ(DefinedMembers(u"TObject"), (std::vector<std::string>{"Create", "Free", "ClassName"}));
  EXPECT_EQ(DefinedMembers(u"TStringList"),
            (std::vector<std::string>{"Find", "Sort", "Duplicates", "Sorted", "CaseSensitive"}));
  EXPECT_EQ(DefinedMembers(u"TStream"),
            (std::vector<std::string>{"Read", "Write", "Seek", "CopyFrom", "Position", "Size"}));
  EXPECT_EQ(DefinedMembers(u"TComponent"), (std::vector<std::string>{"Create", "Owner"}));
  const std::vector<std::string> strings = DefinedMembers(u"TStrings");
  ASSERT_GE(strings.size(), 20u);
  EXPECT_EQ(strings[0], "Add");
  EXPECT_EQ(strings[19], "Text");

  TkvClassVariable* stream = GlobalScript()->FindClass(u"TStream");
  auto* read = static_cast<TkvMethodHelper*>(stream->FindMember(u"Read"));
  EXPECT_TRUE(read->ParamAt(0)->IsVar);  // scripts receive the bytes read
  EXPECT_TRUE(GlobalScript()->FindClass(u"TStrings")->FindMember(u"Names")->ReadOnly);
  EXPECT_TRUE(stream->FindMember(u"Size")->ReadOnly);
}

TEST(ClassesRttiRegistration, ConstantsAndTheDuplicatesEnumeration) {
  const std::vector<std::pair<const char16_t*, int32_t>> constants = {
      {u"fmCreate", 65535},     {u"fmOpenRead", 0},        {u"fmOpenWrite", 1},
      {u"fmOpenReadWrite", 2},  {u"fmShareExclusive", 16}, {u"fmShareDenyWrite", 32},
      {u"fmShareDenyNone", 64}, {u"soFromBeginning", 0},   {u"soFromCurrent", 1},
      {u"soFromEnd", 2},        {u"dupIgnore", 0},         {u"dupAccept", 1},
      {u"dupError", 2}};
  for (const auto& [name, value] : constants) {
    TkvCustomVariable* item = GlobalScript()->FindItem(name);
    ASSERT_NE(item, nullptr) << ToUtf8(name);
    EXPECT_EQ(item->Value.ToInt(), value) << ToUtf8(name);
    EXPECT_TRUE(item->ReadOnly);
    EXPECT_EQ(item->Registrar, Library());
  }
}

TEST(ClassesRttiConstruction, TheClassTheScriptNamesIsConstructed) {
  EXPECT_THAT(RunScript("var g, o: TComponent;\n"
                        "begin\n"
                        "  o := TComponent.Create(nil);\n"
                        "  g := TTestGadget.Create(o);\n"
                        "  g.Name := 'Gadget1';\n"
                        "  ShowMessage(g.ClassName + ' ' + g.Owner.ClassName + ' ' + g.Name);\n"
                        "  ShowMessage(TStringList.ClassName);\n"
                        "  o.Free;\n"
                        "  ShowMessage(g.ClassName);\n"  // the owner freed the gadget too
                        "end."),
              StartsWith("TTestGadget TComponent Gadget1\nTStringList\n"
                         "error: Invalid object reference ("));
  EXPECT_EQ(RunScript("var s: TStrings; begin s := TStrings.Create; end."),
            "error: Cannot create an instance of the abstract class TStrings");
  EXPECT_EQ(RunScript("begin TStringList.Add('x'); end."),
            "error: Object of class TStringList is not constructed");
  EXPECT_EQ(RunScript("var f: TFileStream;\n"
                      "begin f := TFileStream.Create('never.txt', -1); end."),
            "error: Cannot open file \"never.txt\". Invalid file mode (-1)");
}

TEST(ClassesRttiFree, NilIsIgnoredAndASecondFreeRaisesClearly) {
  RunScript("begin end.");  // the first run creates the engine's own objects
  const size_t live = handles::LiveCount();
  EXPECT_THAT(RunScript("var l: TStringList;\n"
                        "begin\n"
                        "  l := nil;\n"
                        "  l.Free;\n"
                        "  l := TStringList.Create;\n"
                        "  l.Free;\n"
                        "  ShowMessage('freed');\n"
                        "  l.Free;\n"
                        "end."),
              AllOf(StartsWith("freed\nerror: Invalid object reference ("),
                    HasSubstr("the object does not exist or was freed")));
  EXPECT_EQ(handles::LiveCount(), live);
}

TEST(ClassesRttiFree, FreeTakesTheObjectsEventAdaptersAway) {
  auto* list = new TStringList;
  TkvEventList* events = GlobalEventList();
  const int before = events->ItemCount();
  events->AddAdapter(new TkvCustomEvent(list, nullptr));
  events->AddAdapter(new TkvCustomEvent(list, nullptr));
  EXPECT_EQ(RunScript("begin TObject(" + std::to_string(list->Handle()) + ").Free; end."), "");
  EXPECT_EQ(events->ItemCount(), before);
}

TEST(ClassesRttiMembers, VarResultsReachTheScript) {
  EXPECT_EQ(
      RunScript("var l: TStringList; i: Integer; m: TMemoryStream; s: string;\n"
                "begin\n"
                "  l := TStringList.Create;\n"
                "  l.Sorted := True;\n"
                "  l.Add('pear'); l.Add('apple'); l.Add('fig');\n"
                "  if l.Find('fig', i) then ShowMessage('fig at ' + IntToStr(i));\n"
                "  if not l.Find('grape', i) then ShowMessage('grape goes to ' + IntToStr(i));\n"
                "  l.Duplicates := dupError;\n"
                "  ShowMessage(IntToStr(l.Duplicates) + ' ' + l.CommaText);\n"
                "  l.Free;\n"
                "  m := TMemoryStream.Create;\n"
                "  ShowMessage(IntToStr(m.Write('abcdef', 100)));\n"
                "  m.Position := 2;\n"
                "  ShowMessage(IntToStr(m.Read(s, 1000000000)) + ' ' + s);\n"
                "  m.Free;\n"
                "end."),
      "fig at 1\ngrape goes to 2\n2 apple,fig,pear\n6\n4 cdef\n");
  EXPECT_EQ(RunScript("var l: TStringList; begin l := TStringList.Create; "
                      "try l.Duplicates := 3; finally l.Free; end; end."),
            "error: Duplicates must be dupIgnore, dupAccept or dupError, not 3");
}

TEST(ClassesRttiXML, DocumentsTravelThroughStreamsAndTreesStaySound) {
  EXPECT_EQ(RunScript("var d, e: TkvXMLDocument; m: TMemoryStream; s: string;\n"
                      "begin\n"
                      "  d := TkvXMLDocument.Create;\n"
                      "  d.Root.Name := 'list';\n"
                      "  d.Root.Add.Name := 'item';\n"
                      "  d.Root.FindItem('other').Text := 'a=\"1\"';\n"
                      "  m := TMemoryStream.Create;\n"
                      "  d.SaveToStream(m);\n"
                      "  m.Write('tail', 4);\n"
                      "  m.Position := 0;\n"
                      "  e := TkvXMLDocument.Create;\n"
                      "  e.LoadFromStream(m);\n"
                      "  m.Read(s, 100);\n"
                      "  ShowMessage(e.Root.Name + ' ' + IntToStr(e.Root.Count) + ' ' +\n"
                      "    e.Root[1].Prop('a') + ' ' + IntToStr(e.Root.Find('ITEM')) + ' ' + s);\n"
                      "  m.Free; e.Free; d.Free;\n"
                      "end."),
            "list 2 1 0 tail\n");
  EXPECT_EQ(RunScript("var d: TkvXMLDocument;\n"
                      "begin\n"
                      "  d := TkvXMLDocument.Create;\n"
                      "  try d.Root.Free; finally d.Free; end;\n"
                      "end."),
            "error: Cannot free TkvXMLItem: it belongs to TkvXMLDocument, which frees it; "
            "free the TkvXMLDocument instead");
  EXPECT_EQ(RunScript("var d: TkvXMLDocument;\n"
                      "begin\n"
                      "  d := TkvXMLDocument.Create;\n"
                      "  try d.Root.Add.AddItem(d.Root); finally d.Free; end;\n"
                      "end."),
            "error: The root of an XML document cannot be added to another XML item");
}

TEST(ClassesRttiLifetime, StoppingRemovesEveryItemAndStartingAgainRestoresThem) {
  StartClassesRtti();  // nested: only counted
  StopClassesRtti();
  ASSERT_NE(ClassesRtti(), nullptr);
  StopClassesRtti();  // the environment's start
  EXPECT_EQ(ClassesRtti(), nullptr);
  EXPECT_EQ(GlobalScript()->FindClass(u"TStringList"), nullptr);
  EXPECT_EQ(GlobalScript()->FindItem(u"fmCreate"), nullptr);
  EXPECT_EQ(GlobalScript()->FindItem(u"dupIgnore"), nullptr);
  EXPECT_NE(GlobalScript()->FindClass(u"TTestGadget"), nullptr);  // another library's
  StartClassesRtti();
  EXPECT_EQ(RunScript("var g: TTestGadget; begin g := TTestGadget.Create(nil); "
                      "ShowMessage(g.ClassName); g.Free; end."),
            "TTestGadget\n");
}

}  // namespace
}  // namespace kv
