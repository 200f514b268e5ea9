// Hosts run scripts on worker threads whose stacks are far smaller than a main thread's:
// source nested too deeply, a program nested too deeply and recursion too deep must end in
// their clear errors there too, never in a crash, while ordinary nesting still runs.
#include <gtest/gtest.h>
#include <pthread.h>

#include <cstddef>
#include <string>

#include "rtti/kv_isysrtti.h"
#include "tests/rtti/script_runner.h"

namespace kv {
namespace {

class Engine : public ::testing::Environment {
 public:
  void SetUp() override {
    StartTestEngine();
    StartSysRtti();
  }
  void TearDown() override {
    StopSysRtti();
    StopTestEngine();
  }
};
const auto* const kEngine = ::testing::AddGlobalTestEnvironment(new Engine);

struct Job {
  std::string source;
  std::string result;
};

void* RunJob(void* arg) {
  auto* job = static_cast<Job*>(arg);
  job->result = RunScript(job->source);
  return nullptr;
}

// Compiles and runs the script on a thread of its own whose stack has `stackBytes`.
std::string RunOnStack(std::size_t stackBytes, const std::string& source) {
  pthread_attr_t attr;
  pthread_attr_init(&attr);
  pthread_attr_setstacksize(&attr, stackBytes);
  Job job{source, {}};
  pthread_t thread;
  const int rc = pthread_create(&thread, &attr, RunJob, &job);
  pthread_attr_destroy(&attr);
  if (rc != 0) return "thread not started";
  pthread_join(thread, nullptr);
  return job.result;
}

std::string Repeat(const std::string& text, int times) {
  std::string all;
  for (int i = 0; i < times; ++i) all += text;
  return all;
}

const std::string kTooDeepSource = "compile error: Nesting too deep";
const std::string kTooDeepProgram =
    "compile error: Program too complex: statements or expressions nested too deeply";
const std::string kTooDeepRecursion = "error: Stack overflow";

// Either message of a nesting limit: which limit a small stack meets first depends on the
// build's frame sizes.
bool NestingRefused(const std::string& result) {
  return result.starts_with(kTooDeepSource) || result.starts_with(kTooDeepProgram);
}

class SmallStackTest : public ::testing::TestWithParam<std::size_t> {
 protected:
  std::string Run(const std::string& source) { return RunOnStack(GetParam(), source); }
};

TEST_P(SmallStackTest, DeepSourceAndProgramsAreRefusedWhenCompiled) {
  // Accepted on a main thread's stack.
  const std::string brackets =
      "var x: Integer; begin x := " + Repeat("(", 397) + "1" + Repeat(")", 397) + "; end.";
  EXPECT_PRED1(NestingRefused, Run(brackets));
  const std::string blocks = "var x: Integer; begin " + Repeat("if x = 0 then begin ", 400) +
                             "x := 1; " + Repeat("end; ", 400) + "end.";
  EXPECT_PRED1(NestingRefused, Run(blocks));
  // A chain of operators is no deep source, but evaluating it recurses once per operator.
  const std::string chain = Run("var x: Integer; begin x := 1" + Repeat(" + 1", 900) +
                                "; ShowMessage(IntToStr(x)); end.");
  EXPECT_TRUE(chain == "901\n" || NestingRefused(chain)) << chain;
}

TEST_P(SmallStackTest, DeepRecursionRaisesStackOverflow) {
  EXPECT_EQ(Run("function R(n: Integer): Integer;\n"
                "begin if n = 0 then Result := 0 else Result := R(n - 1) + 1; end;\n"
                "begin ShowMessage(IntToStr(R(100000))); end."),
            kTooDeepRecursion);
  // At the bottom of the recursion, the deepest nesting the compiler allowed still fits.
  for (int nesting = 10;; nesting += 10) {
    const std::string source =
        "function R(n: Integer): Integer;\n"
        "begin if n = 0 then begin Result := 1" +
        Repeat(" + 1", nesting) + "; " + Repeat("if n = 0 then begin ", nesting) + "Result := 2; " +
        Repeat("end; ", nesting) +
        "end else Result := R(n - 1); end;\n"
        "begin ShowMessage(IntToStr(R(100000))); end.";
    const std::string result = Run(source);
    if (NestingRefused(result)) break;
    ASSERT_EQ(result, kTooDeepRecursion) << nesting;
  }
}

// AddressSanitizer's frames take many times the stack of a plain build's, so a sanitizer
// build is held to less.
#ifdef __SANITIZE_ADDRESS__
constexpr int kOrdinaryNesting = 4;
#else
constexpr int kOrdinaryNesting = 20;
#endif

TEST_P(SmallStackTest, OrdinaryNestingStillRuns) {
  const int n = kOrdinaryNesting;
  EXPECT_EQ(Run("var x: Integer; begin x := " + Repeat("(", n) + "1" + Repeat(" + 1)", n) + "; " +
                Repeat("if x > 0 then begin ", n) + "ShowMessage(IntToStr(x)); " +
                Repeat("end; ", n) + "end."),
            std::to_string(n + 1) + "\n");
  EXPECT_EQ(Run("function R(n: Integer): Integer;\n"
                "begin if n = 0 then Result := 0 else Result := R(n - 1) + 1; end;\n"
                "begin ShowMessage(IntToStr(R(50))); end."),
            "50\n");
}

INSTANTIATE_TEST_SUITE_P(Stacks, SmallStackTest,
                         ::testing::Values(std::size_t{256} << 10, std::size_t{512} << 10),
                         [](const auto& info) { return std::to_string(info.param >> 10) + "KB"; });

}  // namespace
}  // namespace kv
