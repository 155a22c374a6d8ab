// The generator's cycle as the census walks it: a step forwards and backwards, a jump of any
// length, the candidate a state yields, and where each seed's twenty candidates lie on the cycle.
#pragma once

#include <cstdint>

#include "draw.h"
#include "random_source.h"

// Bit 31 of the state never reaches a value, and no lower bit depends on it, so seeds that differ
// only in bit 31 draw alike: each seed has a twin. The census follows the low 31 bits, whose
// cycle is 2^31 steps long.
constexpr uint32_t kTwinBit = 1u << 31;
constexpr uint32_t kLow31 = kTwinBit - 1;
constexpr uint64_t kCycle = 1ull << 31;

// The seed that draws as `seed` does: 5 and 2147483653 are twins.
constexpr uint32_t TwinOf(uint32_t seed) {
  return seed ^ kTwinBit;
}

// The multiplier's inverse modulo 2^32, so the walk can step the generator backwards. Newton's
// iteration x -> x * (2 - m * x) doubles the number of correct low bits each time: m * m = 1 mod
// 8 for any odd m, so starting from m itself five rounds give 3 * 2^5 >= 32 correct bits.
constexpr uint32_t InverseOfOdd(uint32_t odd) {
  uint32_t inverse = odd;
  for (int round = 0; round < 5; ++round) inverse *= 2u - odd * inverse;
  return inverse;
}
constexpr uint32_t kInverseMultiplier = InverseOfOdd(kGeneratorMultiplier);
static_assert(kGeneratorMultiplier * kInverseMultiplier == 1u, "an odd multiplier has an inverse");

constexpr uint32_t Forward(uint32_t state) {
  return GeneratorStep(state);
}
constexpr uint32_t Backward(uint32_t state) {
  return (state - kGeneratorIncrement) * kInverseMultiplier;
}
static_assert(Backward(Forward(0xDEADBEEFu)) == 0xDEADBEEFu, "Backward undoes Forward");

// The candidate (0..36, one less than the number shown) that the state yields.
constexpr uint32_t Candidate(uint32_t state) {
  return static_cast<uint32_t>(GeneratorOutput(state)) % kHighestNumber;
}

// The state `steps` steps forward.
uint32_t Jump(uint32_t state, uint64_t steps);

// A seed's window is the state of its first candidate: Seed() takes one step, the first Next()
// the second. Both are kept to the low 31 bits, the part of the cycle the census walks.
constexpr uint32_t WindowOfSeed(uint32_t seed) {
  return Forward(Forward(seed)) & kLow31;
}
constexpr uint32_t SeedOfWindow(uint32_t state) {
  return Backward(Backward(state)) & kLow31;
}

// Where a walk starts pushing: a window is twenty candidates, so before the window of
// `firstState` is whole the walk pushes the nineteen behind its first one, from the far end.
uint32_t WarmUpState(uint32_t firstState);

// The lower seed of the draw at `position` of the walk's cycle, counted from state `origin`, so
// that a census limited to the first draws of the cycle can be checked seed by seed.
uint32_t SeedOfCyclePosition(uint64_t position, uint32_t origin = 0);

// The origin that makes the seed's draw position 0 of the cycle.
uint32_t CycleOriginOfSeed(uint32_t seed);
