// The seeds found for a pick as the finder lists them: each with a second that gives it, in time
// order, and the first few only if asked. A seed is the Unix time modulo 2^32, so each seed comes
// again every 2^32 seconds (about 136 years).
#pragma once

#include <cstdint>
#include <vector>

#include "census_scope.h"
#include "random_source.h"

// Seconds from one key press to the next with the same seed: 4,294,967,296.
constexpr int64_t kSeedPeriod = static_cast<int64_t>(kSeedSpace);  // one second per seed

struct FoundSecond {
  uint32_t seed;
  int64_t second;  // Unix time
};

struct FoundSeconds {
  // The seeds found in a scope of seeds, or the seconds of a span of clock time that show the pick.
  uint64_t total = 0;
  std::vector<FoundSecond> listed;  // in time order; the first `first` of them when that is asked
};

// `seeds` are the seeds of the scope that show the pick. For a scope of seeds each is listed with
// its first second, from 1970-01-01T00:00:00Z on (the second is the seed itself); for a span of
// clock time every second of the span whose seed is one of them is listed, and a seed comes once
// for each time the span holds it. `first` cuts the list to that many (0: all of them).
FoundSeconds SecondsOfSeeds(std::vector<uint32_t> seeds, const CensusScope& scope, uint64_t first);
