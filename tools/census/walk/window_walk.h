// The walk that goes one draw at a time: a stretch of the cycle, walked backwards, each window of
// twenty candidates counted into a tally. Plain C++ for any processor: it walks what the vector
// walk leaves over, and checks the vector walk in --verify.
#pragma once

#include <cstdint>
#include <vector>

#include "census.h"
#include "count/tally.h"

// Walks `count` windows from the one whose first candidate is `firstState` backwards; each counts
// once, or with a span for those of its two seeds inside it (see RecordWindow).
void WalkWindows(Tally& tally, uint32_t firstState, uint64_t count, const SeedSpan* span = nullptr);

// The walk's picks for `count` consecutive draws of the generator's cycle, ending with the draw
// of `lastSeed` (walked backwards from there, so the first element is lastSeed's).
std::vector<WalkedPick> WalkCycleForTest(uint32_t lastSeed, uint32_t count);
