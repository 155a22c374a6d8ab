// The walks against the plain draw: the one-draw-at-a-time walk, the one-lane twin of the vector
// walk, and each build of the vector walk lane by lane against its twin; and which seeds of a
// walked draw a span holds.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "count/each_target.h"
#include "hwy/targets.h"
#include "walk/cycle.h"
#include "walk/list_twin.h"
#include "walk/plain_draw.h"
#include "walk/seed_span.h"
#include "walk/vector_walk.h"
#include "walk/window_walk.h"

// Where a test prints figures, GoogleTest finds these next to the type.
static bool operator==(const ListFigures& a, const ListFigures& b) {
  return a.pick == b.pick && a.rank == b.rank && a.seventhIndex == b.seventhIndex &&
         a.distinct == b.distinct && a.weight == b.weight;
}

static std::ostream& operator<<(std::ostream& out, const ListFigures& f) {
  return out << "{pick 0x" << std::hex << f.pick << std::dec << ", rank " << f.rank
             << ", seventh index " << f.seventhIndex << ", distinct " << f.distinct << ", weight "
             << f.weight << "}";
}

namespace {

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

// The walk must give the very pick of the library's draw, for both seeds of each twin pair.
void ExpectWalkMatchesDraw(uint32_t lastSeed, uint32_t count) {
  std::vector<DrawFigures> walked = WalkDraws(lastSeed, count);
  ASSERT_EQ(walked.size(), count);
  EXPECT_EQ(walked.front().seed, lastSeed & kLow31);
  int failures = 0;
  for (const DrawFigures& fast : walked) {
    for (uint32_t seed : {fast.seed, TwinOf(fast.seed)}) {
      int32_t pick[kPickSize];
      DrawFromSeed(seed, pick);
      DrawFigures plain = PlainDraw(seed);
      bool same = fast.seventhIndex == plain.seventhIndex && fast.distinct == plain.distinct;
      for (int i = 0; i < kPickSize; ++i) same = same && fast.pick[i] == pick[i];
      if (!same && ++failures <= 5) ADD_FAILURE() << "seed " << seed << " disagrees";
    }
  }
  EXPECT_EQ(failures, 0);
}

TEST(WindowWalk, AgreesWithTheDrawOverMillionsOfSeeds) {
  for (uint32_t lastSeed : {0u, 0x12345678u, 0x7FFFFFFFu, 0xDEADBEEFu}) {
    ExpectWalkMatchesDraw(lastSeed, 1 << 20);
  }
}

// The one-draw walk finds a pick wherever the draw shows it along its stretch: at both ends, in
// the middle, for the seed whose seventh value stands at index 19, and for a pick two windows in
// a row show (seeds 0 and 1).
TEST(WindowWalk, FindsEveryDrawOfAPick) {
  for (uint32_t lastSeed : {1237421458u, 1u}) {
    std::vector<DrawFigures> walked = WalkDraws(lastSeed, 3000);
    for (size_t at : {size_t{0}, size_t{1}, size_t{1500}, walked.size() - 1}) {
      uint64_t pick = 0;
      for (int32_t number : walked[at].pick) pick |= uint64_t{1} << (number - 1);
      std::vector<uint32_t> expected, found;
      for (const DrawFigures& draw : walked) {
        if (std::equal(draw.pick, draw.pick + kPickSize, walked[at].pick)) {
          expected.push_back(draw.seed);
        }
      }
      FindInWindows(pick, WindowOfSeed(lastSeed), walked.size(), found);
      std::sort(expected.begin(), expected.end());
      std::sort(found.begin(), found.end());
      EXPECT_EQ(found, expected) << "the pick of the draw " << at << " back from " << lastSeed;
    }
  }
  std::vector<uint32_t> found;
  FindInWindows(0x401A6002u, WindowOfSeed(1), 2, found);  // 02,14,15,18,20,21,31
  EXPECT_EQ(found, (std::vector<uint32_t>{1, 0}));
}

TEST(WindowWalk, AgreesOnTheSpecialSeeds) {
  // The seventh value at the last index, the failure seed and its twin, seeds 0 and 1.
  for (uint32_t seed : {1237421458u, 3384905106u, 0xFFFFFFFFu, 2147483647u, 0u, 1u, 0x80000000u}) {
    ExpectWalkMatchesDraw(seed, 64);
  }
  std::vector<DrawFigures> walked = WalkDraws(1237421458u, 1);
  EXPECT_EQ(walked[0].seventhIndex, 19);
}

// Seeds the stretches must pass: only seven distinct values and the seventh at index 19; seven
// distinct values (the first such seed); the failure seed's twin; seeds 0 and 1.
const uint32_t kSpecialSeeds[] = {1237421458u, 92753202u, 2147483647u, 0u, 1u, 281720379u};
const int kSpecialStep = 40;  // a special seed's window comes this many steps into its stretch

// Stretch l starts so that special seed l, where there is one, comes kSpecialStep steps in; the
// others start at random states.
std::vector<uint32_t> FirstStates(int stretches) {
  std::vector<uint32_t> states(stretches);
  std::mt19937 random(7);
  for (int l = 0; l < stretches; ++l) {
    bool special = l < static_cast<int>(std::size(kSpecialSeeds));
    states[l] = special ? Jump(WindowOfSeed(kSpecialSeeds[l]), kSpecialStep) : random() & kLow31;
  }
  return states;
}

// What the draw says of the window of `state`, as a walk of the whole space would see it.
ListFigures FiguresOfDraw(uint32_t state) {
  DrawFigures draw = PlainDraw(SeedOfWindow(state));
  ListFigures figures = {0, kPossiblePicks, draw.seventhIndex, std::min(draw.distinct, 8), 2};
  for (int32_t number : draw.pick) figures.pick |= number ? 1ull << (number - 1) : 0;
  if (draw.seventhIndex >= 0) figures.rank = PickRank(draw.pick);
  return figures;
}

TEST(ListWalk, TheTwinAgreesWithTheDraw) {
  const int kStretches = 8, kSteps = 4000;
  std::vector<uint32_t> firstStates = FirstStates(kStretches);
  int wrong = 0;
  for (int l = 0; l < kStretches; ++l) {
    ListLane lane;
    StartListLane(lane, firstStates[l]);
    for (int step = 0; step < kSteps; ++step) {
      uint32_t state = lane.state;
      ListFigures twin = StepListLane(lane);
      if (!(twin == FiguresOfDraw(state)) && ++wrong <= 5) {
        ADD_FAILURE() << "stretch " << l << ", step " << step << ": twin " << twin << ", draw "
                      << FiguresOfDraw(state);
      }
      if (l == 0 && step == kSpecialStep) {
        EXPECT_EQ(twin.seventhIndex, 19) << "seed 1237421458";
        EXPECT_EQ(twin.distinct, 7) << "seed 1237421458";
      }
    }
  }
  EXPECT_EQ(wrong, 0);
}

// The seed of the window `step` steps into a lane's stretch.
uint32_t SeedAtStep(uint32_t firstState, int step) {
  for (int i = 0; i < step; ++i) firstState = Backward(firstState);
  return SeedOfWindow(firstState);
}

// Spans whose edges fall on windows the lanes walk, with the weight each gives the window at
// `edge` (the first lane's step 10). With a and b the lower seeds of that window and of the last
// lane's step 30, a below b: from a to b (a's window counts once), from a + 1 to b - 1 (not at
// all), from b's twin past 4294967295 to a (once), from b to a's twin across 2^31 (once), a
// alone (once), half the space from a (once), every seed but one from a's twin (twice).
struct EdgeSpan {
  SeedSpan span;
  int weightAtEdge;
};
std::vector<EdgeSpan> SpansAtEdges(const std::vector<uint32_t>& firstStates) {
  uint32_t a = SeedAtStep(firstStates.front(), 10), b = SeedAtStep(firstStates.back(), 30);
  if (a > b) std::swap(a, b);
  return {{{a, uint64_t{b} - a + 1}, 1},
          {{a + 1, uint64_t{b} - a - 1}, 0},
          {{TwinOf(b), static_cast<uint32_t>(a - TwinOf(b)) + uint64_t{1}}, 1},
          {{b, uint64_t{TwinOf(a)} - b + 1}, 1},
          {{a, 1}, 1},
          {{a, uint64_t{1} << 31}, 1},
          {{TwinOf(a), (uint64_t{1} << 32) - 1}, 2}};
}

// A build and the twin side by side, lane by lane, with the weights of `span`; with the whole
// space, both against the draw too. Any lane that steps differently, ranks differently, reads an
// age differently or weighs a window differently shows at the step where it does.
void ExpectLanesMatchTheTwin(const VectorBuild& build, SeedSpan span) {
  const int lanes = static_cast<int>(build.lanes);
  const uint64_t kSteps = 4000;
  const bool whole = span.count == uint64_t{1} << 32;
  std::vector<uint32_t> firstStates = FirstStates(lanes);
  std::vector<ListFigures> vector(kSteps * lanes);
  build.walkForTest(firstStates.data(), kSteps, span, vector.data());
  int wrong = 0;
  for (int l = 0; l < lanes; ++l) {
    ListLane lane;
    StartListLane(lane, firstStates[l], span);
    for (uint64_t step = 0; step < kSteps; ++step) {
      uint32_t state = lane.state;
      ListFigures twin = StepListLane(lane);
      const ListFigures& fast = vector[step * lanes + l];
      bool same = fast == twin && (!whole || fast == FiguresOfDraw(state));
      if (!same && ++wrong <= 5) {
        ADD_FAILURE() << build.name << " lane " << l << ", step " << step << ": vector " << fast
                      << ", twin " << twin << ", span from " << span.first << ", " << span.count
                      << " seeds";
      }
    }
  }
  EXPECT_EQ(wrong, 0);
}

// Every draw of the walk reaches the pick counter once, and nothing else does: no entry for a
// place past the last pick, none dropped, with queues that fill many times.
void ExpectEachDrawQueuedOnce(const VectorBuild& build) {
  const uint64_t kSteps = (1 << 18) / build.lanes;
  for (CounterShape shape : {CounterShape{32, 2}, CounterShape()}) {
    Tally tally(shape);
    build.walk(tally, FirstStates(static_cast<int>(build.lanes)).data(), kSteps);
    tally.picks.ApplyAll();
    std::vector<uint32_t> counts(kPossiblePicks);
    tally.picks.AddCountsTo(counts);
    uint64_t counted = 0;
    for (uint32_t count : counts) counted += count;
    EXPECT_EQ(counted, kSteps * build.lanes) << build.name << ", queue of " << shape.queueLength;
    EXPECT_EQ(tally.picks.refused, 0u) << build.name << ", queue of " << shape.queueLength;
  }
}

// The build of the walk for each instruction set Highway builds it for.
class VectorWalkBuild : public EachTarget {
 protected:
  const VectorBuild* Build() const {
    const VectorBuild& build = BuildNamed(TargetName());
    EXPECT_EQ(build.target, Target()) << "no build of the walk for " << TargetName();
    return &build;
  }
};

TEST_P(VectorWalkBuild, WalksLaneByLaneLikeTheTwin) {
  const VectorBuild* build = Build();
  ExpectLanesMatchTheTwin(*build, SeedSpan());
  std::vector<uint32_t> firstStates = FirstStates(static_cast<int>(build->lanes));
  for (const EdgeSpan& edge : SpansAtEdges(firstStates)) {
    ExpectLanesMatchTheTwin(*build, edge.span);
    // The twin and the walk could be wrong alike; the weight at the edge is known.
    std::vector<ListFigures> figures(11 * build->lanes);
    build->walkForTest(firstStates.data(), 11, edge.span, figures.data());
    EXPECT_EQ(figures[10 * build->lanes].weight, edge.weightAtEdge)
        << build->name << ", span from " << edge.span.first << ", " << edge.span.count << " seeds";
  }
}

// The lower seeds of the windows whose pick is `pick`, as the twin walks the lanes' stretches of
// `steps` windows from firstStates.
std::vector<uint32_t> TwinFinds(const std::vector<uint32_t>& firstStates, uint64_t steps,
                                uint64_t pick) {
  std::vector<uint32_t> seeds;
  for (uint32_t firstState : firstStates) {
    ListLane lane;
    StartListLane(lane, firstState);
    for (uint64_t step = 0; step < steps; ++step) {
      uint32_t state = lane.state;
      ListFigures twin = StepListLane(lane);
      if (twin.seventhIndex >= 0 && twin.pick == pick) seeds.push_back(SeedOfWindow(state));
    }
  }
  std::sort(seeds.begin(), seeds.end());
  return seeds;
}

// The picks the twin shows at a few places of the lanes' stretches, each sought by the build:
// it must find every window the twin shows it in, and no other. The places: each lane's first
// and last window, the special seeds' windows, and the first lane's windows at steps 500 to 503.
void ExpectFindsWhatTheTwinShows(const VectorBuild& build) {
  const uint64_t kSteps = 4000;
  const int lanes = static_cast<int>(build.lanes);
  std::vector<uint32_t> firstStates = FirstStates(lanes);
  std::vector<ListFigures> figures(kSteps * lanes);
  build.walkForTest(firstStates.data(), kSteps, SeedSpan(), figures.data());
  std::vector<size_t> places = {kSpecialStep * build.lanes, 500 * build.lanes, 501 * build.lanes,
                                502 * build.lanes, 503 * build.lanes};
  for (size_t lane = 0; lane < build.lanes; ++lane) {
    places.push_back(lane);
    places.push_back((kSteps - 1) * build.lanes + lane);
    if (lane < std::size(kSpecialSeeds)) places.push_back(kSpecialStep * build.lanes + lane);
  }
  for (size_t place : places) {
    const uint64_t pick = figures[place].pick;
    std::vector<uint32_t> found;
    build.find(pick, firstStates.data(), kSteps, found);
    std::sort(found.begin(), found.end());
    std::vector<uint32_t> expected = TwinFinds(firstStates, kSteps, pick);
    EXPECT_FALSE(expected.empty());
    EXPECT_EQ(found, expected) << build.name << ", the pick of lane " << place % build.lanes
                               << " at step " << place / build.lanes;
  }
}

TEST_P(VectorWalkBuild, FindsWhatTheTwinShows) {
  const VectorBuild* build = Build();
  ExpectFindsWhatTheTwinShows(*build);
}

TEST_P(VectorWalkBuild, QueuesEachDrawOnce) {
  const VectorBuild* build = Build();
  ExpectEachDrawQueuedOnce(*build);
}

// The build that describes itself as an instruction set runs that set's code: what counts into
// the tally records Highway's bit for the set it was built for, through Highway's dispatch as
// the census calls it. A build that ran another set's code (the one-lane build, say, under the
// name of the fastest) would count right, only slower, and be reported as what it is not.
TEST_P(VectorWalkBuild, RunsTheInstructionSetItNames) {
  const VectorBuild* build = Build();
  EXPECT_STREQ(build->name, TargetName().c_str());
  std::vector<uint32_t> firstStates = FirstStates(static_cast<int>(build->lanes));
  Tally whole(CounterShape{1024, 8}), inSpan(CounterShape{1024, 8});
  build->walk(whole, firstStates.data(), 64);
  build->walkInSpan(inSpan, firstStates.data(), 64, SeedSpan{7, 1000});
  EXPECT_STREQ(hwy::TargetName(whole.countedWith), build->name);
  EXPECT_STREQ(hwy::TargetName(inSpan.countedWith), build->name) << "a span";
  std::vector<uint32_t> seeds;
  EXPECT_STREQ(hwy::TargetName(build->find(0x401A6002u, firstStates.data(), 64, seeds)),
               build->name)
      << "the finder's search";
}

INSTANTIATE_FOR_EACH_TARGET(VectorWalkBuild);

// The builds come best first, and the best is the one Highway's own dispatch chooses: a build
// that leaves it out, or puts a build ahead of a better one, makes the census slower.
TEST(VectorWalk, BuildsComeBestFirstAsHighwayChooses) {
  const std::vector<VectorBuild>& builds = VectorBuilds();
  ASSERT_FALSE(builds.empty());
  for (size_t i = 1; i < builds.size(); ++i) {
    EXPECT_LT(builds[i - 1].target, builds[i].target)
        << builds[i - 1].name << ", " << builds[i].name;
  }
  EXPECT_EQ(builds.front().target, hwy::SupportedAndGeneratedTargets().front())
      << hwy::TargetName(hwy::SupportedAndGeneratedTargets().front());
  std::vector<int64_t> built = BuiltTargets();
  for (const VectorBuild& build : builds) {
    EXPECT_NE(std::find(built.begin(), built.end(), build.target), built.end()) << build.name;
  }
}

// Asking Highway which builds run leaves the instruction sets a caller turned off as they were:
// the program's choice of instruction sets is the caller's, not the walk's.
TEST(VectorWalk, KeepsTheInstructionSetsACallerTurnedOff) {
  std::vector<int64_t> runnable = hwy::SupportedAndGeneratedTargets();
  if (runnable.size() < 2) GTEST_SKIP() << "this processor runs one build of the walk only";
  hwy::DisableTargets(runnable.front());
  const int64_t chosen = hwy::SupportedTargets();
  std::vector<VectorBuild> builds = RunnableBuilds();
  EXPECT_EQ(hwy::SupportedTargets(), chosen);
  ASSERT_FALSE(builds.empty());
  EXPECT_EQ(builds.front().target, runnable[1]) << "the best one left on";
  hwy::DisableTargets(0);
}

}  // namespace
