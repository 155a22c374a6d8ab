// --verify seen to fail: each of its checks with a fault put in (the walked draws it holds seed
// by seed against the plain draw, each figure of the fast count, a span's count along the walk),
// and the lines it says of what it found.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "census.h"
#include "hwy/targets.h"
#include "walk/cycle.h"

namespace {

// The instruction set Highway's own dispatch runs here.
std::string HighwaysChoice() {
  return hwy::TargetName(hwy::SupportedAndGeneratedTargets().front());
}

// Each seed through the walk and the draw, then the fastest census against the plain count, each
// on two workers: a worker's figures lost on the way could not be lost alike on both. Three draws
// the walk met are altered, each in another figure the seed-by-seed check compares (a number of
// the pick, the seventh index, the distinct values): both seeds of each must disagree, and only
// those, while the counts agree.
TEST(CensusVerify, FindsEachSeedTheWalkGetsWrong) {
  const uint32_t kAltered[] = {SeedOfCyclePosition(10), SeedOfCyclePosition(100000),
                               SeedOfCyclePosition(262143)};
  CensusOptions options;
  options.threads = 2;
  options.cycleDraws = 1 << 18;
  options.alterWalkedDraws = [&](std::vector<DrawFigures>& draws) {
    for (DrawFigures& draw : draws) {
      draw.pick[3] += draw.seed == kAltered[0];
      draw.seventhIndex -= draw.seed == kAltered[1];
      draw.distinct += draw.seed == kAltered[2];
    }
  };
  VerifyResult verdict = VerifyCensus(options);
  EXPECT_FALSE(verdict.interrupted);
  EXPECT_EQ(verdict.seedsChecked, 2u << 18);
  EXPECT_EQ(verdict.mismatches, 6u);
  std::set<uint32_t> expected;
  for (uint32_t seed : kAltered) expected.insert({seed, TwinOf(seed)});
  EXPECT_EQ(std::set<uint32_t>(verdict.disagreeingSeeds.begin(), verdict.disagreeingSeeds.end()),
            expected);
  EXPECT_EQ(verdict.disagreeingSeeds.size(), 6u);
  EXPECT_TRUE(verdict.differingFigures.empty()) << verdict.differingFigures.front();
  EXPECT_EQ(verdict.target, HighwaysChoice());
  EXPECT_EQ(verdict.fastWorkers, 2u);
  EXPECT_EQ(verdict.plainWorkers, 2u);
}

// The same seeds, one of them counted a place further on: the first nonzero count gives one up.
template <class Count>
void MoveOneOn(Count* counts, size_t size) {
  for (size_t i = 0; i + 1 < size; ++i) {
    if (counts[i] == 0) continue;
    --counts[i];
    ++counts[i + 1];
    return;
  }
  ADD_FAILURE() << "no count to move";
}

// Member `member` of CensusResult, counted in the order declared, altered as a fault of the walk
// could alter it; returns the figures --verify must name for it, none for the members that tell
// how the census ran. Every member is bound by its name: one added to CensusResult stops this
// from compiling until it is altered here too, and a figure that ComparedFigures() does not
// compare then fails the test below.
constexpr int kMembers = 15;
std::vector<std::string> AlterMember(CensusResult& result, int member) {
  auto& [mode, seedsCovered, workers, target, fewestDistinct, fewestDistinctAtLeast,
         fewestDistinctSeedCount, fewestDistinctSeeds, seventhIndex, shortPicks, latestIndex,
         latestIndexSeedCount, latestIndexSeeds, pickCounts, interrupted] = result;
  switch (member) {
    case 0:
      mode = CensusMode::kSeedBySeed;
      return {};
    case 1:
      seedsCovered += 2;
      return {"seeds covered"};
    case 2:
      ++workers;
      return {};
    case 3:
      target += "?";
      return {};
    case 4:
      --fewestDistinct;
      return {"fewest distinct"};
    case 5:
      fewestDistinctAtLeast = true;
      return {"fewest distinct"};
    case 6:
      ++fewestDistinctSeedCount;
      return {"seeds with the fewest distinct"};
    case 7:
      fewestDistinctSeeds[0] ^= 1;
      return {"seeds with the fewest distinct"};
    case 8:
      MoveOneOn(seventhIndex, kCandidateCount);
      return {"seeds by seventh index"};
    case 9:
      ++shortPicks;
      return {"seeds with a 00"};
    case 10:
      --latestIndex;
      return {"latest index"};
    case 11:
      ++latestIndexSeedCount;
      return {"seeds at the latest index"};
    case 12:
      latestIndexSeeds.pop_back();
      return {"seeds at the latest index"};
    case 13:
      MoveOneOn(pickCounts.data(), pickCounts.size());
      return {"pick counts", "number counts"};
    case 14:
      interrupted = true;
      return {};
  }
  ADD_FAILURE() << "no member " << member;
  return {};
}

// The fast count of a stretch of the cycle with each member altered in turn: --verify must name
// the figure and nothing else, and every figure it compares must be met. Around seed 1237421458,
// which has seven distinct values and needs index 19, every figure is known exactly; from the
// cycle's start no seed has fewer than eight, which the walk can only say as "eight or more".
TEST(CensusVerify, NamesEachFigureThatDiffers) {
  const uint32_t kSeed = 1237421458u;
  auto verify = [](uint32_t origin, std::function<void(CensusResult&)> fault) {
    CensusOptions options;
    options.cycleDraws = 4099;
    options.cycleOrigin = origin;
    options.counter = CounterShape{1024, 8};
    options.alterFastCount = fault;
    VerifyResult verdict = VerifyCensus(options);
    EXPECT_EQ(verdict.mismatches, 0u);
    return verdict.differingFigures;
  };
  const uint32_t nearTheSeed =
      CycleOriginOfSeed(SeedOfCyclePosition(kCycle - 1000, WindowOfSeed(kSeed)));
  EXPECT_EQ(verify(nearTheSeed, nullptr), std::vector<std::string>());
  std::set<std::string> met;
  for (int member = 0; member < kMembers; ++member) {
    std::vector<std::string> named;
    std::vector<std::string> found =
        verify(nearTheSeed, [&](CensusResult& fast) { named = AlterMember(fast, member); });
    EXPECT_EQ(found, named) << "member " << member;
    met.insert(named.begin(), named.end());
  }
  std::set<std::string> compared;
  for (const ComparedFigure& figure : ComparedFigures()) compared.insert(figure.name);
  EXPECT_EQ(met, compared);

  // Where the walk can only say "eight or more", it must, and name no seeds.
  EXPECT_EQ(verify(0, [](CensusResult& r) { r.fewestDistinctAtLeast = false; }),
            std::vector<std::string>{"fewest distinct"});
  EXPECT_EQ(verify(0,
                   [](CensusResult& r) {
                     r.fewestDistinctSeedCount = 1;
                     r.fewestDistinctSeeds = {5};
                   }),
            std::vector<std::string>{"seeds with the fewest distinct"});
}

// --verify over a span: the span along the walk of the whole cycle, on two workers, against the
// span seed by seed, with one seed of the walked count moved to another pick. The span wraps past
// 4294967295.
TEST(CensusVerify, HoldsASpanAlongTheWalkAgainstItsSeedBySeedCount) {
  CensusOptions options;
  options.scope.firstSeed = 4294967296u - 40000;
  options.scope.seedCount = 1 << 17;
  options.threads = 2;
  options.alterFastCount = [](CensusResult& fast) {
    MoveOneOn(fast.pickCounts.data(), fast.pickCounts.size());
  };
  VerifyResult verdict = VerifyCensus(options);
  EXPECT_FALSE(verdict.interrupted);
  EXPECT_EQ(verdict.seedsChecked, uint64_t{1} << 17);
  EXPECT_EQ(verdict.differingFigures, (std::vector<std::string>{"pick counts", "number counts"}));
  EXPECT_EQ(verdict.target, HighwaysChoice());
  EXPECT_EQ(verdict.fastWorkers, 2u);
  EXPECT_EQ(verdict.plainWorkers, 2u);
}

// What --verify says: each seed named that disagrees, then how many and the figures; or what it
// verified.
TEST(CensusVerify, SaysWhatItFound) {
  VerifyResult verdict;
  verdict.seedsChecked = 100;
  verdict.target = "AVX2";
  VerdictWords words = VerdictInWords(verdict, ScopeOfSeeds(0, 99));
  EXPECT_EQ(words.complaints, std::vector<std::string>());
  EXPECT_EQ(words.verified,
            "verified (seeds 0 to 99): the walk gives the draw's pick for 100 seeds, and the "
            "census walked with AVX2 counts exactly as the plain draw\n");

  verdict.differingFigures = {"pick counts", "number counts"};
  EXPECT_EQ(VerdictInWords(verdict, ScopeOfSeeds(0, 99)).complaints,
            std::vector<std::string>{"0 seeds disagree; the census walked with AVX2 differs from "
                                     "the plain count in pick counts, number counts"});

  verdict.differingFigures.clear();
  verdict.mismatches = 1234;
  verdict.disagreeingSeeds = {7, 2147483655u};
  words = VerdictInWords(verdict, ScopeOfSeeds(0, 99));
  EXPECT_EQ(words.complaints,
            (std::vector<std::string>{
                "seed 7: the walk and the draw disagree",
                "seed 2147483655: the walk and the draw disagree",
                "1,234 seeds disagree; the census walked with AVX2 matches the plain count"}));
  EXPECT_EQ(words.verified, "");
}

}  // namespace
