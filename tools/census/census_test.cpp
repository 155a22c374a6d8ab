// The census as a whole: its counts with each instruction set against the plain draw, the
// figures, the command line and the reports.
#include "census.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <climits>
#include <map>
#include <string>
#include <vector>

#include "census_args.h"
#include "census_report.h"
#include "cycle.h"
#include "draw.h"
#include "seed_span.h"
#include "tally.h"

namespace {

// The census's own counter, and one whose one-line queues fill and one-bit counters wrap every
// few draws, in both halves: a draw lost at a full queue or a wrap lost shows in the counts.
const CounterShape kCounterShapes[] = {CounterShape(), CounterShape{32, 1}};

bool Runs(const std::string& target) {
  std::vector<std::string> targets = CensusTargets();
  return std::find(targets.begin(), targets.end(), target) != targets.end();
}

std::string NotHere(const std::string& target) {
  return "this processor cannot run the walk built for " + target;
}

// The whole count with one instruction set, against the plain draw of the same seeds.
void ExpectCountsLikeThePlainDraw(const std::string& target) {
  const uint64_t kDraws = (1 << 18) + 5;  // not a multiple of the lanes: the rest goes one by one
  std::vector<uint32_t> expected(kPossiblePicks);
  uint64_t seventh[kCandidateCount] = {};
  int fewest = kCandidateCount;
  for (uint64_t position = 0; position < kDraws; ++position) {
    WalkedPick draw = DrawOneSeedForCensus(SeedOfCyclePosition(position));
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
    EXPECT_TRUE(result.walkedTheCycle);
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
  ASSERT_EQ(DrawOneSeedForCensus(kSeed).distinct, 7);
  for (uint64_t before : {0u, 1000u}) {
    const uint64_t kDraws = 4099;  // positions 0..4098; the seed's draw at `before`
    // `before` draws back along the cycle of 2^31 draws
    uint32_t origin = CycleOriginOfSeed(SeedOfCyclePosition(kCycle - before, WindowOfSeed(kSeed)));
    ASSERT_EQ(SeedOfCyclePosition(before, origin), kSeed);
    int fewest = kCandidateCount;
    uint64_t fewestCount = 0;
    for (uint64_t position = 0; position < kDraws; ++position) {
      int distinct = DrawOneSeedForCensus(SeedOfCyclePosition(position, origin)).distinct;
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
    EXPECT_NE(std::find(seeds.begin(), seeds.end(), kSeed | ~kLow31), seeds.end());
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
CensusResult PlainCount(const std::vector<WalkedPick>& draws, SeedSpan span) {
  std::vector<Tally> tallies;
  tallies.emplace_back(CounterShape{1024, 8});
  uint64_t seeds = 0;
  for (WalkedPick draw : draws) {
    for (uint32_t seed : {draw.seed, draw.seed | ~kLow31}) {
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
  const uint32_t kSeed = 1237421458u, kTwin = 0x80000000u;
  const uint64_t kDraws = (1 << 16) + 5;  // not a multiple of the lanes
  uint32_t origin = CycleOriginOfSeed(SeedOfCyclePosition(kCycle - 1000, WindowOfSeed(kSeed)));
  std::vector<WalkedPick> draws(kDraws);
  for (uint64_t position = 0; position < kDraws; ++position) {
    draws[position] = DrawOneSeedForCensus(SeedOfCyclePosition(position, origin));
  }
  ASSERT_EQ(draws[1000].seed, kSeed);
  auto at = [&](uint64_t position) { return draws[position].seed; };  // bit 31 clear
  auto from = [](uint32_t first, uint32_t last) {
    return SeedSpan{first, static_cast<uint32_t>(last - first) + uint64_t{1}};
  };
  const SeedSpan spans[] = {
      from(at(10) | kTwin, at(20)),
      from(std::min(at(30), at(40)), std::max(at(30), at(40))),
      from(at(50), at(60) | kTwin),
      {kSeed, 1},
      {at(kDraws - 3) | kTwin, 1},  // among the draws left over to the one-draw walk
      {at(70), kWalkSpanAtLeast - 1},
      {at(70), kWalkSpanAtLeast},
      from((at(80) | kTwin) + 1, at(80) | kTwin) /* all but one */,
  };
  for (const SeedSpan& span : spans) {
    // Short queues, so that setting up the counter takes little time, and for the first span
    // queues that fill and counters that wrap every few draws.
    for (CounterShape shape : {CounterShape{1024, 8}, CounterShape{32, 1}}) {
      if (&span != &spans[0] && shape.queueLength == 32) continue;
      CensusOptions options;
      options.firstSeed = span.first;
      options.seedCount = span.count;
      options.method = SpanMethod::kWalk;
      options.cycleDraws = kDraws;
      options.cycleOrigin = origin;
      options.threads = 2;
      options.target = target;
      options.counter = shape;
      CensusResult walked = RunCensus(options);
      SCOPED_TRACE(target + ", " + std::to_string(span.count) + " seeds from " +
                   std::to_string(span.first) + ", queue of " + std::to_string(shape.queueLength));
      EXPECT_TRUE(walked.walkedTheCycle);
      EXPECT_EQ(walked.target, target);
      ExpectSameFigures(walked, PlainCount(draws, span));
    }
  }
}

void ExpectCensusLikeThePlainDraw(const std::string& target) {
  ExpectCountsLikeThePlainDraw(target);
  ExpectFewestDistinctFound(target);
  ExpectSpansLikeThePlainDraw(target);
}

// One test per instruction set Highway builds the walk for on x86-64, so that each shows as
// passed or, where this processor lacks it, as skipped.
TEST(CensusWith, AVX3DL) {
  if (!Runs("AVX3_DL")) GTEST_SKIP() << NotHere("AVX3_DL");
  ExpectCensusLikeThePlainDraw("AVX3_DL");
}

TEST(CensusWith, AVX3) {
  if (!Runs("AVX3")) GTEST_SKIP() << NotHere("AVX3");
  ExpectCensusLikeThePlainDraw("AVX3");
}

TEST(CensusWith, AVX2) {
  if (!Runs("AVX2")) GTEST_SKIP() << NotHere("AVX2");
  ExpectCensusLikeThePlainDraw("AVX2");
}

TEST(CensusWith, SSE4) {
  if (!Runs("SSE4")) GTEST_SKIP() << NotHere("SSE4");
  ExpectCensusLikeThePlainDraw("SSE4");
}

TEST(CensusWith, SSSE3) {
  if (!Runs("SSSE3")) GTEST_SKIP() << NotHere("SSSE3");
  ExpectCensusLikeThePlainDraw("SSSE3");
}

TEST(CensusWith, SCALAR) {
  if (!Runs("SCALAR")) GTEST_SKIP() << NotHere("SCALAR");
  ExpectCensusLikeThePlainDraw("SCALAR");
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
  EXPECT_EQ(verdict.target, CensusTargets().front());
}

// A seed counts where its distance from the first, wrapping, is below the count; a walked draw
// counts for the seed and its twin with bit 31 flipped.
TEST(SeedSpan, WeighsTheTwinsInside) {
  const SeedSpan wrapping = {4294967290u, 10};  // 4294967290 to 3
  EXPECT_FALSE(wrapping.Contains(4294967289u));
  EXPECT_TRUE(wrapping.Contains(4294967290u));
  EXPECT_TRUE(wrapping.Contains(3));
  EXPECT_FALSE(wrapping.Contains(4));
  EXPECT_EQ(wrapping.Weight(1), 1);
  EXPECT_EQ(wrapping.Weight(0x7FFFFFFAu), 1);  // its twin, 4294967290, is in
  EXPECT_EQ(wrapping.Weight(4), 0);
  const SeedSpan across = {0x7FFFFFFFu, 2};  // 2147483647 and 2147483648
  EXPECT_EQ(across.Weight(0x7FFFFFFFu), 1);
  EXPECT_EQ(across.Weight(0), 1);
  EXPECT_EQ(across.Weight(1), 0);
  EXPECT_EQ(SeedSpan({5, 1ull << 31}).Weight(12345), 1);    // half the space holds one of each pair
  EXPECT_EQ(SeedSpan({5, (1ull << 32) - 1}).Weight(4), 1);  // all but 4
  EXPECT_EQ(SeedSpan({5, (1ull << 32) - 1}).Weight(3), 2);
  EXPECT_EQ(SeedSpan().Weight(0xFFFFFFFFu), 2);
}

// Spans from the crossover's length on are walked, shorter ones drawn seed by seed, unless the
// caller asks for one way; the whole space is always walked unless asked otherwise.
TEST(CensusSpan, WalksFromTheCrossoverOn) {
  CensusOptions options;
  options.firstSeed = 4000000000u;
  options.seedCount = kWalkSpanAtLeast - 1;
  EXPECT_FALSE(WalksTheCycle(options));
  options.method = SpanMethod::kWalk;
  EXPECT_TRUE(WalksTheCycle(options));
  options.method = SpanMethod::kFastest;
  options.seedCount = kWalkSpanAtLeast;
  EXPECT_TRUE(WalksTheCycle(options));
  options.method = SpanMethod::kSeedBySeed;
  EXPECT_FALSE(WalksTheCycle(options));
  EXPECT_TRUE(WalksTheCycle(CensusOptions()));
}

// --verify over a span: the span along the walk of the whole cycle, on two workers, against the
// span seed by seed. The span wraps past 4294967295.
TEST(CensusVerify, HoldsASpanAlongTheWalkAgainstItsSeedBySeedCount) {
  CensusOptions options;
  options.firstSeed = 4294967296u - 40000;
  options.seedCount = 1 << 16;
  options.threads = 2;
  VerifyResult verdict = VerifyCensus(options);
  EXPECT_FALSE(verdict.interrupted);
  EXPECT_EQ(verdict.seedsChecked, uint64_t{1} << 16);
  EXPECT_TRUE(verdict.countsAgree);
  EXPECT_EQ(verdict.target, CensusTargets().front());
}

TEST(CensusRank, CoversEveryPickOnceInOrder) {
  const int32_t lowest[kPickSize] = {1, 2, 3, 4, 5, 6, 7};
  const int32_t highest[kPickSize] = {31, 32, 33, 34, 35, 36, 37};
  EXPECT_EQ(PickRank(lowest), 0u);
  EXPECT_EQ(PickRank(highest), kPossiblePicks - 1);
  for (uint32_t rank : {0u, 1u, 35u, 4096u, 1234567u, kPossiblePicks - 1}) {
    int32_t pick[kPickSize];
    PickFromRank(rank, pick);
    for (int i = 1; i < kPickSize; ++i) EXPECT_LT(pick[i - 1], pick[i]) << "rank " << rank;
    EXPECT_EQ(PickRank(pick), rank);
    uint64_t mask = 0;
    for (int32_t number : pick) mask |= 1ull << (number - 1);
    EXPECT_EQ(RankOfMask(mask), rank);
    EXPECT_EQ(Ranks().Rank(mask), rank);
  }
}

TEST(Census, SeedBySeedMatchesTheDrawAndCountsEveryFigure) {
  CensusOptions options;
  options.firstSeed = 1237421400u;
  options.seedCount = 100;
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
  uint64_t numbers[kHighestNumber + 1] = {}, seventh[kCandidateCount] = {};
  for (uint32_t seed = options.firstSeed; seed < options.firstSeed + options.seedCount; ++seed) {
    WalkedPick draw = DrawOneSeedForCensus(seed);
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
  options.firstSeed = 1237421458u - 65536u - 10u;  // the seed in the second part of 65536
  options.seedCount = 65536u + 10u + 101u;
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
      {{"--threads", "0"}, "vorel-census: thread count '0' is not a whole number from 1 up"},
      {{"--threads", "-2"}, "vorel-census: thread count '-2' is not a whole number from 1 up"},
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
  const char* good[] = {"vorel-census", "--seeds", "0x10:0x1F", "--threads", "1024", "--json"};
  CensusArgs args;
  EXPECT_EQ(ParseCensusArgs(6, good, args), "");
  EXPECT_EQ(args.scope.firstSeed, 16u);
  EXPECT_EQ(args.scope.seedCount, 16u);
  EXPECT_EQ(args.threads, 1024u);
  EXPECT_TRUE(args.json);
  const char* huge[] = {"vorel-census", "--threads", "18446744073709551615"};
  EXPECT_EQ(ParseCensusArgs(3, huge, args), "") << "any count reads; the cores cut it later";
  EXPECT_EQ(args.threads, UINT_MAX);
}

TEST(CensusArgs, RefusesWhatCannotGoTogetherAndShowsValuesSafely) {
  const struct {
    std::vector<const char*> args;
    const char* message;
  } cases[] = {
      {{"--seeds", "1:2", "--seeds", "3:4"}, "vorel-census: --seeds given twice"},
      {{"--json", "--json"}, "vorel-census: --json given twice"},
      {{"--seeds", "1:2", "--from", "2027-01-01T00:00:00Z", "--to", "2027-01-01T00:00:00Z"},
       "vorel-census: --seeds and --from/--to cannot be used together"},
      {{"--from", "2027-01-01T00:00:00Z"}, "vorel-census: --from needs --to"},
      {{"--to", "2027-01-01T00:00:00Z"}, "vorel-census: --to needs --from"},
      {{"--from", "2027-01-02T00:00:00Z", "--to", "2027-01-01T00:00:00Z"},
       "vorel-census: time span 2027-01-02T00:00:00Z to 2027-01-01T00:00:00Z is empty (--to is "
       "before --from)"},
      {{"--from", "2027-02-29T00:00:00Z", "--to", "2027-03-01T00:00:00Z"},
       "vorel-census: time '2027-02-29T00:00:00Z' does not exist"},
      {{"--verify", "--json"},
       "vorel-census: --verify reports whether the counts agree, not the figures: it cannot be "
       "used with --json"},
      {{"--verify", "--chart", "c.svg"},
       "vorel-census: --verify reports whether the counts agree, not the figures: it cannot be "
       "used with --chart"},
      {{"--seeds", "5\n"},
       "vorel-census: seed range '5\\n' is not A:B with seeds from 0 to 4294967295"},
      {{"--\x1B[2J"}, "vorel-census: unknown option '--\\x1B[2J' (see --help)"},
  };
  for (const auto& c : cases) {
    std::vector<const char*> argv = c.args;
    argv.insert(argv.begin(), "vorel-census");
    CensusArgs args;
    EXPECT_EQ(ParseCensusArgs(static_cast<int>(argv.size()), argv.data(), args), c.message);
  }
  const char* verifySpan[] = {"vorel-census", "--verify", "--seeds", "0:9"};
  CensusArgs args;
  EXPECT_EQ(ParseCensusArgs(4, verifySpan, args), "") << "--verify checks the seeds asked for";
  EXPECT_EQ(args.scope.seedCount, 10u);
}

TEST(CensusScope, ClockSecondsAreTheDiesSeeds) {
  const struct {
    const char* from;
    const char* to;
    uint32_t firstSeed;
    uint64_t seedCount;
  } cases[] = {
      // A year: 365 days of seconds, from the seed of its first second.
      {"2027-01-01T00:00:00Z", "2027-12-31T23:59:59Z", 1798761600u, 365ull * 86400},
      {"2027-01-01T00:00:00Z", "2027-01-01T00:00:00Z", 1798761600u, 1},
      // 2106-02-07T06:28:15Z is second 2^32 - 1: the next second's seed is 0 again.
      {"2106-02-07T06:28:15Z", "2106-02-07T06:28:16Z", 0xFFFFFFFFu, 2},
      {"2106-02-07T06:28:16Z", "2106-02-07T06:28:16Z", 0u, 1},
      // 2^32 seconds or more hold every seed.
      {"1970-01-01T00:00:00Z", "2106-02-07T06:28:15Z", 0u, 1ull << 32},
      {"2000-01-01T00:00:00Z", "2200-01-01T00:00:00Z", 0u, 1ull << 32},
      {"2000-01-01T00:00:00Z", "2136-02-07T06:28:14Z", 946684800u, (1ull << 32) - 1},
  };
  for (const auto& c : cases) {
    const char* argv[] = {"vorel-census", "--from", c.from, "--to", c.to};
    CensusArgs args;
    ASSERT_EQ(ParseCensusArgs(5, argv, args), "") << c.from;
    EXPECT_EQ(args.scope.firstSeed, c.firstSeed) << c.from << " to " << c.to;
    EXPECT_EQ(args.scope.seedCount, c.seedCount) << c.from << " to " << c.to;
    EXPECT_TRUE(args.scope.clockSpan);
    std::string seconds = c.from == std::string(c.to)
                              ? std::string("the second ") + c.from
                              : std::string("the seconds from ") + c.from + " to " + c.to;
    EXPECT_EQ(ScopeInWords(args.scope).rfind(seconds + ", ", 0), 0u) << ScopeInWords(args.scope);
  }
  const struct {
    CensusScope scope;
    const char* words;
  } named[] = {
      {ScopeOfSeeds(0, 0xFFFFFFFFu), "every seed"},
      {ScopeOfSeeds(7, 7), "seed 7"},
      {ScopeOfSeeds(0, 9), "seeds 0 to 9"},
      {ScopeOfSeconds(4294967295, 4294967296),
       "the seconds from 2106-02-07T06:28:15Z to 2106-02-07T06:28:16Z, seeds 4294967295 to 0"},
      {ScopeOfSeconds(1798761600, 1798761600), "the second 2027-01-01T00:00:00Z, seed 1798761600"},
      {ScopeOfSeconds(0, 1ll << 40),
       "the seconds from 1970-01-01T00:00:00Z to 36812-02-20T00:36:16Z, every seed"},
  };
  for (const auto& c : named) EXPECT_EQ(ScopeInWords(c.scope), c.words);
}

// --target takes the instruction sets this processor runs, by Highway's names, and nothing else.
TEST(CensusArgs, TargetIsOneThisProcessorRuns) {
  std::vector<std::string> targets = CensusTargets();
  for (const std::string& target : targets) {
    const char* argv[] = {"vorel-census", "--target", target.c_str()};
    CensusArgs args;
    EXPECT_EQ(ParseCensusArgs(3, argv, args), "");
    EXPECT_EQ(args.target, target);
  }
  std::string list;
  for (const std::string& target : targets) list += (list.empty() ? "" : ", ") + target;
  for (const char* wrong : {"NEON", "avx2", ""}) {
    const char* argv[] = {"vorel-census", "--target", wrong};
    CensusArgs args;
    EXPECT_EQ(ParseCensusArgs(3, argv, args), std::string("vorel-census: target '") + wrong +
                                                  "' is not one this processor runs (" + list +
                                                  ")");
  }
  const char* missing[] = {"vorel-census", "--target"};
  CensusArgs args;
  EXPECT_EQ(ParseCensusArgs(2, missing, args), "vorel-census: --target needs a value");
}

}  // namespace
