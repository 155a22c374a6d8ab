// A span of seeds the census counts, and how much a walked draw counts for in it. The walk meets
// each draw once, for the seeds s and s + 2^31 that draw alike; a draw counts for those of the
// two that lie in the span: none, one or both.
#pragma once

#include <cstdint>

#include "random_source.h"
#include "walk/cycle.h"

struct SeedSpan {
  uint32_t first = 0;
  uint64_t count = kSeedSpace;  // 1 to 2^32, wrapping past 4294967295 to 0

  // The seed's distance from `first`, going up and wrapping, is below count. With the span
  // 4294967290 to 3 (ten seeds) the seed 1 lies 7 past the first: inside.
  bool Contains(uint32_t seed) const { return static_cast<uint32_t>(seed - first) < count; }

  // How many of the seed and its twin lie in the span: 0, 1 or 2.
  int Weight(uint32_t seed) const { return Contains(seed) + Contains(TwinOf(seed)); }
};
