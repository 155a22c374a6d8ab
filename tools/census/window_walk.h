// The walks that go one draw at a time: a stretch of the cycle, walked backwards, each window of
// twenty candidates counted into a tally. Two builds of the same code: one for any x86-64
// processor, one that may use the bit-counting instructions of newer ones.
#pragma once

#include <cstdint>
#include <vector>

#include "census.h"
#include "tally.h"

// Walks `count` windows from the one whose first candidate is `firstState` backwards.
void WalkPortable(Tally& tally, uint32_t firstState, uint64_t count);
// The same with popcnt, bmi, bmi2 and lzcnt; only where CanUseBitInstructions() says so.
void WalkWithBitInstructions(Tally& tally, uint32_t firstState, uint64_t count);

// The walk's picks for `count` consecutive draws of the generator's cycle, ending with the draw
// of `lastSeed` (walked backwards from there, so the first element is lastSeed's).
std::vector<WalkedPick> WalkCycleForTest(uint32_t lastSeed, uint32_t count);
