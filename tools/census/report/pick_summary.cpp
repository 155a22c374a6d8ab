#include "report/pick_summary.h"

#include "count/pick_rank.h"

PickSummary SummarisePicks(const CensusResult& result) {
  PickSummary summary;
  if (result.pickCounts.size() != kPossiblePicks) return summary;
  // Colexicographic order is rank order, so one walk through the picks visits each rank in turn.
  int32_t pick[kPickSize] = {1, 2, 3, 4, 5, 6, 7};
  summary.leastFrequentCount = UINT64_MAX;
  for (uint32_t rank = 0; rank < kPossiblePicks; ++rank) {
    uint64_t count = result.pickCounts[rank];
    if (count) {
      ++summary.picksShown;
      for (int32_t number : pick) summary.numberCounts[number] += count;
      if (count > summary.mostFrequentCount) {
        summary.mostFrequentCount = count;
        summary.mostFrequentRank = rank;
        summary.mostFrequentPicks = 0;
      }
      summary.mostFrequentPicks += count == summary.mostFrequentCount;
      if (count < summary.leastFrequentCount) {
        summary.leastFrequentCount = count;
        summary.leastFrequentRank = rank;
        summary.leastFrequentPicks = 0;
      }
      summary.leastFrequentPicks += count == summary.leastFrequentCount;
    }
    int i = 0;  // the next pick in colexicographic order
    while (i < kPickSize - 1 && pick[i] + 1 == pick[i + 1]) ++i;
    ++pick[i];
    for (int j = 0; j < i; ++j) pick[j] = j + 1;
  }
  if (summary.picksShown == 0) summary.leastFrequentCount = 0;
  return summary;
}
