// Files a script names: a save that fails keeps the file that was there, and opening never
// waits for another program or reaches the memory of a process.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "host/core/exceptions.h"
#include "host/core/file_save.h"
#include "host/core/file_stream.h"
#include "host/core/memory_stream.h"
#include "host/core/strings.h"
#include "tests/host_core/object_model_raises.h"

namespace kv {
namespace {

namespace fs = std::filesystem;

class FileSafetyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "kv_files_XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
    // An open() that waits for ever would otherwise hang the whole test run.
    ::alarm(20);
  }
  void TearDown() override {
    ::alarm(0);
    fs::remove_all(dir_);
  }

  std::string Path(const char* name) const { return (dir_ / name).string(); }
  UString Name(const char* name) const { return FromUtf8(Path(name)); }

  void Write(const char* name, const std::string& content) const {
    std::ofstream(Path(name), std::ios::binary) << content;
  }
  std::string Read(const char* name) const {
    std::ifstream in(Path(name), std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
  }
  size_t EntryCount() const {
    return static_cast<size_t>(std::distance(fs::directory_iterator(dir_), {}));
  }

  fs::path dir_;
};

// Files may grow to `bytes` at most while it lives; beyond, writes fail with EFBIG as they
// would on a full disk.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &old_);
    oldSignal_ = ::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = old_;
    limited.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limited);
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &old_);
    ::signal(SIGXFSZ, oldSignal_);
  }

 private:
  rlimit old_{};
  sighandler_t oldSignal_;
};

TEST_F(FileSafetyTest, ASaveThatFailsLeavesTheOldFileAndNoTemporaryFile) {
  Write("data.txt", "keep\n");
  const UString target = Name("data.txt");
  const std::string tooLarge = "Cannot write file \"" + Path("data.txt") + "\". File too large";

  TMemoryStream bytes;
  bytes.SetSize(1000);
  TStringList lines;
  lines.Add(UString(1000, u'x'));
  {
    FileSizeLimit limit(100);
    EXPECT_EQ(RaisedBy<EWriteError>([&] { bytes.SaveToFile(target); }), tooLarge);
    EXPECT_EQ(RaisedBy<EWriteError>([&] { lines.SaveToFile(target); }), tooLarge);
    EXPECT_EQ(RaisedBy<EWriteError>([&] { SaveFileBytes(target, std::string(1000, 'y')); }),
              tooLarge);
  }
  EXPECT_EQ(Read("data.txt"), "keep\n");
  EXPECT_EQ(EntryCount(), 1u);

  // Where no file can be made, the reason is the folder's.
  EXPECT_EQ(RaisedBy<EFCreateError>([&] { SaveFileBytes(Name("none/data.txt"), "new"); }),
            "Cannot create file \"" + Path("none/data.txt") + "\". No such file or directory");
}

TEST_F(FileSafetyTest, ASavedFileKeepsItsPermissionsAndLinksStayLinks) {
  Write("secret.txt", "old");
  ::chmod(Path("secret.txt").c_str(), 0640);
  SaveFileBytes(Name("secret.txt"), "new");
  EXPECT_EQ(Read("secret.txt"), "new");
  EXPECT_EQ(fs::status(Path("secret.txt")).permissions(), fs::perms(0640));

  // Through a link (and a link to it) the file it leads to gets the content.
  fs::create_symlink("secret.txt", Path("link"));
  fs::create_symlink(Path("link"), Path("link2"));
  SaveFileBytes(Name("link2"), "via link");
  EXPECT_TRUE(fs::is_symlink(Path("link")));
  EXPECT_TRUE(fs::is_symlink(Path("link2")));
  EXPECT_EQ(Read("secret.txt"), "via link");
  EXPECT_EQ(fs::status(Path("secret.txt")).permissions(), fs::perms(0640));

  // A dangling link makes the file it names; a loop of links is refused.
  fs::create_symlink("later.txt", Path("dangling"));
  SaveFileBytes(Name("dangling"), "made");
  EXPECT_EQ(Read("later.txt"), "made");
  fs::create_symlink("loop", Path("loop"));
  EXPECT_EQ(RaisedBy<EFCreateError>([&] { SaveFileBytes(Name("loop"), "x"); }),
            "Cannot create file \"" + Path("loop") + "\". Too many levels of symbolic links");
  EXPECT_EQ(EntryCount(), 6u);  // nothing left over beside them
}

TEST_F(FileSafetyTest, PipesAndSocketsAreRefusedWithoutWaiting) {
  ASSERT_EQ(::mkfifo(Path("fifo").c_str(), 0600), 0);
  const UString fifo = Name("fifo");
  const std::string pipe = "\"" + Path("fifo") + "\". A named pipe cannot be opened as a file";
  const std::string cannotOpen = "Cannot open file " + pipe;
  const std::string cannotCreate = "Cannot create file " + pipe;
  EXPECT_EQ(RaisedBy<EFOpenError>([&] { TFileStream(fifo, fmOpenRead); }), cannotOpen);
  EXPECT_EQ(RaisedBy<EFOpenError>([&] { TFileStream(fifo, fmOpenWrite); }), cannotOpen);
  EXPECT_EQ(RaisedBy<EFCreateError>([&] { TFileStream(fifo, fmCreate); }), cannotCreate);
  TStringList lines;
  EXPECT_EQ(RaisedBy<EFOpenError>([&] { lines.LoadFromFile(fifo); }), cannotOpen);
  EXPECT_EQ(RaisedBy<EFCreateError>([&] { lines.SaveToFile(fifo); }), cannotCreate);
  EXPECT_TRUE(fs::is_fifo(Path("fifo")));  // not replaced by a plain file

  const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  Path("socket").copy(address.sun_path, sizeof address.sun_path - 1);
  ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  EXPECT_EQ(RaisedBy<EFOpenError>([&] { TFileStream(Name("socket"), fmOpenReadWrite); }),
            "Cannot open file \"" + Path("socket") + "\". A socket cannot be opened as a file");
  ::close(listener);
}

TEST_F(FileSafetyTest, MemoryPseudoFilesAreRefusedUnderAnyName) {
  const std::string refusal = "\". The memory of a process or of the machine is not a file";
  const std::string task = "/proc/self/task/" + std::to_string(::gettid()) + "/mem";
  fs::create_symlink("/proc/self/mem", Path("memlink"));
  for (const std::string& name : {std::string("/proc/self/mem"), task, Path("memlink")}) {
    EXPECT_EQ(RaisedBy<EFOpenError>([&] { TFileStream(FromUtf8(name), fmOpenReadWrite); }),
              "Cannot open file \"" + name + refusal);
    EXPECT_EQ(RaisedBy<EFOpenError>([&] { TFileStream(FromUtf8(name), fmOpenRead); }),
              "Cannot open file \"" + name + refusal);
  }
  // The machine's memory is known by its device number, whatever the node is called.
  if (::mknod(Path("physical").c_str(), S_IFCHR | 0600, ::makedev(1, 1)) == 0) {
    EXPECT_EQ(RaisedBy<EFOpenError>([&] { TFileStream(Name("physical"), fmOpenRead); }),
              "Cannot open file \"" + Path("physical") + refusal);
    EXPECT_EQ(RaisedBy<EFCreateError>([&] { SaveFileBytes(Name("physical"), "x"); }),
              "Cannot create file \"" + Path("physical") + refusal);
  }
  // Other procfs files stay readable.
  TStringList status;
  status.LoadFromFile(u"/proc/self/status");
  EXPECT_GT(status.Count(), 3);
}

}  // namespace
}  // namespace kv
