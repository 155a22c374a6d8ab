// What the census's counts per pick add up to: how often each number is picked, how many picks
// come up at all, and the most and least frequent of them.
#pragma once

#include <cstdint>

#include "census_result.h"
#include "draw.h"
#include "report/number_figures.h"

struct PickSummary {
  uint64_t numberCounts[kNumberSlots] = {};  // seeds whose pick holds the number (1..37)
  uint32_t picksShown = 0;                   // picks with a nonzero count
  uint32_t mostFrequentRank = 0, leastFrequentRank = 0;  // least among those shown
  uint64_t mostFrequentCount = 0, leastFrequentCount = 0;
  // Picks that share those counts, the ones named included: a tie is told as a tie. The ranks
  // named are the lowest of them.
  uint32_t mostFrequentPicks = 0, leastFrequentPicks = 0;
};

PickSummary SummarisePicks(const CensusResult& result);
