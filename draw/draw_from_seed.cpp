// The draw as a pure function of a seed, for the tools and the tests. It stands in a file of its
// own so that the die, which draws only through DrawNumbers, does not carry it: the 64-bit
// linker keeps every function of an object it links, used or not, once it carries unwind tables.
#include "draw.h"
#include "random_source.h"

void DrawCandidates(uint32_t seed, int32_t candidates[kCandidateCount]) {
  Generator generator;
  Seed(generator, seed);
  for (int index = 0; index < kCandidateCount; ++index) {
    candidates[index] = Next(generator) % kHighestNumber + 1;
  }
}

void DrawFromSeed(uint32_t seed, int32_t pick[kPickSize]) {
  int32_t candidates[kCandidateCount];
  DrawCandidates(seed, candidates);
  PickFromCandidates(candidates, pick);
}
