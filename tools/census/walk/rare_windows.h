// The windows a walk meets only now and then, noted in the tally for their seeds: too few
// distinct values to tell apart, or a seventh value at or past the latest index so far. A walk
// knows a window by the state of its first candidate; these find its seeds.
#pragma once

#include <cstdint>

#include "count/tally.h"
#include "walk/seed_span.h"

// Without a span both seeds of the window are noted, the lower one and its twin, which draws
// alike; with one, those of the two that lie in the span. `distinct` is exact below kListLength.
void NoteFewDistinct(Tally& tally, uint32_t state, int distinct, const SeedSpan* span = nullptr);
void NoteLateSeventh(Tally& tally, uint32_t state, int seventhIndex,
                     const SeedSpan* span = nullptr);
