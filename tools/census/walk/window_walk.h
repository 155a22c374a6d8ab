// The walk that goes one draw at a time: a stretch of the cycle, walked backwards, each window of
// twenty candidates counted into a tally, or its pick compared with one sought. Plain C++ for any
// processor: it walks what the vector walk leaves over, and --verify holds it against the plain
// draw seed by seed.
#pragma once

#include <cstdint>
#include <vector>

#include "count/tally.h"
#include "walk/seed_span.h"

// Walks `count` windows from the one whose first candidate is `firstState` backwards; each counts
// once, or with a span for those of its two seeds inside it (see RecordWindow).
void WalkWindows(Tally& tally, uint32_t firstState, uint64_t count, const SeedSpan* span = nullptr);

// The same windows, each pick compared with `pick` (bit v set for the number v + 1) instead of
// counted: the lower seed (bit 31 clear) of each window that shows it is appended to `seeds`.
void FindInWindows(uint64_t pick, uint32_t firstState, uint64_t count,
                   std::vector<uint32_t>& seeds);

// What the walk sees of `count` consecutive draws of the generator's cycle, ending with the draw
// of `lastSeed` (walked backwards from there, so the first element is lastSeed's); each draw's
// seed is the lower of its two, bit 31 clear.
std::vector<DrawFigures> WalkDraws(uint32_t lastSeed, uint32_t count);
