// Faults found by attacking the host layer from scripts, pinned: objects out of scripts'
// reach and objects that belong to others, structures nested deeper than the stack allows,
// file names with #0 and files whose size says nothing about their content.
#include <gtest/gtest.h>

#include <unistd.h>

#include <fstream>
#include <string>

#include "host/core/component.h"
#include "host/core/file_routines.h"
#include "host/core/file_stream.h"
#include "host/core/handles.h"
#include "host/core/memory_stream.h"
#include "host/core/strings.h"
#include "tests/host_core/object_model_raises.h"

namespace kv {
namespace {

// An object owned by another without the owner being told when it goes.
class TKeptPart : public TObject {
 public:
  explicit TKeptPart(const TObject* keeper) : keeper_(keeper) {}
  const TObject* Keeper() const override { return keeper_; }

 private:
  const TObject* keeper_;
};

TEST(RobustnessTest, HiddenObjectsAndKeptObjectsAreRefusedWithClearMessages) {
  TStringList engineLines;
  handles::HideFromScripts(&engineLines);
  const int32_t h = engineLines.Handle();
  EXPECT_EQ(handles::Find(h), &engineLines);  // host code still finds it
  EXPECT_TRUE(handles::IsHiddenFromScripts(h));
  EXPECT_EQ(RaisedBy<EInvalidPointer>([&] { handles::ToObject(h); }),
            "Invalid object reference (" + std::to_string(h) +
                "): the object belongs to the engine and is not available to scripts");
  EXPECT_EQ(RaisedBy<EInvalidPointer>([&] { HandleTo<TStrings>(h); }),
            RaisedBy<EInvalidPointer>([&] { handles::ToObject(h); }));

  TStringList owner;
  TKeptPart part(&owner);
  EXPECT_EQ(RaisedBy<EInvalidPointer>([&] { CheckScriptMayFree(part); }),
            "Cannot free TObject: it belongs to TStringList, which frees it; free the "
            "TStringList instead");
  EXPECT_NO_THROW(CheckScriptMayFree(owner));
}

TEST(RobustnessTest, NestingDeeperThanTheStackIsFreedWithoutRecursion) {
  constexpr int kDepth = 200000;  // far more frames than an 8 MB stack holds
  Variant chain(1);
  for (int i = 0; i < kDepth; ++i) {
    Variant outer = Variant::Array({{0, 0}});
    const int32_t at = 0;
    outer.SetElement(&at, 1, chain);
    chain = std::move(outer);
  }
  chain = Variant();  // freed one body at a time

  const size_t live = handles::LiveCount();
  auto* top = new TComponent(nullptr);
  TComponent* deepest = top;
  for (int i = 0; i < kDepth; ++i) deepest = new TComponent(deepest);
  EXPECT_EQ(deepest->Owner()->Owner()->ComponentCount(), 1);
  delete top;
  EXPECT_EQ(handles::LiveCount(), live);
}

// A file of the test's own, removed at the end.
struct ScratchFile {
  std::string path = "/tmp/kv_robust_" + std::to_string(::getpid()) + ".txt";
  ScratchFile() { std::ofstream(path) << "keep\n"; }
  ~ScratchFile() { ::unlink(path.c_str()); }
};

}  // namespace
}  // namespace kv
