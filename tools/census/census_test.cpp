// The census as a whole: its counts with each instruction set against the plain draw, spans,
// the workers' figures merged and the build of the walk it chooses.
#include "census.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "count/each_target.h"
#include "count/tally.h"
#include "draw.h"
#include "hwy/targets.h"
#include "report/number_figures.h"
#include "report/pick_summary.h"
#include "walk/cycle.h"
#include "walk/plain_draw.h"
#include "walk/seed_span.h"
#include "walk/vector_walk.h"

// How a failed check names a mode.
static void PrintTo(CensusMode mode, std::ostream* out) {
  *out << (mode == CensusMode::kSeedBySeed   ? "seed by seed"
           : mode == CensusMode::kWholeCycle ? "the whole cycle"
                                             : "a span along the cycle");
}

namespace {

// The census's own counter, and one whose shortest queues (a tail's length) fill and one-bit
// counters wrap every few draws, in both halves: a draw lost at a full queue or a wrap lost shows
// in the counts.
const CounterShape kCounterShapes[] = {CounterShape(), CounterShape{32, 1}};

// The whole count with one instruction set, against the plain draw of the same seeds.
void ExpectCountsLikeThePlainDraw(const std::string& target) {
  const uint64_t kDraws = (1 << 18) + 5;  // not a multiple of the lanes: the rest goes one by one
  std::vector<uint32_t> expected(kPossiblePicks);
  uint64_t seventh[kCandidateCount] = {};
  int fewest = kCandidateCount;
  for (uint64_t position = 0; position < kDraws; ++position) {
    DrawFigures draw = PlainDraw(SeedOfCyclePosition(position));
    expected[PickRank(draw.pick)] += 2;  // and its twin with bit 31 set
    seventh[draw.seventhIndex] += 2;
    fewest = std::min(fewest, draw.distinct);
  }
  ASSERT_GE(fewest, 8) << "this stretch has no seed with seven distinct values";
  for (CounterShape shape : kCounterShapes) {
    CensusOptions options;
    options.threads = 2;
    options.cycleDraws = kDraws;
    options.target = target;
    options.counter = shape;
    CensusResult result = RunCensus(options);
    SCOPED_TRACE(target + ", queue of " + std::to_string(shape.queueLength));
    EXPECT_EQ(result.mode, CensusMode::kWholeCycle);
    EXPECT_EQ(result.target, target);
    EXPECT_EQ(result.seedsCovered, 2 * kDraws);
    EXPECT_TRUE(result.pickCounts == expected);
    for (int i = 0; i < kCandidateCount; ++i) EXPECT_EQ(result.seventhIndex[i], seventh[i]) << i;
    // The walk tells apart only counts below eight.
    EXPECT_TRUE(result.fewestDistinctAtLeast);
    EXPECT_EQ(result.fewestDistinct, 8);
  }
}

// Seed 1237421458 has only seven distinct values among its candidates; a build must find it and
// its twin, whether the draw falls in the middle of a stretch or at its end.
void ExpectFewestDistinctFound(const std::string& target) {
  const uint32_t kSeed = 1237421458u;
  ASSERT_EQ(PlainDraw(kSeed).distinct, 7);
  for (uint64_t before : {0u, 1000u}) {
    const uint64_t kDraws = 4099;  // positions 0..4098; the seed's draw at `before`
    // `before` draws back along the cycle of 2^31 draws
    uint32_t origin = CycleOriginOfSeed(SeedOfCyclePosition(kCycle - before, WindowOfSeed(kSeed)));
    ASSERT_EQ(SeedOfCyclePosition(before, origin), kSeed);
    int fewest = kCandidateCount;
    uint64_t fewestCount = 0;
    for (uint64_t position = 0; position < kDraws; ++position) {
      int distinct = PlainDraw(SeedOfCyclePosition(position, origin)).distinct;
      if (distinct < fewest) fewestCount = 0;
      fewest = std::min(fewest, distinct);
      fewestCount += distinct == fewest ? 2 : 0;
    }
    CensusOptions options;
    options.cycleDraws = kDraws;
    options.cycleOrigin = origin;
    options.target = target;
    CensusResult result = RunCensus(options);
    SCOPED_TRACE(target + ", the seed " + std::to_string(before) + " draws in");
    EXPECT_FALSE(result.fewestDistinctAtLeast);
    EXPECT_EQ(result.fewestDistinct, fewest);
    EXPECT_EQ(result.fewestDistinctSeedCount, fewestCount);
    std::vector<uint32_t>& seeds = result.fewestDistinctSeeds;
    EXPECT_NE(std::find(seeds.begin(), seeds.end(), kSeed), seeds.end());
    EXPECT_NE(std::find(seeds.begin(), seeds.end(), TwinOf(kSeed)), seeds.end());
    EXPECT_EQ(result.latestIndex, 19);
  }
}

// Every figure of a span's census along the walk, against the plain draw's count of the same
// seeds. The walk tells distinct counts apart only below eight.
void ExpectSameFigures(const CensusResult& walked, const CensusResult& plain) {
  EXPECT_EQ(walked.seedsCovered, plain.seedsCovered);
  EXPECT_TRUE(walked.pickCounts == plain.pickCounts);
  for (int i = 0; i < kCandidateCount; ++i) {
    EXPECT_EQ(walked.seventhIndex[i], plain.seventhIndex[i]) << "index " << i;
  }
  EXPECT_EQ(walked.shortPicks, plain.shortPicks);
  EXPECT_EQ(walked.latestIndex, plain.latestIndex);
  EXPECT_EQ(walked.latestIndexSeedCount, plain.latestIndexSeedCount);
  EXPECT_EQ(walked.latestIndexSeeds, plain.latestIndexSeeds);
  if (plain.fewestDistinct >= 8) {
    EXPECT_TRUE(walked.fewestDistinctAtLeast);
    return;
  }
  EXPECT_FALSE(walked.fewestDistinctAtLeast);
  EXPECT_EQ(walked.fewestDistinct, plain.fewestDistinct);
  EXPECT_EQ(walked.fewestDistinctSeedCount, plain.fewestDistinctSeedCount);
  EXPECT_EQ(walked.fewestDistinctSeeds, plain.fewestDistinctSeeds);
}

// The plain draw's count of the seeds of `span` among the twins drawn at the cycle positions of
// `draws`.
CensusResult PlainCount(const std::vector<DrawFigures>& draws, SeedSpan span) {
  std::vector<Tally> tallies;
  tallies.emplace_back(CounterShape{1024, 8});
  uint64_t seeds = 0;
  for (DrawFigures draw : draws) {
    for (uint32_t seed : {draw.seed, TwinOf(draw.seed)}) {
      if (!span.Contains(seed)) continue;
      draw.seed = seed;
      RecordDraw(tallies[0], draw);
      ++seeds;
    }
  }
  CensusResult plain;
  MergeTallies(tallies, 1, plain);
  plain.seedsCovered = seeds;
  return plain;
}

// Spans counted along a stretch of the cycle, each draw for those of its two seeds inside:
// spans whose first and last seeds are drawn in the stretch, so that both edges are met, which
// wrap past 4294967295, lie in the low half, straddle 2^31; the one seed that needs index 19;
// one seed of the draws that do not divide among the lanes; spans at the crossover's length; all
// the seeds but one.
void ExpectSpansLikeThePlainDraw(const std::string& target) {
  const uint32_t kSeed = 1237421458u;
  const uint64_t kDraws = (1 << 16) + 5;  // not a multiple of the lanes
  uint32_t origin = CycleOriginOfSeed(SeedOfCyclePosition(kCycle - 1000, WindowOfSeed(kSeed)));
  std::vector<DrawFigures> draws(kDraws);
  for (uint64_t position = 0; position < kDraws; ++position) {
    draws[position] = PlainDraw(SeedOfCyclePosition(position, origin));
  }
  ASSERT_EQ(draws[1000].seed, kSeed);
  auto at = [&](uint64_t position) { return draws[position].seed; };  // bit 31 clear
  auto from = [](uint32_t first, uint32_t last) {
    return SeedSpan{first, static_cast<uint32_t>(last - first) + uint64_t{1}};
  };
  const SeedSpan spans[] = {
      from(TwinOf(at(10)), at(20)),
      from(std::min(at(30), at(40)), std::max(at(30), at(40))),
      from(at(50), TwinOf(at(60))),
      {kSeed, 1},
      {TwinOf(at(kDraws - 3)), 1},  // among the draws left over to the one-draw walk
      {at(70), kWalkSpanAtLeast - 1},
      {at(70), kWalkSpanAtLeast},
      from(TwinOf(at(80)) + 1, TwinOf(at(80)) - 1) /* all but one */,
  };
  for (const SeedSpan& span : spans) {
    // Short queues, so that setting up the counter takes little time, and for the first span
    // queues that fill and counters that wrap every few draws.
    for (CounterShape shape : {CounterShape{1024, 8}, CounterShape{32, 1}}) {
      if (&span != &spans[0] && shape.queueLength == 32) continue;
      CensusOptions options;
      options.scope.firstSeed = span.first;
      options.scope.seedCount = span.count;
      options.method = SpanMethod::kWalk;
      options.cycleDraws = kDraws;
      options.cycleOrigin = origin;
      options.threads = 2;
      options.target = target;
      options.counter = shape;
      CensusResult walked = RunCensus(options);
      SCOPED_TRACE(target + ", " + std::to_string(span.count) + " seeds from " +
                   std::to_string(span.first) + ", queue of " + std::to_string(shape.queueLength));
      EXPECT_EQ(walked.mode, CensusMode::kSpanOnCycle);
      EXPECT_EQ(walked.target, target);
      ExpectSameFigures(walked, PlainCount(draws, span));
    }
  }
}

// The census walked with each instruction set Highway builds the walk for.
class CensusWith : public EachTarget {};

TEST_P(CensusWith, CountsLikeThePlainDraw) {
  ExpectCountsLikeThePlainDraw(TargetName());
}

TEST_P(CensusWith, FindsTheFewestDistinct) {
  ExpectFewestDistinctFound(TargetName());
}

TEST_P(CensusWith, CountsSpansLikeThePlainDraw) {
  ExpectSpansLikeThePlainDraw(TargetName());
}

INSTANTIATE_FOR_EACH_TARGET(CensusWith);

// The instruction set Highway's own dispatch runs here.
std::string HighwaysChoice() {
  return hwy::TargetName(hwy::SupportedAndGeneratedTargets().front());
}

// Spans from the crossover's length on are walked, shorter ones drawn seed by seed, unless the
// caller asks for one way; the whole space is always walked unless asked otherwise. The crossover
// stands where it was measured (bench/census_side_by_side.sh times the spans at and below it):
// one moved far off counts right, only slower, so only this holds it.
TEST(CensusSpan, WalksFromTheCrossoverOn) {
  CensusOptions options;
  options.scope.firstSeed = 4000000000u;
  options.scope.seedCount = 13999999;
  EXPECT_EQ(ModeOf(options), CensusMode::kSeedBySeed);
  options.method = SpanMethod::kWalk;
  EXPECT_EQ(ModeOf(options), CensusMode::kSpanOnCycle);
  options.method = SpanMethod::kFastest;
  options.scope.seedCount = 14000000;
  EXPECT_EQ(ModeOf(options), CensusMode::kSpanOnCycle);
  options.method = SpanMethod::kSeedBySeed;
  EXPECT_EQ(ModeOf(options), CensusMode::kSeedBySeed);
  options.scope.seedCount = kSeedSpace;
  EXPECT_EQ(ModeOf(options), CensusMode::kSeedBySeed);
  options.method = SpanMethod::kWalk;
  EXPECT_EQ(ModeOf(options), CensusMode::kWholeCycle);
  EXPECT_EQ(ModeOf(CensusOptions()), CensusMode::kWholeCycle);
}

TEST(Census, SeedBySeedMatchesTheDrawAndCountsEveryFigure) {
  CensusOptions options;
  options.scope.firstSeed = 1237421400u;
  options.scope.seedCount = 100;
  options.threads = 3;
  CensusResult result = RunCensus(options);
  EXPECT_EQ(result.mode, CensusMode::kSeedBySeed);
  EXPECT_EQ(result.seedsCovered, 100u);
  EXPECT_EQ(result.latestIndex, 19);
  EXPECT_EQ(result.latestIndexSeeds, std::vector<uint32_t>{1237421458u});
  EXPECT_FALSE(result.fewestDistinctAtLeast);
  EXPECT_EQ(result.fewestDistinct, 7);
  EXPECT_EQ(result.fewestDistinctSeeds, std::vector<uint32_t>{1237421458u});

  std::vector<uint32_t> expected(kPossiblePicks);
  uint64_t numbers[kNumberSlots] = {}, seventh[kCandidateCount] = {};
  for (uint32_t seed = options.scope.firstSeed;
       seed < options.scope.firstSeed + options.scope.seedCount; ++seed) {
    DrawFigures draw = PlainDraw(seed);
    ++expected[PickRank(draw.pick)];
    ++seventh[draw.seventhIndex];
    for (int32_t number : draw.pick) ++numbers[number];
  }
  EXPECT_TRUE(result.pickCounts == expected);
  PickSummary summary = SummarisePicks(result);
  for (int n = 1; n <= kHighestNumber; ++n) {
    EXPECT_EQ(summary.numberCounts[n], numbers[n]) << "number " << n;
  }
  for (int i = 0; i < kCandidateCount; ++i) {
    EXPECT_EQ(result.seventhIndex[i], seventh[i]) << "index " << i;
  }
  uint32_t distinctPicks = 0;
  for (uint32_t count : expected) distinctPicks += count != 0;
  EXPECT_EQ(summary.picksShown, distinctPicks);
  EXPECT_EQ(result.shortPicks, 0u);
}

// Two workers, one of them with the seed that needs index 19 and has only seven distinct values:
// the merged figures are that seed's, whichever worker counted which part.
TEST(Census, WorkersAgreeOnTheExtremes) {
  CensusOptions options;
  options.scope.firstSeed = 1237421458u - 65536u - 10u;  // the seed in the second part of 65536
  options.scope.seedCount = 65536u + 10u + 101u;
  options.threads = 2;
  CensusResult result = RunCensus(options);
  EXPECT_EQ(result.latestIndex, 19);
  EXPECT_EQ(result.latestIndexSeeds, std::vector<uint32_t>{1237421458u});
  EXPECT_EQ(result.fewestDistinct, 7);
  EXPECT_EQ(result.fewestDistinctSeedCount, 1u);
}

// The census names the builds of the walk best first, and runs the one Highway's dispatch chooses
// unless asked for another: a census that took a slower one would still count right, only slower.
// The instruction set it reports is the one whose code counted, as that code recorded it; each
// one asked for is the one that runs, along the whole cycle and along it for a span.
TEST(Census, WalksWithTheBestBuildUnlessAskedForAnother) {
  std::vector<std::string> names;
  for (int64_t target : hwy::SupportedAndGeneratedTargets())
    names.push_back(hwy::TargetName(target));
  EXPECT_EQ(CensusTargets(), names);
  CensusOptions options;
  options.cycleDraws = 1000;
  options.counter = CounterShape{1024, 8};
  EXPECT_EQ(RunCensus(options).target, HighwaysChoice());
  for (const std::string& name : names) {
    options.target = name;
    options.method = SpanMethod::kFastest;
    EXPECT_EQ(RunCensus(options).target, name);
    options.scope.seedCount = 10;
    options.method = SpanMethod::kWalk;
    EXPECT_EQ(RunCensus(options).target, name) << "a span";
    options.scope.seedCount = kSeedSpace;
  }
}

TEST(Census, AnInterruptedCountSaysSo) {
  std::atomic<bool> stop{true};
  CensusOptions options;
  options.threads = 2;
  options.stop = &stop;
  CensusResult result = RunCensus(options);
  EXPECT_TRUE(result.interrupted);
  EXPECT_EQ(result.seedsCovered, 0u);
}

}  // namespace
