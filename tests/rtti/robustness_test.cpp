// Faults found by attacking the process from scripts, pinned through the engine and the
// PascalScript front end: the engine's own objects behind forged handles, arrays indexed
// with the wrong number of indices, members of values that are no objects, files that never
// end and units that are no files.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "engine/kv_iinterpreter.h"
#include "host/core/handles.h"
#include "rtti/kv_iclassesrtti.h"
#include "rtti/kv_isysrtti.h"
#include "tests/rtti/script_runner.h"

namespace kv {
namespace {

class Engine : public ::testing::Environment {
 public:
  void SetUp() override {
    StartTestEngine();
    StartSysRtti();
    StartClassesRtti();
  }
  void TearDown() override {
    StopClassesRtti();
    StopSysRtti();
    StopTestEngine();
  }
};
const auto* const kEngine = ::testing::AddGlobalTestEnvironment(new Engine);

// A script that frees every object a forged number reaches, up to the handle an object it
// creates first gets, and then goes on using procedures, a late-bound member and the grammar
// (through a designator compiled at its first use).
TEST(ScriptRobustnessTest, TheEngineSOwnObjectsAreOutOfReach) {
  RunScript("begin end.");  // the grammar and the global script exist from here on
  const std::string global = std::to_string(GlobalScript()->Handle());
  EXPECT_EQ(RunScript("begin TObject(" + global + ").Free; end."),
            "error: Invalid object reference (" + global +
                "): the object belongs to the engine and is not available to scripts");
  EXPECT_EQ(RunScript("var i, last, freed: Integer; v: Variant;\n"
                      "procedure Touch; begin v.Add('x'); end;\n"
                      "begin\n"
                      "  v := TStringList.Create;\n"
                      "  last := v;\n"
                      "  freed := 0;\n"
                      "  for i := -1 to last - 1 do\n"
                      "    try TObject(i).Free; freed := freed + 1; except end;\n"
                      "  Touch;\n"
                      "  ShowMessage(IntToStr(freed) + ' ' + v.Text);\n"
                      "  v.Free;\n"
                      "end."),
            "1 x\n\n");  // nil alone: Free of nil does nothing
  // A number in the range of unconstructed classes that names no class is no object either.
  EXPECT_EQ(RunScript("begin TObject(2147483647).Create; end."),
            "error: Invalid object reference (2147483647): the object does not exist or was "
            "freed");
}

TEST(ScriptRobustnessTest, ArraysAreIndexedWithOneIndexPerDimension) {
  EXPECT_EQ(RunScript("var a: array[2, 2, 2, 2] of Integer;\n"
                      "begin a[1, 0, 1, 1] := 5; ShowMessage(a[1, 0, 1, 1]); end."),
            "5\n");
  const auto indexing = [](const std::string& bounds, const std::string& access) {
    return RunScript("var v: Variant;\nbegin v := VarArrayCreate([" + bounds + "], 12);\n" +
                     access + "\nend.");
  };
  EXPECT_EQ(indexing("0, 1, 0, 1, 0, 1, 0, 1", "ShowMessage(VarToStr(v[1, 1, 1]));"),
            "error: The array has 4 dimensions, but 3 indices were given");
  EXPECT_EQ(indexing("0, 1, 0, 1, 0, 1, 0, 1", "v[1, 1, 1] := 3;"),
            "error: The array has 4 dimensions, but 3 indices were given");
  EXPECT_EQ(indexing("0, 1, 0, 1", "v[1] := 4;"),
            "error: The array has 2 dimensions, but 1 index was given");
  EXPECT_EQ(indexing("0, 1", "v[1, 1] := 4;"),
            "error: The array has 1 dimension, but 2 indices were given");
}

TEST(ScriptRobustnessTest, OnlyIntegersAreTakenForObjects) {
  // 3.5 would round to the handle of some unrelated object.
  EXPECT_EQ(RunScript("var v: Variant;\nbegin v := 3.5; ShowMessage(v.Text); end."),
            "error: Only objects have members: this Variant holds a value of type Double");
  EXPECT_EQ(RunScript("var v: Variant;\nbegin v := True; v.Clear; end."),
            "error: Only objects have members: this Variant holds a value of type Boolean");
}

TEST(ScriptRobustnessTest, FilesThatAreNoFilesRaiseWhatTheyAre) {
  EXPECT_EQ(RunScript("var d: TkvXMLDocument;\n"
                      "begin d := TkvXMLDocument.Create;\n"
                      "  try d.LoadFromFile('/dev/zero'); finally d.Free; end;\n"
                      "end."),
            "error: Stream read error: the data does not end within 67108864 bytes (a device "
            "without end?)");
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("kv_unit_" + std::to_string(::getpid()) + ".pas");
  std::filesystem::create_directory(folder);
  EXPECT_EQ(RunScript("uses '" + folder.string() + "';\nbegin end."),
            "error: Cannot open file \"" + folder.string() + "\". Is a directory");
  std::filesystem::remove(folder);
}

}  // namespace
}  // namespace kv
