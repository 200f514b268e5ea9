// The IL compiler: PascalScript sources go through the parser and the compiler into a script
// object; compile errors are pinned by message and position, and a few whole programs run
// against a small host (Print, a list class, an object class with Free).
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "engine/kv_iexpression.h"
#include "engine/kv_iinterpreter.h"
#include "frontend/kv_iilparser.h"
#include "frontend/kv_il_frontend.h"
#include "frontend/kv_ipascal.h"
#include "host/core/class_builder.h"
#include "host/core/exceptions.h"
#include "xml/kv_xml.h"

namespace kv {

// A list of strings, the host class the tests drive.
class TTestList : public TObject {
  KV_CLASS(TTestList, TObject)

 public:
  std::vector<UString> Items;
};

KV_DEFINE_CLASS(TTestList, TObject) { c.Constructor(); }

// A class without a default property.
class TTestPlain : public TObject {
  KV_CLASS(TTestPlain, TObject)

 public:
  int32_t Count = 5;
};

KV_DEFINE_CLASS(TTestPlain, TObject) {
  c.Constructor();
  c.Property("Count", &TTestPlain::Count, &TTestPlain::Count);
}

namespace {

namespace fs = std::filesystem;

class TestDispatch : public DispatchObject {};

std::string gOutput;
const int gRegistrar = 0;

Variant TestListMethod(int32_t instance, TClass*, const UString& name, TkvParams& params) {
  if (name == u"CREATE") {
    TObject* object = handles::UnconstructedClass(instance)->Construct();
    return Variant(object->Handle());
  }
  auto* list = HandleTo<TTestList>(instance);
  if (name == u"ADD") list->Items.push_back(params[0].ToString());
  if (name == u"ITEMS.GET" || name == u"LINES.GET")
    return Variant(list->Items.at(size_t(params[0].ToInt())));
  if (name == u"ITEMS.SET") list->Items.at(size_t(params[0].ToInt())) = params[1].ToString();
  return Variant::Null();
}

void RegisterHost() {
  TkvScript* global = GlobalScript();
  global->CurrentRegistrar = &gRegistrar;
  global->DefineFunction(u"procedure Print(X: Variant)",
                         [](int32_t, TClass*, const UString&, TkvParams& params) {
                           gOutput += ToUtf8(params[0].ToString()) + "\n";
                           return Variant::Null();
                         });
  global->DefineFunction(u"function Twice(X: Integer; Y: Integer = 10): Integer",
                         [](int32_t, TClass*, const UString&, TkvParams& params) {
                           return Variant(params[0].ToInt() * 2 + params[1].ToInt());
                         });
  TkvClassVariable* object = global->DefineClass(TObject::StaticClass(), u"");
  object->DefineMethod(u"procedure Free",
                       [](int32_t instance, TClass*, const UString&, TkvParams&) {
                         handles::ToObject(instance)->Free();
                         return Variant::Null();
                       });
  TkvClassVariable* list = global->DefineClass(TTestList::StaticClass(), u"TObject");
  list->DefineConstructor(u"constructor Create", TestListMethod);
  list->DefineMethod(u"procedure Add(S: String)", TestListMethod);
  list->DefineProperty(
      u"Count", u"Integer",
      [](int32_t instance, TClass*, const UString&) {
        return Variant(int32_t(HandleTo<TTestList>(instance)->Items.size()));
      },
      nullptr);
  list->DefineIndexedProperty(u"Lines", u"Integer", false, TestListMethod, u"String");
  list->DefineDefaultProperty(u"Items", u"Integer", false, TestListMethod, u"String");
  TkvClassVariable* plain = global->DefineClass(TTestPlain::StaticClass(), u"TObject");
  plain->DefineConstructor(u"constructor Create", TestListMethod);
  global->DefineConst(u"OleThing", u"Variant", Variant::Dispatch(new TestDispatch));
  global->CurrentRegistrar = nullptr;
}

// A copy of the PascalScript grammar in which identifiers need no declaration.
void RegisterLooseGrammar() {
  UString grammar(PascalScriptGrammar());
  const size_t parser = grammar.find(u"<parser>");
  ASSERT_NE(parser, UString::npos);
  grammar.insert(parser + 8, u"<declarevars text=\"0\"/>");
  RegisterLanguageGrammar(u"LoosePascal", grammar);
}

// A copy of the PascalScript grammar with the type alias Whole for Integer.
void RegisterAliasGrammar() {
  UString grammar(PascalScriptGrammar());
  const size_t types = grammar.find(u"<types/>");
  ASSERT_NE(types, UString::npos);
  grammar.replace(types, 8, u"<types><Whole type=\"Integer\"/></types>");
  RegisterLanguageGrammar(u"AliasPascal", grammar);
}

class CompilerEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    InitInterpreter();
    RegisterPascalScript();
    RegisterLooseGrammar();
    RegisterAliasGrammar();
    InstallILFrontEnd();
    RegisterHost();
  }
  void TearDown() override { DoneInterpreter(); }
};

const auto* const gEnvironment = ::testing::AddGlobalTestEnvironment(new CompilerEnvironment);

// A user script as the tester sets it up.
class ScriptFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    gOutput.clear();
    script_.Parent = GlobalScript();
  }

  bool Compile(const std::string& source, const std::string& language = "PascalScript") {
    script_.Clear();
    script_.SetSyntaxType(U(language));
    script_.Lines()->SetText(U(source));
    return script_.Compile();
  }

  // "ROW:COL MESSAGE" of a source that must fail to compile.
  std::string Error(const std::string& source, const std::string& language = "PascalScript") {
    EXPECT_FALSE(Compile(source, language)) << source;
    std::string error = ToUtf8(script_.ErrorPosition) + " " + ToUtf8(script_.ErrorText);
    if (!script_.ErrorUnitName.empty()) error = ToUtf8(script_.ErrorUnitName) + " " + error;
    return error;
  }

  // What the program printed.
  std::string Run(const std::string& source, const std::string& language = "PascalScript") {
    const bool ok = Compile(source, language);
    EXPECT_TRUE(ok) << source << "\n"
                    << ToUtf8(script_.ErrorPosition) << " " << ToUtf8(script_.ErrorText);
    if (!ok) return "";
    gOutput.clear();
    script_.Execute();
    return gOutput;
  }

  // The message of the exception a compiled program raises when it runs.
  std::string RunError(const std::string& source) {
    EXPECT_TRUE(Compile(source)) << ToUtf8(script_.ErrorText);
    try {
      script_.Execute();
    } catch (const Exception& e) {
      return ToUtf8(e.Message());
    }
    return "no exception";
  }

  TkvStatement* Main(int index) const { return script_.MainStatements()->StatementAt(index); }

  TkvScript script_;
};

// --- Whole programs ------------------------------------------------------------------------

using CompilerPrograms = ScriptFixture;

TEST_F(CompilerPrograms, RoutinesRecursionAndParameters) {
  EXPECT_EQ(Run(R"(
function Fib(N: Integer): Integer;
begin
  if N < 2 then Result := N else Result := Fib(N - 1) + Fib(N - 2);
end;

procedure Swap(var A, B: Integer; Step: Integer = 100);
var T: Integer;
begin
  T := A; A := B + Step; B := T;
end;

var X, Y: Integer;
begin
  Print(Fib(15));
  X := 1; Y := 2;
  Swap(X, Y);
  Print(X); Print(Y);
  Swap(X, Y, 0);
  Print(X); Print(Y);
  Print(Twice(3)); Print(Twice(3, 1));
end.)"),
            "610\n102\n1\n1\n102\n16\n7\n");
}

TEST_F(CompilerPrograms, StatementsStringsArraysAndInitialValues) {
  EXPECT_EQ(Run(R"(
const Limit = 3;
var S: String = 'abc';
    N, Total: Integer = 7;
    A: array[1..3] of Integer;
    M: array[2, 2] of String;
    I: Integer;
begin
  Print(N); Print(Total);
  S[2] := 'X'; Print(S + S[3]);
  for I := 1 to Limit do A[I] := I * I;
  Total := 0;
  for I := Limit downto 1 do Total := Total + A[I];
  Print(Total);
  M[1, 0] := 'm'; Print(M[1, 0]);
  I := 0;
  while I < 10 do begin I := I + 1; if I = 4 then break end;
  repeat I := I - 1 until I <= 2;
  Print(I);
  case I of 1: Print('one'); 2, 5..7: Print('two'); else Print('other') end;
  try I := I div 0 except Print('caught') end;
  Print((1 + 2) * 3);
end.)"),
            "0\n7\naXcc\n14\nm\n2\ntwo\ncaught\n9\n");
}

TEST_F(CompilerPrograms, ObjectsWithScopesAndDeferredVariants) {
  EXPECT_EQ(Run(R"(
var L: TTestList; V: Variant; Count: Integer;
begin
  Count := 42;
  L := TTestList.Create;
  with L do begin Add('a'); Add('b'); Print(Count) end;
  Print(L[1] + L.Lines[0]);
  L.Items[0] := 'z';
  Print(L.Items[0]);
  V := L;
  V.Add('c');
  with V do Print(Count);
  with V do Add('d');
  Print(V.Count);
  with TTestList.Create do begin Add('q'); Print(Items[0]); Free end;
  TTestList.Create.Free;
  L.Free;
end.)"),
            "2\nba\nz\n42\n4\nq\n");
}

TEST_F(CompilerPrograms, UsedUnitJoinsTheScriptAndRunsFirst) {
  const fs::path dir = fs::temp_directory_path() / ("kv_ilc_units_" + std::to_string(getpid()));
  fs::create_directories(dir);
  std::ofstream(dir / "u.pas") << "var G: Integer;\nbegin\n  G := 5; Print('unit')\nend.\n";
  std::ofstream(dir / "bad.pas") << "begin\n  Missing := 1\nend.\n";
  const fs::path cwd = fs::current_path();
  fs::current_path(dir);
  EXPECT_EQ(Run("uses 'u.pas';\nbegin Print(G + 1) end."), "unit\n6\n");
  EXPECT_NE(ToUtf8(script_.CodeLines()->Text()).find("u.pas=3,"), std::string::npos);
  EXPECT_EQ(Error("uses 'bad.pas';\nbegin end."), "bad.pas 2:10 Undeclared identifier: 'Missing'");
  fs::current_path(cwd);
  fs::remove_all(dir);
}

// A script that knows its file finds its units beside it, whatever the current folder.
TEST_F(CompilerPrograms, UnitsAreFoundBesideTheMainFile) {
  const fs::path dir = fs::temp_directory_path() / ("kv_ilc_beside_" + std::to_string(getpid()));
  fs::create_directories(dir);
  std::ofstream(dir / "near.pas") << "var N: Integer;\nbegin\n  N := 7\nend.\n";
  script_.SourceFileName = FromUtf8((dir / "main.pas").string());
  EXPECT_EQ(Run("uses 'near.pas';\nbegin Print(N) end."), "7\n");
  fs::remove_all(dir);
}

TEST_F(CompilerPrograms, UndeclaredIdentifiersBecomeVariantsWhenTheGrammarSaysSo) {
  EXPECT_EQ(Run("begin y := 1; Print(y + 1) end.", "LoosePascal"), "2\n");
  TkvCustomVariable* y = script_.FindLocalItem(u"y");
  ASSERT_NE(y, nullptr);
  EXPECT_EQ(y->Kind, vkVariant);
  EXPECT_EQ(Error("begin y := 1 end."), "1:8 Undeclared identifier: 'y'");
}

TEST_F(CompilerPrograms, TypeAliasesApplyAtProgramLevelOnly) {
  EXPECT_EQ(Run("var W: Whole = 3; begin Print(W * 2) end.", "AliasPascal"), "6\n");
  EXPECT_EQ(script_.FindLocalItem(u"W")->TypeName, u"Integer");
  EXPECT_EQ(Error("procedure P; var W: Whole; begin end; begin end.", "AliasPascal"),
            "1:26 Unknown type: 'Whole'");
}

// --- The objects the compiler builds ---------------------------------------------------

using CompilerObjects = ScriptFixture;

TEST_F(CompilerObjects, AssignmentsFoldIntoInPlaceStatements) {
  ASSERT_TRUE(Compile("var x, y: Integer; begin x := x + 1; x := 1 + x; x := y - x end."));
  EXPECT_NE(dynamic_cast<TkvAssignPlusStmt*>(Main(0)), nullptr);
  EXPECT_NE(dynamic_cast<TkvAssignPlusStmt*>(Main(1)), nullptr);
  EXPECT_EQ(typeid(*Main(2)), typeid(TkvAssignmentStmt));
  EXPECT_EQ(ToUtf8(script_.CodeLines()->Text()), "=1,\n");
}

TEST_F(CompilerObjects, WithStoresTheObjectInAHiddenVariable) {
  ASSERT_TRUE(Compile("var L: TTestList; begin with L do Add('x') end."));
  auto* with = dynamic_cast<TkvWithStmt*>(Main(0));
  ASSERT_NE(with, nullptr);
  EXPECT_EQ(with->HiddenVariable, script_.FindLocalItem(u"0"));
  auto* call = dynamic_cast<TkvCallStmt*>(Main(1));
  ASSERT_NE(call, nullptr);
  ASSERT_EQ(call->Designator->StepCount(), 2);
  EXPECT_EQ(call->Designator->StepAt(0)->Ref, with->HiddenVariable);
  EXPECT_EQ(call->Designator->StepAt(1)->Ref->Name, u"Add");
}

TEST_F(CompilerObjects, DeclarationsGiveParametersArraysAndFastPaths) {
  ASSERT_TRUE(Compile(R"(
procedure P(var a: Integer; b: Integer = 3); begin end;
var s: String; a, b: array[0..2] of Integer; n: array[3] of Integer; v: Variant;
begin s := 'ab'; s[1] := 'x'; b[1] := 2; v := @P end.)"));
  auto* p = dynamic_cast<TkvProcVariable*>(script_.FindLocalItem(u"P"));
  ASSERT_NE(p, nullptr);
  ASSERT_EQ(p->ItemCount(), 2);
  EXPECT_TRUE(p->ParamAt(0)->IsVar);
  EXPECT_FALSE(p->ParamAt(0)->Optional);
  EXPECT_TRUE(p->ParamAt(1)->Optional);
  EXPECT_EQ(p->ParamAt(1)->DefaultValue.ToInt(), 3);
  EXPECT_EQ(script_.FindLocalItem(u"a")->Kind, vkInteger);  // only b is an array
  EXPECT_EQ(script_.FindLocalItem(u"b")->Kind, vkArray);
  const Variant n = script_.FindLocalItem(u"n")->GetValue();
  EXPECT_EQ(n.ArrayBoundOf(1).low, 0);
  EXPECT_EQ(n.ArrayBoundOf(1).high, 2);
  EXPECT_NE(dynamic_cast<TkvStringDesignator*>(
                static_cast<TkvAssignmentStmt*>(Main(1))->Designator.get()),
            nullptr);
  EXPECT_NE(
      dynamic_cast<TkvArrayDesignator*>(static_cast<TkvAssignmentStmt*>(Main(2))->Designator.get()),
      nullptr);
  script_.Execute();
  EXPECT_EQ(script_.FindLocalItem(u"v")->GetValue().ToString(), u"P");
}

TEST_F(CompilerObjects, ArgumentDefaultsAreAppended) {
  ASSERT_TRUE(Compile(
      "procedure P(var a: Integer; b: Integer = 3); begin end; var v: Integer; begin P(v) end."));
  auto* call = dynamic_cast<TkvCallStmt*>(Main(0));
  ASSERT_NE(call, nullptr);
  ASSERT_EQ(call->Designator->StepAt(0)->ItemCount(), 2);
  EXPECT_EQ(call->Designator->StepAt(0)->ArgAt(1)->GetValue().ToInt(), 3);
}

// --- Compile errors: declarations and statements -------------------------------------------

using CompileErrors = ScriptFixture;

TEST_F(CompileErrors, Declarations) {
  EXPECT_EQ(Error("var a: Integer; a: String; begin end."), "1:18 Identifier redeclared: 'a'");
  EXPECT_TRUE(
      Compile("var a: Integer; procedure P; var a: String; begin a := 'x' end; begin end."));
  EXPECT_EQ(Error("procedure P(A: Integer; a: String); begin end; begin end."),
            "1:26 Identifier redeclared: 'a'");
  EXPECT_EQ(Error("var x: TFoo; begin end."), "1:12 Unknown type: 'TFoo'");
  EXPECT_EQ(Error("function F: TFoo; begin end; begin end."), "1:17 Unknown type: 'TFoo'");
  EXPECT_EQ(Error("var i: Integer = 'a'; begin end."),
            "1:21 Incompatible types: 'Integer', 'String'");
  EXPECT_EQ(Error("var a: array[1..0 - 5] of Integer; begin end."),
            "1:22 Error creating variant or safe array");
}

TEST_F(CompileErrors, Statements) {
  EXPECT_EQ(Error("var i: Integer; begin i := 'a' end."),
            "1:31 Incompatible types: 'Integer', 'String'");
  EXPECT_EQ(Error("var i: Integer; begin i := 1.5 end."),
            "1:31 Incompatible types: 'Integer', 'Extended'");
  EXPECT_EQ(Error("const c = 1; begin c := 2 end."), "1:26 Left side cannot be assigned to");
  EXPECT_EQ(Error("var i: Integer; begin with i do ; end."), "1:29 Class type required");
  EXPECT_EQ(Error("var b: Boolean; begin for b := 1 to 2 do ; end."),
            "1:28 For loop variable must be numeric variable");
  // Constants, parameters and strings never count: the loop stores into the item directly.
  EXPECT_EQ(Error("begin for nil := 1 to 2 do ; end."),
            "1:14 For loop variable must be numeric variable");
  EXPECT_EQ(Error("procedure P(i: Integer); begin for i := 1 to 2 do ; end; begin end."),
            "1:37 For loop variable must be numeric variable");
  EXPECT_EQ(Error("var i: Integer; begin for i := 1 to 'x' do ; end."),
            "1:40 Incompatible types: 'Integer', 'String'");
}

// --- Compile errors: expressions, designators and names ---------------------------------

TEST_F(CompileErrors, Expressions) {
  EXPECT_EQ(Error("var s: String; begin s := s - 1 end."), "1:30 Incompatible types");
  EXPECT_EQ(Error("var b: Boolean; begin b := b < b end."), "1:31 Incompatible types");
  // The grammar keeps the second "*" although the factor after it failed.
  EXPECT_EQ(Error("var a, b, c: Integer; begin a := a * b * -c end."), "1:41 Expression expected");
}

TEST_F(CompileErrors, Designators) {
  EXPECT_EQ(Error("var s: String; begin s.Length end."),
            "1:30 Strings doesn't have properties or methods");
  EXPECT_EQ(Error("procedure P(var a: Integer; b: Integer = 3); begin end; var v: Integer; "
                  "begin P end."),
            "1:80 Not enough actual parameters");
  EXPECT_EQ(Error("procedure P(var a: Integer; b: Integer = 3); begin end; var v: Integer; "
                  "begin P(v, 1, 2) end."),
            "1:80 Too many actual parameters");
  EXPECT_EQ(Error("begin Print(Twice('x')) end."), "1:22 Incompatible types: 'Integer', 'String'");
  EXPECT_EQ(Error("var v: Variant; begin v := @Print.X end."), "1:29 Variable required");
  EXPECT_EQ(Error("var L: TTestList; begin Print(L.Lines.Count) end."), "1:38 Index required");
  EXPECT_EQ(Error("var P: TTestPlain; begin Print(P[0]) end."),
            "1:34 Class TTestPlain does not have a default property");
  EXPECT_EQ(Error("var i: Integer; begin i[0] := 1 end."), "1:25 Array type required");
  EXPECT_EQ(Error("var L: TTestList; begin L.Nothing end."),
            "1:34 Undeclared identifier: 'Nothing'");
  EXPECT_EQ(Error("var a: array[2] of Integer; begin a.x := 1 end."), "1:38 Index required");
  EXPECT_EQ(Error("begin OleThing.Visible := 1 end."), "1:23 OLE automation is not supported yet");
}

// A class member hides a variable inside a with on an object; a variable wins inside a with
// on a Variant, whose other names are resolved at first use.
TEST_F(CompileErrors, WithScopesAndLateBinding) {
  EXPECT_EQ(Run("var L: TTestList; V: Variant; Count: Integer; begin Count := 9; "
                "L := TTestList.Create; V := L; with L do Print(Count); "
                "with V do Print(Count); L.Free end."),
            "0\n9\n");
  // Still Null at its first use: the path cannot be completed.
  EXPECT_EQ(RunError("var V: Variant; begin V.Foo := 1 end."),
            "Variant holds no value (Null): cannot resolve 'Foo'");
  EXPECT_EQ(RunError("var V: Variant; begin V := TTestList.Create; V.Foo end."),
            "Undeclared identifier: 'Foo'");
}

// --- Hostile IL --------------------------------------------------------------------------

// Compiles a hand-written IL document (the program element's content) into a fresh script.
std::string CompileIL(const std::string& body) {
  TkvScript script;
  script.Parent = GlobalScript();
  TkvILParser parser(&script);
  parser.ILDocument().LoadFromString("<?xml version=\"1.0\"?><program>" + body +
                                     "<types/></program>");
  parser.CompileIL();
  return ToUtf8(script.ErrorPosition) + " " + ToUtf8(script.ErrorText);
}

TEST(CompilerIL, MalformedDocumentsGiveClearErrors) {
  EXPECT_EQ(CompileIL("<compoundstmt pos=\"1:1\"><assignstmt pos=\"2:1\"/></compoundstmt>"),
            "2:1 Invalid IL document: incomplete element 'assignstmt'");
  EXPECT_EQ(CompileIL("<bogus pos=\"3:4\"/>"),
            "3:4 Invalid IL document: unexpected element 'bogus'");
  EXPECT_EQ(CompileIL("<var pos=\"1:1\"><ident pos=\"1:2\"/></var>"),
            "1:2 Invalid IL document: incomplete element 'ident'");
  EXPECT_EQ(
      CompileIL("<const pos=\"1:1\"><ident text=\"c\" pos=\"1:2\"/>"
                "<expr pos=\"1:3\"><op text=\"(\" pos=\"1:4\"/><number text=\"1\" pos=\"1:5\"/>"
                "</expr></const>"),
      "1:5 ')' expected");
  EXPECT_EQ(
      CompileIL("<const pos=\"1:1\"><ident text=\"c\" pos=\"1:2\"/><expr pos=\"1:3\"/></const>"),
      "1:3 Expression expected");
  EXPECT_EQ(
      CompileIL("<const pos=\"1:1\"><ident text=\"c\" pos=\"1:2\"/><expr pos=\"1:3\">"
                "<number text=\"1\" pos=\"1:4\"/><number text=\"2\" pos=\"1:5\"/></expr></const>"),
      "1:5 Missing operator");
  EXPECT_EQ(
      CompileIL("<const pos=\"1:1\"><ident text=\"c\" pos=\"1:2\"/><expr pos=\"1:3\">"
                "<number text=\"1\" pos=\"1:4\"/><op text=\"@@\" pos=\"1:5\"/></expr></const>"),
      "1:5 Unknown operator '@@'");
  EXPECT_EQ(
      CompileIL("<callstmt pos=\"1:1\"><dsgn pos=\"1:1\"><expr pos=\"1:2\"/></dsgn></callstmt>"),
      "1:1 Invalid IL document: incomplete element 'dsgn'");
  EXPECT_EQ(
      CompileIL("<casestmt pos=\"1:1\"><expr pos=\"1:2\"><number text=\"1\" pos=\"1:3\"/></expr>"
                "<caseselector pos=\"1:4\"><set pos=\"1:4\"><range text=\".\" pos=\"1:5\"/>"
                "</set></caseselector></casestmt>"),
      "1:5 Expression expected");
}

TEST(CompilerIL, NestingIsBounded) {
  std::string deep;
  for (int i = 0; i < 5000; ++i) deep += "<compoundstmt pos=\"1:1\">";
  for (int i = 0; i < 5000; ++i) deep += "</compoundstmt>";
  EXPECT_EQ(CompileIL(deep),
            "1:1 Program too complex: statements or expressions nested too deeply");
  std::string chain =
      "<const pos=\"1:1\"><ident text=\"c\" pos=\"1:2\"/><expr pos=\"1:3\">"
      "<number text=\"1\" pos=\"1:4\"/>";
  for (int i = 0; i < 3000; ++i)
    chain += "<op text=\"+\" pos=\"1:5\"/><number text=\"1\" pos=\"1:6\"/>";
  chain += "</expr></const>";
  EXPECT_EQ(CompileIL(chain),
            "1:3 Program too complex: statements or expressions nested too deeply");
}

// Random damage to the IL of a real program: the compiler must answer with success or an
// error, never crash (run under the sanitizers to catch what a crash would hide).
TEST(CompilerIL, DamagedDocumentsNeverCrash) {
  const char* const source = R"(
const K = 2;
var L: TTestList; V: Variant; S: String = 'ab'; A: array[0..2] of Integer; I: Integer;
function F(X: Integer; var Y: Integer; Z: String = 'q'): Integer;
begin Result := X * K; Y := Y + 1 end;
begin
  L := TTestList.Create; V := L;
  with L do begin Add(S); Add(S[1]) end;
  for I := 0 to 2 do A[I] := F(I, I);
  case I of 1, 2..3: V.Add('x'); else Print(L[0]) end;
  repeat I := I - 1 until not (I > 0) or (I in [5, 7..9]);
  try Print(@F) except Print(V.Count) end;
  while I < 3 do I := I + 1;
  if (I = 3) and (L.Count > 0) then Print(-I) else Print(L.Items[0]);
  L.Free;
end.)";
  TkvScript reference;
  reference.Parent = GlobalScript();
  TkvILParser parser(&reference);
  parser.SelectGrammar(u"PascalScript");
  ASSERT_TRUE(parser.SourceToIL(U(source)));
  const std::string il = parser.ILDocument().SaveToString();

  // KV_IL_DAMAGE_ROUNDS and KV_IL_DAMAGE_SEED widen the search when hunting for faults.
  const char* rounds = std::getenv("KV_IL_DAMAGE_ROUNDS");
  const char* seed = std::getenv("KV_IL_DAMAGE_SEED");
  std::mt19937 random(seed != nullptr ? std::stoul(seed) : 12345);
  const int roundCount = rounds != nullptr ? std::stoi(rounds) : 400;
  int compiled = 0;
  for (int round = 0; round < roundCount; ++round) {
    TkvScript script;
    script.Parent = GlobalScript();
    TkvILParser damaged(&script);
    damaged.ILDocument().LoadFromString(il);
    for (int hit = 0; hit < 3; ++hit) {
      std::vector<TkvXMLItem*> items{damaged.ILDocument().Root()};
      for (size_t i = 0; i < items.size(); ++i) {
        for (TkvXMLItem* child : items[i]->Children()) items.push_back(child);
      }
      TkvXMLItem* item = items[random() % items.size()];
      if (item->Parent() == nullptr) continue;
      switch (random() % 6) {
        case 0:  // drop its children
          item->Clear();
          break;
        case 1:  // rename it after another element
          item->SetName(items[random() % items.size()]->Name());
          break;
        case 2:  // drop its attributes
          item->SetText(u"");
          break;
        case 3:  // move its first child to the end
          if (item->Count() > 0) item->AddItem(item->Items(0));
          break;
        case 4:  // another text
          item->SetText(u"text=\"[\" pos=\"9:9\"");
          break;
        case 5:  // a copy of another element in its place
          item->AssignTree(items[random() % items.size()]);
          break;
      }
    }
    damaged.CompileIL();
    if (script.ErrorText.empty()) ++compiled;
  }
  EXPECT_GT(compiled, 0);
}

}  // namespace
}  // namespace kv
