// The script's pseudo-random generator (xoshiro256**). Without Randomize a run starts from
// seed 0 and so repeats its numbers, which keeps test scripts reproducible.
#pragma once

#include <cstdint>

namespace kv {

// Seeds from the clock.
void Randomize();
void SetRandSeed(uint64_t seed);
uint64_t RandSeed();  // the last seed set
// A float in [0, 1).
double RandomFloat();
// An integer in [0, range); 0 for a range of 0 or less.
int32_t RandomInt(int32_t range);

}  // namespace kv
