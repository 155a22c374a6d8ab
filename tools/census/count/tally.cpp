#include "count/tally.h"

#include <algorithm>

#include "walk/cycle.h"

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

void RecordDraw(Tally& tally, const WalkedPick& draw) {
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

void NoteSeeds(Extreme& extreme, int figure, uint32_t state, const SeedSpan* span) {
  uint32_t seed = SeedOfWindow(state);
  if (!span) {
    extreme.Note(figure, seed);
    return;
  }
  for (uint32_t twin : {seed, seed | ~kLow31}) {
    if (span->Contains(twin)) extreme.Note(figure, twin);
  }
}

}  // namespace

void NoteFewDistinct(Tally& tally, uint32_t state, int distinct, const SeedSpan* span) {
  NoteSeeds(tally.fewest, distinct, state, span);
}

void NoteLateSeventh(Tally& tally, uint32_t state, int seventhIndex, const SeedSpan* span) {
  NoteSeeds(tally.latest, seventhIndex, state, span);
}

namespace {

// One end of a figure over all workers: its value, how many seeds reach it, the smallest seeds.
struct MergedExtreme {
  int value = 0;
  uint64_t seedCount = 0;
  std::vector<uint32_t> seeds;
};

MergedExtreme MergeExtremes(std::vector<Tally>& tallies, Extreme Tally::*member, uint64_t weight) {
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
    merged.seedCount += extreme.count * weight;
    for (; !extreme.seeds.empty(); extreme.seeds.pop()) {
      merged.seeds.push_back(extreme.seeds.top());
      if (weight == 2) merged.seeds.push_back(extreme.seeds.top() | ~kLow31);
    }
  }
  std::sort(merged.seeds.begin(), merged.seeds.end());
  if (merged.seeds.size() > kSeedsKept) merged.seeds.resize(kSeedsKept);
  return merged;
}

void MergeCounts(std::vector<Tally>& tallies, uint64_t weight, CensusResult& result) {
  result.pickCounts.assign(kPossiblePicks, 0);
  for (Tally& tally : tallies) {
    tally.picks.ApplyAll();
    tally.picks.AddCountsTo(result.pickCounts);
    for (int copy = 0; copy < Tally::kCopies; ++copy) {
      for (int i = 0; i < kCandidateCount; ++i) {
        result.seventhIndex[i] += tally.seventh[copy][i] * weight;
      }
    }
    result.shortPicks += tally.shortPicks * weight;
  }
  if (weight == 2) {
    for (uint32_t& count : result.pickCounts) count *= 2;
  }
}

}  // namespace

void MergeTallies(std::vector<Tally>& tallies, uint64_t weight, CensusResult& result) {
  MergeCounts(tallies, weight, result);
  MergedExtreme latest = MergeExtremes(tallies, &Tally::latest, weight);
  result.latestIndex = latest.value;
  result.latestIndexSeedCount = latest.seedCount;
  result.latestIndexSeeds = latest.seeds;
  MergedExtreme fewest = MergeExtremes(tallies, &Tally::fewest, weight);
  // The walk sees exact counts only below eight; nothing seen there means eight or more.
  result.fewestDistinctAtLeast = result.walkedTheCycle && fewest.value >= kListLength;
  result.fewestDistinct = result.fewestDistinctAtLeast ? kListLength : fewest.value;
  result.fewestDistinctSeedCount = result.fewestDistinctAtLeast ? 0 : fewest.seedCount;
  if (fewest.seedCount == 0 && !result.fewestDistinctAtLeast) result.fewestDistinct = 0;
  result.fewestDistinctSeeds =
      result.fewestDistinctAtLeast ? std::vector<uint32_t>{} : fewest.seeds;
}
