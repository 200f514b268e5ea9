// The interpreter's hot paths allocate nothing: a loop pass that reads variables, adds
// integers and assigns through a prepared assignment costs the same heap traffic however
// many passes run.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <functional>
#include <new>

#include "tests/engine/program_builder.h"

namespace {
std::atomic<long> g_allocations{0};
}  // namespace

// Counting replacements of the global allocation functions, for this test binary only.
void* operator new(std::size_t size) {
  ++g_allocations;
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace kv::test {
namespace {

long AllocationsDuring(ProgramBuilder& p) {
  const long before = g_allocations.load();
  p.Run();
  return g_allocations.load() - before;
}

TEST(HotPaths, LoopPassesDoNotAllocate) {
  const struct {
    const char* name;
    std::function<void(ProgramBuilder&, const char* passes)> build;
  } programs[] = {
      {"x := x + i",
       [](ProgramBuilder& p, const char* passes) {
         p.Main({p.For("i", "1", passes, {p.Assign("x", "x + i")})});
       }},
      {"folded x := x + i",
       [](ProgramBuilder& p, const char* passes) {
         p.Main({p.For("i", "1", passes, {p.AssignFolded("x", "x + i")})});
       }},
      {"y := x; if/while conditions",
       [](ProgramBuilder& p, const char* passes) {
         p.Main({p.For(
             "i", "1", passes,
             {p.Assign("y", "x"), p.If("(i mod 2 = 0) and (y >= 0)", {p.Assign("x", "x - 1")}),
              p.While("y > 0", {p.Assign("y", "y - 1"), p.Break()})})});
       }},
      {"registered function call",
       [](ProgramBuilder& p, const char* passes) {
         p.Function("function TwiceAsLongName(k: Integer): Integer",
                    [](int32_t, TClass*, const UString&, TkvParams& params) {
                      return Variant(params[0].ToInt() * 2);
                    });
         p.Main({p.For("i", "1", passes, {p.Assign("x", "TwiceAsLongName(i) + x")})});
       }},
      {"recursive script function",
       [](ProgramBuilder& p, const char* passes) {
         p.Func("down", "Integer", {{"n"}}, [&] {
           return Stmts{
               p.If("n > 0", {p.Assign("Result", "down(n - 1) + 1")}, {p.Assign("Result", "0")})};
         });
         p.Main({p.For("i", "1", passes, {p.Assign("x", "down(5)")})});
       }},
  };
  for (const auto& program : programs) {
    long counts[2];
    int k = 0;
    for (const char* passes : {"10", "1000"}) {
      ProgramBuilder p;
      p.Int("x", 0);
      p.Int("y", 0);
      p.Int("i", 0);
      program.build(p, passes);
      p.Run();  // first run: anything lazily made on first use
      counts[k++] = AllocationsDuring(p);
    }
    EXPECT_EQ(counts[0], counts[1]) << program.name;
  }
}

// Guards the measurement itself: a loop that builds strings does allocate per pass (by
// prepending: appending grows the variable's own buffer and allocates only now and then).
TEST(HotPaths, CountingSeesPerPassAllocations) {
  long counts[2];
  int k = 0;
  for (const char* passes : {"10", "1000"}) {
    ProgramBuilder p;
    p.Int("i", 0);
    p.Str("s", "");
    p.Main({p.For("i", "1", passes, {p.Assign("s", "'x' + s")})});
    counts[k++] = AllocationsDuring(p);
  }
  EXPECT_LT(counts[0] + 900, counts[1]);
}

}  // namespace
}  // namespace kv::test
