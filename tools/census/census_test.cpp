#include "census.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "census_report.h"
#include "draw.h"

namespace {

// The fast path must give the very pick of the library's draw, for both seeds of each twin pair.
void ExpectWalkMatchesDraw(uint32_t lastSeed, uint32_t count) {
  std::vector<WalkedPick> walked = WalkCycleForTest(lastSeed, count);
  ASSERT_EQ(walked.size(), count);
  EXPECT_EQ(walked.front().seed, lastSeed & 0x7FFFFFFFu);
  int failures = 0;
  for (const WalkedPick& fast : walked) {
    for (uint32_t seed : {fast.seed, fast.seed | 0x80000000u}) {
      int32_t pick[kPickSize];
      DrawFromSeed(seed, pick);
      WalkedPick plain = DrawOneSeedForCensus(seed);
      bool same = fast.seventhIndex == plain.seventhIndex && fast.distinct == plain.distinct;
      for (int i = 0; i < kPickSize; ++i) same = same && fast.pick[i] == pick[i];
      if (!same && ++failures <= 5) ADD_FAILURE() << "seed " << seed << " disagrees";
    }
  }
  EXPECT_EQ(failures, 0);
}

TEST(CensusFastPath, AgreesWithTheDrawOverMillionsOfSeeds) {
  for (uint32_t lastSeed : {0u, 0x12345678u, 0x7FFFFFFFu, 0xDEADBEEFu}) {
    ExpectWalkMatchesDraw(lastSeed, 1 << 20);
  }
}

TEST(CensusFastPath, AgreesOnTheSpecialSeeds) {
  // The seventh value at the last index, the failure seed and its twin, seeds 0 and 1.
  for (uint32_t seed : {1237421458u, 3384905106u, 0xFFFFFFFFu, 2147483647u, 0u, 1u, 0x80000000u}) {
    ExpectWalkMatchesDraw(seed, 64);
  }
  std::vector<WalkedPick> walked = WalkCycleForTest(1237421458u, 1);
  EXPECT_EQ(walked[0].seventhIndex, 19);
}

// Both builds of the walk (any x86-64, and with the bit-counting instructions where the
// processor has them), through the whole count, against the plain draw of the same seeds.
TEST(CensusFastPath, EveryBuildCountsLikeThePlainDraw) {
  const uint64_t kDraws = 1 << 20;  // plus five, below
  std::vector<uint32_t> expected(kPossiblePicks);
  uint64_t seventh[20] = {};
  int fewest = 20;
  for (uint64_t position = 0; position < kDraws + 5; ++position) {
    WalkedPick draw = DrawOneSeedForCensus(SeedOfCyclePosition(position));
    expected[PickRank(draw.pick)] += 2;  // and its twin with bit 31 set
    seventh[draw.seventhIndex] += 2;
    fewest = std::min(fewest, draw.distinct);
  }
  ASSERT_GE(fewest, 8) << "this stretch has no seed with seven distinct values";
  const struct {
    CensusPath path;
    const char* name;
  } builds[] = {{CensusPath::kPortable, "portable build"},
                {CensusPath::kBitInstructions, "build with bit instructions"},
                {CensusPath::kVector, "vector build"}};
  for (const auto& build : builds) {
    if (!CensusPathAvailable(build.path)) {
      std::printf("this processor cannot run the %s; not tested\n", build.name);
      continue;
    }
    CensusOptions options;
    options.threads = 2;
    options.cycleDraws = kDraws + 5;  // not a multiple of sixteen, so the rest goes the scalar way
    options.path = build.path;
    CensusResult result = RunCensus(options);
    EXPECT_TRUE(result.walkedTheCycle) << build.name;
    EXPECT_EQ(result.path, build.path);
    EXPECT_EQ(result.seedsCovered, 2 * (kDraws + 5)) << build.name;
    EXPECT_TRUE(result.pickCounts == expected) << build.name;
    for (int i = 0; i < 20; ++i) {
      EXPECT_EQ(result.seventhIndex[i], seventh[i]) << build.name << " " << i;
    }
    // The walk tells apart only counts below eight.
    EXPECT_TRUE(result.fewestDistinctAtLeast) << build.name;
    EXPECT_EQ(result.fewestDistinct, 8) << build.name;
  }
}

// Seed 1237421458 has only seven distinct values among its candidates; every build must find it
// and its twin, whether the draw falls in the middle of a stretch or at its end.
TEST(CensusFastPath, EveryBuildFindsTheFewestDistinctValues) {
  const uint32_t kSeed = 1237421458u;
  ASSERT_EQ(DrawOneSeedForCensus(kSeed).distinct, 7);
  for (uint64_t before : {0u, 1000u}) {
    const uint64_t kDraws = 4099;  // positions 0..4098; the seed's draw at `before`
    // `before` draws back along the cycle of 2^31 draws
    uint32_t origin =
        CycleOriginOfSeed(SeedOfCyclePosition((1ull << 31) - before, CycleOriginOfSeed(kSeed)));
    ASSERT_EQ(SeedOfCyclePosition(before, origin), kSeed);
    int fewest = 20;
    uint64_t fewestCount = 0;
    for (uint64_t position = 0; position < kDraws; ++position) {
      int distinct = DrawOneSeedForCensus(SeedOfCyclePosition(position, origin)).distinct;
      if (distinct < fewest) fewestCount = 0;
      fewest = std::min(fewest, distinct);
      fewestCount += distinct == fewest ? 2 : 0;
    }
    for (CensusPath path :
         {CensusPath::kPortable, CensusPath::kBitInstructions, CensusPath::kVector}) {
      if (!CensusPathAvailable(path)) continue;
      CensusOptions options;
      options.cycleDraws = kDraws;
      options.cycleOrigin = origin;
      options.path = path;
      CensusResult result = RunCensus(options);
      EXPECT_FALSE(result.fewestDistinctAtLeast);
      EXPECT_EQ(result.fewestDistinct, fewest);
      EXPECT_EQ(result.fewestDistinctSeedCount, fewestCount);
      std::vector<uint32_t>& seeds = result.fewestDistinctSeeds;
      EXPECT_NE(std::find(seeds.begin(), seeds.end(), kSeed), seeds.end());
      EXPECT_NE(std::find(seeds.begin(), seeds.end(), kSeed | 0x80000000u), seeds.end());
    }
  }
}

TEST(CensusVerify, ChecksEachSeedAndTheFastestCount) {
  CensusOptions options;
  options.threads = 2;
  options.cycleDraws = 1 << 16;
  VerifyResult verdict = VerifyCensus(options);
  EXPECT_FALSE(verdict.interrupted);
  EXPECT_EQ(verdict.seedsChecked, 2u << 16);
  EXPECT_EQ(verdict.mismatches, 0u);
  EXPECT_TRUE(verdict.countsAgree);
}

TEST(CensusRank, CoversEveryPickOnceInOrder) {
  const int32_t lowest[7] = {1, 2, 3, 4, 5, 6, 7}, highest[7] = {31, 32, 33, 34, 35, 36, 37};
  EXPECT_EQ(PickRank(lowest), 0u);
  EXPECT_EQ(PickRank(highest), kPossiblePicks - 1);
  for (uint32_t rank : {0u, 1u, 35u, 4096u, 1234567u, kPossiblePicks - 1}) {
    int32_t pick[7];
    PickFromRank(rank, pick);
    for (int i = 1; i < 7; ++i) EXPECT_LT(pick[i - 1], pick[i]) << "rank " << rank;
    EXPECT_EQ(PickRank(pick), rank);
  }
}

TEST(Census, SeedBySeedMatchesTheDrawAndCountsEveryFigure) {
  CensusOptions options;
  options.firstSeed = 1237421400u;
  options.lastSeed = 1237421499u;
  options.threads = 3;
  CensusResult result = RunCensus(options);
  EXPECT_FALSE(result.walkedTheCycle);
  EXPECT_EQ(result.seedsCovered, 100u);
  EXPECT_EQ(result.latestIndex, 19);
  EXPECT_EQ(result.latestIndexSeeds, std::vector<uint32_t>{1237421458u});
  EXPECT_FALSE(result.fewestDistinctAtLeast);
  EXPECT_EQ(result.fewestDistinct, 7);
  EXPECT_EQ(result.fewestDistinctSeeds, std::vector<uint32_t>{1237421458u});

  std::vector<uint32_t> expected(kPossiblePicks);
  uint64_t numbers[38] = {}, seventh[20] = {};
  for (uint32_t seed = options.firstSeed; seed <= options.lastSeed; ++seed) {
    WalkedPick draw = DrawOneSeedForCensus(seed);
    ++expected[PickRank(draw.pick)];
    ++seventh[draw.seventhIndex];
    for (int32_t number : draw.pick) ++numbers[number];
  }
  EXPECT_TRUE(result.pickCounts == expected);
  PickSummary summary = SummarisePicks(result);
  for (int n = 1; n <= 37; ++n) EXPECT_EQ(summary.numberCounts[n], numbers[n]) << "number " << n;
  for (int i = 0; i < 20; ++i) EXPECT_EQ(result.seventhIndex[i], seventh[i]) << "index " << i;
  uint32_t distinctPicks = 0;
  for (uint32_t count : expected) distinctPicks += count != 0;
  EXPECT_EQ(summary.picksShown, distinctPicks);
  EXPECT_EQ(result.shortPicks, 0u);
}

// Two workers, one of them with the seed that needs index 19 and has only seven distinct values:
// the merged figures are that seed's, whichever worker counted which part.
TEST(Census, WorkersAgreeOnTheExtremes) {
  CensusOptions options;
  options.firstSeed = 1237421458u - 65536u - 10u;  // the seed in the second part of 65536
  options.lastSeed = 1237421458u + 100u;
  options.threads = 2;
  CensusResult result = RunCensus(options);
  EXPECT_EQ(result.latestIndex, 19);
  EXPECT_EQ(result.latestIndexSeeds, std::vector<uint32_t>{1237421458u});
  EXPECT_EQ(result.fewestDistinct, 7);
  EXPECT_EQ(result.fewestDistinctSeedCount, 1u);
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

TEST(CensusArgs, NamesWhatIsWrong) {
  const struct {
    std::vector<const char*> args;
    const char* message;
  } cases[] = {
      {{"--seeds", "10"},
       "vorel-census: seed range '10' is not A:B with seeds from 0 to 4294967295"},
      {{"--seeds", "5:x"},
       "vorel-census: seed range '5:x' is not A:B with seeds from 0 to 4294967295"},
      {{"--seeds", "9:3"}, "vorel-census: seed range '9:3' is empty (A is above B)"},
      {{"--threads", "0"}, "vorel-census: thread count '0' is not a number from 1 to 1024"},
      {{"--threads"}, "vorel-census: --threads needs a value"},
      {{"--fast"}, "vorel-census: unknown option '--fast' (see --help)"},
      {{"extra"}, "vorel-census: unexpected argument 'extra' (see --help)"},
  };
  for (const auto& c : cases) {
    std::vector<const char*> argv = c.args;
    argv.insert(argv.begin(), "vorel-census");
    CensusArgs args;
    EXPECT_EQ(ParseCensusArgs(static_cast<int>(argv.size()), argv.data(), args), c.message);
  }
  const char* good[] = {"vorel-census", "--seeds", "0x10:0x1F", "--threads", "3", "--json"};
  CensusArgs args;
  EXPECT_EQ(ParseCensusArgs(6, good, args), "");
  EXPECT_EQ(args.firstSeed, 16u);
  EXPECT_EQ(args.lastSeed, 31u);
  EXPECT_EQ(args.threads, 3u);
  EXPECT_TRUE(args.json);
}

TEST(CensusReport, TableJsonAndChartCarryTheFigures) {
  CensusOptions options;
  options.firstSeed = 0;
  options.lastSeed = 999;
  options.threads = 2;
  CensusResult result = RunCensus(options);
  PickSummary summary = SummarisePicks(result);
  std::string table = CensusTable(result, summary, 1.5, 2);
  EXPECT_NE(table.find("Seeds covered: 1000 (each seed drawn one by one)"), std::string::npos);
  EXPECT_NE(table.find("Most to least frequent: "), std::string::npos);
  std::string json = CensusJson(result, summary, 1.5, 2);
  EXPECT_EQ(json.front(), '{');
  EXPECT_NE(json.find("\"seeds_covered\": 1000,"), std::string::npos);
  EXPECT_NE(json.find("\"possible_picks\": 10295472,"), std::string::npos);
  std::string svg = CensusChart(result, summary);
  EXPECT_EQ(svg.rfind("<svg", 0), 0u);
  EXPECT_EQ(svg.find("</svg>"), svg.size() - 7);
  size_t bars = 0;
  for (size_t at = 0; (at = svg.find("<rect x=", at)) != std::string::npos; ++at) ++bars;
  EXPECT_EQ(bars, 2 * 37u);  // counts, and differences from the average
}

}  // namespace
