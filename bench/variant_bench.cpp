// Micro benchmarks of the value model: the operations every expression evaluation pays for.
#include <benchmark/benchmark.h>

#include "host/core/variant.h"
#include "host/core/variant_ops.h"

namespace {

void BM_IntegerAdd(benchmark::State& state) {
  kv::Variant a(12345), b(678);
  for (auto _ : state) {
    kv::Variant r = kv::VarBinaryOp(kv::VarOp::Add, a, b);
    benchmark::DoNotOptimize(r);
  }
}
BENCHMARK(BM_IntegerAdd);

void BM_DoubleAdd(benchmark::State& state) {
  kv::Variant a(1.5), b(2.25);
  for (auto _ : state) {
    kv::Variant r = kv::VarBinaryOp(kv::VarOp::Add, a, b);
    benchmark::DoNotOptimize(r);
  }
}
BENCHMARK(BM_DoubleAdd);

// An integer and a string Variant through the class table (string to real conversion).
void BM_MixedAdd(benchmark::State& state) {
  kv::Variant a(3), b(u"4.5");
  for (auto _ : state) {
    kv::Variant r = kv::VarBinaryOp(kv::VarOp::Add, a, b);
    benchmark::DoNotOptimize(r);
  }
}
BENCHMARK(BM_MixedAdd);

void BM_CopyInteger(benchmark::State& state) {
  kv::Variant a(42);
  for (auto _ : state) {
    kv::Variant c = a;
    benchmark::DoNotOptimize(c);
  }
}
BENCHMARK(BM_CopyInteger);

void BM_CopyString(benchmark::State& state) {
  kv::Variant a(u"a string long enough not to fit any small buffer");
  for (auto _ : state) {
    kv::Variant c = a;
    benchmark::DoNotOptimize(c);
  }
}
BENCHMARK(BM_CopyString);

void BM_CompareIntegers(benchmark::State& state) {
  kv::Variant a(1), b(2);
  for (auto _ : state) benchmark::DoNotOptimize(kv::VarCompare(a, b));
}
BENCHMARK(BM_CompareIntegers);

// s := s + 'x' on an unshared string appends in place.
void BM_AppendInPlace(benchmark::State& state) {
  kv::Variant s(u"");
  kv::Variant x(u"x");
  for (auto _ : state) {
    kv::VarBinaryOpInPlace(kv::VarOp::Add, s, x);
    if (s.RawString().size() > 4096) s = kv::Variant(u"");
  }
}
BENCHMARK(BM_AppendInPlace);

}  // namespace

BENCHMARK_MAIN();
