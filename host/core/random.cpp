#include "host/core/random.h"

#include <ctime>

namespace kv {

namespace {

struct Generator {
  uint64_t seed = 0;
  uint64_t s[4] = {};
  bool seeded = false;
};

Generator& State() {
  static Generator g;
  return g;
}

uint64_t SplitMix64(uint64_t& x) {
  uint64_t z = (x += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

uint64_t Rotl(uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }

uint64_t Next() {
  Generator& g = State();
  if (!g.seeded) SetRandSeed(g.seed);
  uint64_t* s = g.s;
  uint64_t result = Rotl(s[1] * 5, 7) * 9;
  uint64_t t = s[1] << 17;
  s[2] ^= s[0];
  s[3] ^= s[1];
  s[1] ^= s[2];
  s[0] ^= s[3];
  s[2] ^= t;
  s[3] = Rotl(s[3], 45);
  return result;
}

}  // namespace

void SetRandSeed(uint64_t seed) {
  Generator& g = State();
  g.seed = seed;
  uint64_t x = seed;
  for (uint64_t& word : g.s) word = SplitMix64(x);
  g.seeded = true;
}

uint64_t RandSeed() { return State().seed; }

void Randomize() {
  timespec ts{};
  clock_gettime(CLOCK_REALTIME, &ts);
  SetRandSeed(static_cast<uint64_t>(ts.tv_sec) * 1000000000ull + static_cast<uint64_t>(ts.tv_nsec));
}

double RandomFloat() { return static_cast<double>(Next() >> 11) * 0x1.0p-53; }

int32_t RandomInt(int32_t range) {
  if (range <= 0) return 0;
  return static_cast<int32_t>((Next() >> 32) * static_cast<uint64_t>(range) >> 32);
}

}  // namespace kv
