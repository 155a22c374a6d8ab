// The finder as a whole: with each instruction set, stretches of the cycle searched against a
// scan of the same draws with the plain draw, and spans of seeds along them (their edges, a
// draw's twin inside and outside, the top of the space, a span that wraps past 4294967295); the
// seed-by-seed path; the check with the die's draw catching a walk broken on purpose; and the
// whole space against the census's count.
#include "census_find.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "census_seam.h"
#include "count/each_target.h"
#include "count/pick_rank.h"
#include "hwy/targets.h"
#include "walk/cycle.h"
#include "walk/seed_span.h"
#include "walk/vector_walk.h"

namespace {

// The pick of a seed as the walks hold it: bit v set for the number v + 1.
uint64_t MaskOfSeed(uint32_t seed) {
  int32_t pick[kPickSize];
  DrawFromSeed(seed, pick);
  uint64_t mask = 0;
  for (int32_t number : pick) mask |= uint64_t{1} << (number - 1);
  return mask;
}

WantedPick PickOfSeed(uint32_t seed) {
  WantedPick pick;
  DrawFromSeed(seed, pick.numbers);
  pick.mask = MaskOfSeed(seed);
  return pick;
}

// A stretch of the cycle's draws and what the plain draw shows for each: the draw `before`
// positions in is that of `seed`. Its length divides among no build's lanes, so that the last
// draws go one at a time.
struct Stretch {
  static constexpr uint64_t kDraws = (1 << 16) + 5;
  uint32_t origin;
  std::vector<uint32_t> seeds;  // the lower seed of each position
  std::vector<uint64_t> picks;

  Stretch(uint32_t seed, uint64_t before)
      : origin(CycleOriginOfSeed(SeedOfCyclePosition(kCycle - before, WindowOfSeed(seed)))) {
    for (uint64_t position = 0; position < kDraws; ++position) {
      seeds.push_back(SeedOfCyclePosition(position, origin));
      picks.push_back(MaskOfSeed(seeds.back()));
    }
  }

  // The seeds of the stretch, both of each draw, whose pick is `pick` and that lie in `span`.
  std::vector<uint32_t> Scan(uint64_t pick, SeedSpan span = SeedSpan()) const {
    std::vector<uint32_t> found;
    for (uint64_t position = 0; position < kDraws; ++position) {
      if (picks[position] != pick) continue;
      for (uint32_t each : {seeds[position], TwinOf(seeds[position])}) {
        if (span.Contains(each)) found.push_back(each);
      }
    }
    std::sort(found.begin(), found.end());
    return found;
  }

  // The finder's options for this stretch: the whole space, or a span along the walk.
  FindOptions Options(const std::string& target, uint64_t pick, SeedSpan span = SeedSpan()) const {
    FindOptions options;
    options.pick.mask = pick;
    int32_t* number = options.pick.numbers;
    for (int value = 0; value < kHighestNumber; ++value) {
      if (pick >> value & 1) *number++ = value + 1;
    }
    options.census.scope.firstSeed = span.first;
    options.census.scope.seedCount = span.count;
    options.census.method = SpanMethod::kWalk;
    options.census.cycleDraws = kDraws;
    options.census.cycleOrigin = origin;
    options.census.threads = 2;
    options.census.target = target;
    return options;
  }
};

// Positions whose picks a build must find wherever they fall: the first and the last of the
// stretch, both sides of the edges between the lanes' stretches and of the edge to the draws
// left over to the one-draw walk, the special seed's draw, and the first pick two draws in a row
// show.
std::vector<uint64_t> PositionsToFind(const Stretch& stretch, size_t lanes) {
  const uint64_t perLane = Stretch::kDraws / lanes;
  std::vector<uint64_t> positions = {0, Stretch::kDraws - 1, 1000};
  for (uint64_t edge : {perLane, perLane * lanes}) {
    if (edge == Stretch::kDraws) continue;
    positions.push_back(edge - 1);
    positions.push_back(edge);
  }
  for (uint64_t position = 0; position + 1 < Stretch::kDraws; ++position) {
    if (stretch.picks[position] == stretch.picks[position + 1]) {
      positions.push_back(position);
      break;
    }
  }
  return positions;
}

// The seed whose seventh distinct value stands at index 19 and which has only seven distinct
// values; the failure seed's twin, whose twin is the top of the space.
constexpr uint32_t kLateSeed = 1237421458u, kTopTwin = 2147483647u;

// The finder with each instruction set Highway builds the walk for.
class FindWith : public EachTarget {};

TEST_P(FindWith, FindsWhatTheDrawShowsAlongTheCycle) {
  for (uint32_t seed : {kLateSeed, kTopTwin}) {
    Stretch stretch(seed, 1000);
    ASSERT_EQ(stretch.seeds[1000], seed);
    for (uint64_t position : PositionsToFind(stretch, BuildNamed(TargetName()).lanes)) {
      const uint64_t pick = stretch.picks[position];
      FindResult result = RunFind(stretch.Options(TargetName(), pick));
      SCOPED_TRACE(TargetName() + ", the pick of position " + std::to_string(position) + ", seed " +
                   std::to_string(stretch.seeds[position]));
      EXPECT_EQ(result.mode, CensusMode::kWholeCycle);
      EXPECT_EQ(result.target, TargetName());
      EXPECT_EQ(result.seeds, stretch.Scan(pick));
      EXPECT_TRUE(result.wrongSeeds.empty());
    }
  }
}

// Spans along the walk, each found against the scan of its seeds. Around a seed s of the stretch
// and its twin t = s + 2^31: s alone, t alone, from t across 4294967295 to s (both), from s + 1
// to t - 1 (neither), the ten seeds before s (its edge left out), all but s; and at the top of the
// space, where 4294967295 draws as 2147483647: the top alone, the six seeds up to it, 2147483647
// and 2147483648.
TEST_P(FindWith, FindsTheSeedsOfSpansAlongTheCycle) {
  for (uint32_t seed : {kLateSeed, kTopTwin}) {
    Stretch stretch(seed, 1000);
    const uint64_t pick = stretch.picks[1000];
    const uint32_t s = seed, t = TwinOf(seed);
    std::vector<SeedSpan> spans = {{s, 1},
                                   {t, 1},
                                   {t, static_cast<uint32_t>(s - t) + uint64_t{1}},
                                   {s + 1, uint64_t{t} - s - 1},
                                   {s - 10, 10},
                                   {s + 1, kSeedSpace - 1}};
    if (seed == kTopTwin) {
      spans.insert(spans.end(), {{4294967295u, 1}, {4294967290u, 6}, {2147483647u, 2}});
    }
    for (const SeedSpan& span : spans) {
      FindResult result = RunFind(stretch.Options(TargetName(), pick, span));
      SCOPED_TRACE(TargetName() + ", " + std::to_string(span.count) + " seeds from " +
                   std::to_string(span.first));
      EXPECT_EQ(result.mode, CensusMode::kSpanOnCycle);
      EXPECT_EQ(result.seeds, stretch.Scan(pick, span));
    }
  }
  // The spans above find what they should, not merely nothing: both twins, or one.
  Stretch top(kTopTwin, 1000);
  EXPECT_EQ(top.Scan(top.picks[1000], {4294967290u, 6}), std::vector<uint32_t>{4294967295u});
  EXPECT_EQ(top.Scan(top.picks[1000], {kTopTwin, 2}), std::vector<uint32_t>{kTopTwin});
}

INSTANTIATE_FOR_EACH_TARGET(FindWith);

// Short spans go seed by seed, on two workers; this one wraps past 4294967295 to the seeds 0 and
// 1, which show the same pick.
TEST(Find, GoesSeedBySeedBelowTheCrossover) {
  FindOptions options;
  options.pick = PickOfSeed(0);
  options.census.scope.firstSeed = 4294967296u - 70000;
  options.census.scope.seedCount = 140000;
  options.census.threads = 2;
  FindResult result = RunFind(options);
  EXPECT_EQ(result.mode, CensusMode::kSeedBySeed);
  EXPECT_EQ(result.target, "");
  EXPECT_EQ(result.workers, 2u);
  std::vector<uint32_t> expected;
  for (uint64_t seed = options.census.scope.firstSeed;
       seed < uint64_t{options.census.scope.firstSeed} + 140000; ++seed) {
    if (MaskOfSeed(static_cast<uint32_t>(seed)) == options.pick.mask) {
      expected.push_back(static_cast<uint32_t>(seed));
    }
  }
  std::sort(expected.begin(), expected.end());
  ASSERT_GE(expected.size(), 2u);
  EXPECT_EQ(result.seeds, expected);

  // From the crossover on, a span is walked along the cycle (here only its first draws).
  options.census.scope.seedCount = kWalkSpanAtLeast;
  options.census.cycleDraws = 1000;
  EXPECT_EQ(RunFind(options).mode, CensusMode::kSpanOnCycle);
}

// The edges of the seeds searched, where a loop one short or one long shows. Seeds 0 and 1 both
// show 02,14,15,18,20,21,31: drawn seed by seed, 0 to 1 lists both, 1 to 1 and 0 to 0 one each;
// and both sides of the crossover, seed by seed one seed below it, along the walk from it on
// (here only the draws around those of seeds 0 and 1), with 0 and 1 the range's last seeds or
// its first.
TEST(Find, ListsTheSeedsAtTheEdgesOfARange) {
  const uint32_t origin = CycleOriginOfSeed(SeedOfCyclePosition(kCycle - 1000, WindowOfSeed(0)));
  auto find = [&](uint64_t last, uint64_t count) {
    FindOptions options;
    options.pick = PickOfSeed(0);
    options.census.scope.firstSeed = static_cast<uint32_t>(last + 1 - count);
    options.census.scope.seedCount = count;
    options.census.threads = 2;
    options.census.cycleDraws = 4099;
    options.census.cycleOrigin = origin;
    FindResult result = RunFind(options);
    EXPECT_TRUE(result.wrongSeeds.empty());
    EXPECT_EQ(result.mode,
              count < kWalkSpanAtLeast ? CensusMode::kSeedBySeed : CensusMode::kSpanOnCycle);
    return result.seeds;
  };
  EXPECT_EQ(find(1, 2), (std::vector<uint32_t>{0, 1}));
  EXPECT_EQ(find(1, 1), std::vector<uint32_t>{1});
  EXPECT_EQ(find(0, 1), std::vector<uint32_t>{0});
  std::vector<uint32_t> below = find(1, kWalkSpanAtLeast - 1);
  ASSERT_GE(below.size(), 2u);
  EXPECT_EQ(below[0], 0u);
  EXPECT_EQ(below[1], 1u);
  EXPECT_EQ(find(1, kWalkSpanAtLeast), (std::vector<uint32_t>{0, 1}));
  EXPECT_EQ(find(kWalkSpanAtLeast - 1, kWalkSpanAtLeast), (std::vector<uint32_t>{0, 1}));
}

// The test build's search, broken on purpose (each seed noted one window late): the check with
// the die's draw refuses the seeds it gives.
TEST(Find, RefusesTheSeedsOfABrokenWalk) {
  Stretch stretch(kLateSeed, 1000);
  // A pick shown by one draw of the stretch, whose next window shows another.
  uint64_t at = 2000;
  while (stretch.picks[at - 1] == stretch.picks[at] ||
         stretch.Scan(stretch.picks[at]).size() != 2) {
    ++at;
  }
  FindOptions options = stretch.Options("", stretch.picks[at]);
  FindResult sound = RunFind(options);
  EXPECT_EQ(sound.seeds, (std::vector<uint32_t>{stretch.seeds[at], TwinOf(stretch.seeds[at])}));
  EXPECT_TRUE(sound.wrongSeeds.empty());
  options.vectorFindForTest = SearchFault();
  FindResult broken = RunFind(options);
  EXPECT_EQ(broken.wrongSeeds,
            (std::vector<uint32_t>{stretch.seeds[at - 1], TwinOf(stretch.seeds[at - 1])}));
}

// Every seed: the finder lists seed 0 among the seeds of its pick, and as many as the census
// counts for that pick.
TEST(Find, FindsAsManySeedsAsTheCensusCounts) {
#ifdef __SANITIZE_ADDRESS__
  GTEST_SKIP() << "the census and the search of every seed take minutes under the sanitizers; "
                  "the release preset runs this test, and the whole-space check holds the "
                  "program's search against the census's counts under them too";
#endif
  FindOptions options;
  options.pick = PickOfSeed(0);
  options.census.threads = 2;
  FindResult found = RunFind(options);
  EXPECT_EQ(found.mode, CensusMode::kWholeCycle);
  ASSERT_FALSE(found.seeds.empty());
  EXPECT_EQ(found.seeds.front(), 0u);
  EXPECT_TRUE(found.wrongSeeds.empty());
  CensusOptions census;
  census.threads = 2;
  EXPECT_EQ(found.seeds.size(), RunCensus(census).pickCounts[PickRank(options.pick.numbers)]);
}

}  // namespace
