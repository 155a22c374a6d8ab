// The census's driver: which build of the walk runs, how the work is cut among the workers, and
// the figures that come out; --verify, which holds the fastest build against the plain draw.
#include "census.h"

#include <algorithm>
#include <utility>

#include "cycle.h"
#include "processor.h"
#include "tally.h"
#include "vector_walk.h"
#include "window_walk.h"
#include "workers.h"

namespace {

// Draws a worker takes at a time: along the cycle, sixteen lanes of 2^18 each; seed by seed,
// small enough that a short range still spreads over the threads.
constexpr uint64_t kCycleChunk = 1u << 22, kSeedChunk = 1u << 16, kVerifyChunk = 1u << 20;
static_assert(kCycleChunk / kVectorLanes <= kMaxVectorWalk, "a lane's stretch fits one call");

// The build asked for, or the fastest the processor runs when asked for none or for one whose
// instructions it lacks.
CensusPath RunnablePath(CensusPath asked) {
  if (asked != CensusPath::kBest && CensusPathAvailable(asked)) return asked;
  return CanUseVector()            ? CensusPath::kVector
         : CanUseBitInstructions() ? CensusPath::kBitInstructions
                                   : CensusPath::kPortable;
}

// Cycle positions begin..begin+count-1 from the origin, walked from the highest down: in the
// vector build, sixteen stretches side by side, and what does not divide evenly the scalar way.
void WalkStretch(Tally& tally, CensusPath path, uint32_t origin, uint64_t begin, uint64_t count) {
  uint64_t walked = 0;
  if (path == CensusPath::kVector) {
    uint64_t stretch = count / kVectorLanes;
    uint32_t firstStates[kVectorLanes];
    for (int lane = 0; lane < kVectorLanes; ++lane) {
      firstStates[lane] = Jump(origin, begin + stretch * (lane + 1) - 1);
    }
    if (stretch) WalkVector(tally, firstStates, stretch);
    walked = stretch * kVectorLanes;
  }
  if (walked == count) return;
  uint32_t firstState = Jump(origin, begin + count - 1);
  if (path == CensusPath::kPortable) {
    WalkPortable(tally, firstState, count - walked);
  } else {
    WalkWithBitInstructions(tally, firstState, count - walked);
  }
}

std::vector<Tally> MakeTallies(unsigned workers, CounterShape counter) {
  std::vector<Tally> tallies;
  tallies.reserve(workers);
  for (unsigned worker = 0; worker < workers; ++worker) tallies.emplace_back(counter);
  return tallies;
}

}  // namespace

WalkedPick DrawOneSeedForCensus(uint32_t seed) {
  WalkedPick draw = {seed, {}, -1, 0};
  int32_t candidates[kCandidateCount];
  DrawCandidates(seed, candidates);
  uint64_t seen = 0;
  for (int index = 0; index < kCandidateCount; ++index) {
    uint64_t bit = 1ull << candidates[index];
    if (seen & bit) continue;
    seen |= bit;
    if (++draw.distinct == kPickSize) draw.seventhIndex = index;
  }
  PickFromCandidates(candidates, draw.pick);
  return draw;
}

bool CensusPathAvailable(CensusPath path) {
  switch (path) {
    case CensusPath::kVector:
      return CanUseVector();
    case CensusPath::kBitInstructions:
      return CanUseBitInstructions();
    default:
      return true;
  }
}

CensusResult RunCensus(const CensusOptions& options) {
  CensusResult result;
  uint64_t first = options.firstSeed;
  result.walkedTheCycle = options.seedCount >= kSeedSpace;
  result.path = RunnablePath(options.path);
  ChunkedWork plan;
  plan.total = result.walkedTheCycle ? kCycle : options.seedCount;
  if (result.walkedTheCycle && options.cycleDraws) {
    plan.total = std::min(plan.total, options.cycleDraws);
  }
  plan.chunk = result.walkedTheCycle ? kCycleChunk : kSeedChunk;
  plan.threads = WorkerCount(options.threads, plan.total, plan.chunk);
  plan.stop = options.stop;
  plan.progress = options.progress;
  result.workers = plan.threads;
  std::vector<Tally> tallies = MakeTallies(plan.threads, options.counter);
  ChunksDone run = RunChunks(plan, [&](unsigned worker, uint64_t begin, uint64_t count) {
    if (result.walkedTheCycle) {
      WalkStretch(tallies[worker], result.path, options.cycleOrigin, begin, count);
      return;
    }
    for (uint64_t seed = first + begin; seed < first + begin + count; ++seed) {
      RecordDraw(tallies[worker], DrawOneSeedForCensus(static_cast<uint32_t>(seed)));
    }
  });
  result.interrupted = run.interrupted;
  // A walked window stands for two seeds: the one found and its twin with bit 31 set.
  uint64_t weight = result.walkedTheCycle ? 2 : 1;
  MergeTallies(tallies, weight, result);
  result.seedsCovered = run.done * weight;
  return result;
}

namespace {

// One worker's share of --verify.
struct SeedCheck {
  explicit SeedCheck(CounterShape counter) : tally(counter) {}
  Tally tally;  // the plain draw, counted as the census counts
  uint64_t mismatches = 0;
  std::vector<uint32_t> disagreeing;  // the first few
};

// Each seed of a chunk of the cycle: the walk's pick against the plain draw's, both twins.
void CheckChunk(SeedCheck& check, uint32_t origin, uint64_t begin, uint64_t count) {
  uint32_t lastSeed = SeedOfCyclePosition(begin + count - 1, origin);
  for (const WalkedPick& walked : WalkCycleForTest(lastSeed, static_cast<uint32_t>(count))) {
    for (uint32_t seed : {walked.seed, walked.seed | ~kLow31}) {
      WalkedPick plain = DrawOneSeedForCensus(seed);
      bool same = plain.seventhIndex == walked.seventhIndex && plain.distinct == walked.distinct;
      for (int i = 0; i < kPickSize; ++i) same = same && plain.pick[i] == walked.pick[i];
      if (!same && check.disagreeing.size() < 10) check.disagreeing.push_back(seed);
      check.mismatches += !same;
      RecordDraw(check.tally, plain);
    }
  }
}

// Whether the census of the walk counted exactly what the plain draw did.
bool SameCounts(const CensusResult& fast, const CensusResult& plain) {
  // The walk tells distinct counts apart only below eight.
  bool sameFewest = plain.fewestDistinct < kListLength
                        ? !fast.fewestDistinctAtLeast &&
                              fast.fewestDistinct == plain.fewestDistinct &&
                              fast.fewestDistinctSeedCount == plain.fewestDistinctSeedCount &&
                              fast.fewestDistinctSeeds == plain.fewestDistinctSeeds
                        : fast.fewestDistinctAtLeast;
  return !fast.interrupted && fast.pickCounts == plain.pickCounts && sameFewest &&
         std::equal(std::begin(fast.seventhIndex), std::end(fast.seventhIndex),
                    std::begin(plain.seventhIndex)) &&
         fast.shortPicks == plain.shortPicks && fast.latestIndex == plain.latestIndex &&
         fast.latestIndexSeedCount == plain.latestIndexSeedCount &&
         fast.latestIndexSeeds == plain.latestIndexSeeds;
}

}  // namespace

VerifyResult VerifyCensus(const CensusOptions& options) {
  VerifyResult verdict;
  ChunkedWork plan;
  plan.total = options.cycleDraws ? std::min(options.cycleDraws, kCycle) : kCycle;
  plan.chunk = kVerifyChunk;
  plan.threads = WorkerCount(options.threads, plan.total, plan.chunk);
  plan.stop = options.stop;
  plan.progress = options.progress;
  plan.progressScale = 0.5;  // the fastest census takes the other half
  std::vector<SeedCheck> checks;
  checks.reserve(plan.threads);
  for (unsigned worker = 0; worker < plan.threads; ++worker) checks.emplace_back(options.counter);
  ChunksDone run = RunChunks(plan, [&](unsigned worker, uint64_t begin, uint64_t count) {
    CheckChunk(checks[worker], options.cycleOrigin, begin, count);
  });
  verdict.interrupted = run.interrupted;
  if (verdict.interrupted) return verdict;
  std::vector<Tally> tallies;
  for (SeedCheck& check : checks) {
    verdict.mismatches += check.mismatches;
    verdict.disagreeingSeeds.insert(verdict.disagreeingSeeds.end(), check.disagreeing.begin(),
                                    check.disagreeing.end());
    tallies.push_back(std::move(check.tally));
  }
  verdict.seedsChecked = 2 * plan.total;

  CensusResult plain;
  MergeTallies(tallies, 1, plain);
  CensusOptions fastest = options;
  fastest.firstSeed = 0;
  fastest.seedCount = kSeedSpace;
  fastest.path = CensusPath::kBest;
  fastest.progress = nullptr;
  CensusResult fast = RunCensus(fastest);
  verdict.path = fast.path;
  verdict.countsAgree = SameCounts(fast, plain);
  verdict.interrupted = fast.interrupted;
  return verdict;
}
