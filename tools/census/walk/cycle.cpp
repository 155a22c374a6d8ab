#include "walk/cycle.h"

// A step is the affine map x -> multiply * x + add; composing it with itself squares the
// multiplier and maps the increment through once more, so `steps` steps take about log2(steps)
// compositions, one per bit of `steps`.
uint32_t Jump(uint32_t state, uint64_t steps) {
  uint32_t multiply = kGeneratorMultiplier, add = kGeneratorIncrement;
  while (steps) {
    if (steps & 1) state = state * multiply + add;
    add = add * multiply + add;
    multiply *= multiply;
    steps >>= 1;
  }
  return state;
}

uint32_t WarmUpState(uint32_t firstState) {
  return Jump(firstState, kCandidateCount - 1);
}

uint32_t SeedOfCyclePosition(uint64_t position, uint32_t origin) {
  return SeedOfWindow(Jump(origin, position));
}

uint32_t CycleOriginOfSeed(uint32_t seed) {
  return WindowOfSeed(seed);
}
