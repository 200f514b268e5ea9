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
#include "host/core/string_routines.h"
#include "host/core/strings.h"
#include "host/core/text_file_limit.h"
#include "host/core/variant_ops.h"
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

TEST(RobustnessTest, NoStringGrowsBeyondTheLongestAScriptCanHold) {
  // Doubling a string in a loop used to take all the machine's memory.
  const Variant half(UString(kMaxStringLength / 2 + 1, u'x'));
  const std::string tooLong = "A string of " + std::to_string(kMaxStringLength + 2) +
                              " characters is too long (at most " +
                              std::to_string(kMaxStringLength) + ")";
  EXPECT_EQ(RaisedBy<EOutOfMemory>([&] { VarBinaryOp(VarOp::Add, half, half); }), tooLong);
  Variant growing = half;
  EXPECT_EQ(RaisedBy<EOutOfMemory>([&] { VarBinaryOpInPlace(VarOp::Add, growing, half); }),
            tooLong);
}

// A file of the test's own, removed at the end.
struct ScratchFile {
  std::string path = "/tmp/kv_robust_" + std::to_string(::getpid()) + ".txt";
  ScratchFile() { std::ofstream(path) << "keep\n"; }
  ~ScratchFile() { ::unlink(path.c_str()); }
};

// Bytes that are not UTF-8 (a name from a single-byte locale) survive the trip through a
// script string, beside valid UTF-8 and a truncated sequence, and name the same file.
TEST(RobustnessTest, AFileNameThatIsNotUtf8OpensItsFile) {
  const std::string bytes =
      "/tmp/kv_robust_" + std::to_string(::getpid()) + "_\xE9t\xE9_\xD0\x96_\xE2\x82_\xFF.txt";
  std::ofstream(bytes) << "keep";
  const UString name = FileNameFromSystem(bytes);
  EXPECT_EQ(name.find(u'\xFFFD'), UString::npos);
  EXPECT_NE(name.find(U("_Ж_")), UString::npos);
  EXPECT_EQ(SystemFileName(name), bytes);
  EXPECT_TRUE(FileExists(name));
  EXPECT_EQ(TFileStream(name, fmOpenRead).ReadAllBytes(), "keep");
  EXPECT_TRUE(DeleteFile(name));
  EXPECT_FALSE(FileExists(name));
  // A surrogate pair is a character, not two escaped bytes.
  EXPECT_EQ(SystemFileName(u"\U0001F600"), "\xF0\x9F\x98\x80");
}

TEST(RobustnessTest, AFileNameWithNulNamesNoFile) {
  ScratchFile victim;
  const UString forged = FromUtf8(victim.path) + UString(1, u'\0') + u"tail";
  EXPECT_FALSE(SystemFileName(forged).has_value());
  EXPECT_FALSE(FileExists(forged));
  EXPECT_FALSE(DeleteFile(forged));
  EXPECT_TRUE(FileExists(FromUtf8(victim.path)));
  EXPECT_EQ(RaisedBy<EFCreateError>([&] { TFileStream(forged, fmCreate); }),
            "Cannot create file \"" + victim.path +
                "#0tail\". A file name cannot contain the character #0");
  EXPECT_EQ(RaisedBy<EFOpenError>([&] { TFileStream(forged, fmOpenRead); }),
            "Cannot open file \"" + victim.path +
                "#0tail\". A file name cannot contain the character #0");
  std::ifstream still(victim.path);
  std::string line;
  std::getline(still, line);
  EXPECT_EQ(line, "keep");
}

TEST(RobustnessTest, FilesWithoutASizeAreReadToTheirEndButNotForever) {
  // Pseudo-files report size 0 yet have content.
  TStringList status;
  status.LoadFromFile(u"/proc/self/status");
  EXPECT_GT(status.Count(), 3);
  EXPECT_EQ(status.Get(0).substr(0, 5), u"Name:");
  TMemoryStream bytes;
  bytes.LoadFromFile(u"/proc/self/status");
  EXPECT_GT(bytes.Size(), 20);

  // A device without end stops with an error, and the stream keeps what it had.
  EXPECT_EQ(RaisedBy<EReadError>([&] { bytes.LoadFromFile(u"/dev/zero"); }),
            "Stream read error: the data does not end within 67108864 bytes (a device "
            "without end?)");
  EXPECT_GT(bytes.Size(), 20);

  // A sparse file of more than a gigabyte costs no disk, but reading it whole would take
  // its size in memory several times over.
  ScratchFile sparse;
  {
    TFileStream file(FromUtf8(sparse.path), fmCreate);
    file.Seek(TStream::kMaxReadAll, soFromBeginning);
    file.WriteBuffer("x", 1);
  }
  TFileStream whole(FromUtf8(sparse.path), fmOpenRead);
  EXPECT_EQ(RaisedBy<EReadError>([&] { whole.ReadAllBytes(); }),
            "Stream read error: 1073741825 bytes are too many to read at once (at most "
            "1073741824)");

  // A string list holds its text as one string first: a file longer than a string fails
  // on its size, before a byte is read.
  ASSERT_EQ(::truncate(sparse.path.c_str(), kMaxTextFileBytes + 1), 0);
  TStringList lines;
  const std::string tooLong =
      "It has 268435457 bytes, more than a text can hold (at most 268435456)";
  EXPECT_EQ(RaisedBy<EReadError>([&] { lines.LoadFromFile(FromUtf8(sparse.path)); }),
            "Cannot read file \"" + sparse.path + "\". " + tooLong);
  TFileStream stream(FromUtf8(sparse.path), fmOpenRead);
  EXPECT_EQ(RaisedBy<EReadError>([&] { lines.LoadFromStream(stream); }),
            "Stream read error: 268435457 bytes are more than a text can hold (at most "
            "268435456)");
}

}  // namespace
}  // namespace kv
