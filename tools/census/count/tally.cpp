#include "count/tally.h"

#include <algorithm>

#include "count/pick_rank.h"

void Extreme::Note(int figure, uint32_t seed) {
  if (!Reaches(figure)) return;
  if (figure != value) {
    value = figure;
    count = 0;
    seeds = {};
  }
  ++count;
  if (seeds.size() < kSeedsKept) {
    seeds.push(seed);
  } else if (seed < seeds.top()) {
    seeds.pop();
    seeds.push(seed);
  }
}

void RecordDraw(Tally& tally, const DrawFigures& draw) {
  tally.fewest.Note(draw.distinct, draw.seed);
  if (draw.seventhIndex < 0) {
    ++tally.shortPicks;
    return;
  }
  ++tally.seventh[0][draw.seventhIndex];
  tally.latest.Note(draw.seventhIndex, draw.seed);
  tally.picks.Add(PickCounter::Word(PickRank(draw.pick)));
}

namespace {

// One end of a figure over all workers: its value, how many seeds reach it, the smallest seeds.
struct MergedExtreme {
  int value = 0;
  uint64_t seedCount = 0;
  std::vector<uint32_t> seeds;
};

MergedExtreme MergeExtremes(std::vector<Tally>& tallies, Extreme Tally::*member) {
  MergedExtreme merged;
  merged.value = (tallies.front().*member).value;  // what an idle worker holds
  bool found = false;
  for (Tally& tally : tallies) {
    const Extreme& extreme = tally.*member;
    if (extreme.count && (!found || extreme.Beyond(merged.value))) {
      merged.value = extreme.value;
      found = true;
    }
  }
  for (Tally& tally : tallies) {
    Extreme& extreme = tally.*member;
    if (extreme.value != merged.value || extreme.count == 0) continue;
    merged.seedCount += extreme.count;
    for (; !extreme.seeds.empty(); extreme.seeds.pop()) merged.seeds.push_back(extreme.seeds.top());
  }
  std::sort(merged.seeds.begin(), merged.seeds.end());
  if (merged.seeds.size() > kSeedsKept) merged.seeds.resize(kSeedsKept);
  return merged;
}

void MergeCounts(std::vector<Tally>& tallies, uint64_t seedsPerEntry, CensusResult& result) {
  result.pickCounts.assign(kPossiblePicks, 0);
  for (Tally& tally : tallies) {
    tally.picks.ApplyAll();
    tally.picks.AddCountsTo(result.pickCounts);
    for (int copy = 0; copy < Tally::kCopies; ++copy) {
      for (int i = 0; i < kCandidateCount; ++i) {
        result.seventhIndex[i] += tally.seventh[copy][i] * seedsPerEntry;
      }
    }
    result.shortPicks += tally.shortPicks * seedsPerEntry;
  }
  if (seedsPerEntry != 1) {
    for (uint32_t& count : result.pickCounts) count *= static_cast<uint32_t>(seedsPerEntry);
  }
}

}  // namespace

void MergeTallies(std::vector<Tally>& tallies, uint64_t seedsPerEntry, CensusResult& result) {
  MergeCounts(tallies, seedsPerEntry, result);
  MergedExtreme latest = MergeExtremes(tallies, &Tally::latest);
  result.latestIndex = latest.value;
  result.latestIndexSeedCount = latest.seedCount;
  result.latestIndexSeeds = latest.seeds;
  MergedExtreme fewest = MergeExtremes(tallies, &Tally::fewest);
  result.fewestDistinctAtLeast = false;
  result.fewestDistinct = fewest.seedCount ? fewest.value : 0;
  result.fewestDistinctSeedCount = fewest.seedCount;
  result.fewestDistinctSeeds = fewest.seeds;
}
