// The census's driver: which build of the walk runs, how the work is cut among the workers, and
// the figures that come out; --verify, which holds the vector walk against the plain draw.
#include "census.h"

#include <algorithm>
#include <utility>

#include "count/tally.h"
#include "count/workers.h"
#include "walk/cycle.h"
#include "walk/seed_span.h"
#include "walk/vector_walk.h"
#include "walk/window_walk.h"

namespace {

// Draws a worker takes at a time: along the cycle, a stretch per lane of 2^22 / lanes each;
// seed by seed, small enough that a short range still spreads over the threads.
constexpr uint64_t kCycleChunk = 1u << 22, kSeedChunk = 1u << 16, kVerifyChunk = 1u << 20;
static_assert(kCycleChunk <= kMaxVectorWalk, "a lane's stretch fits one call, even alone");

// The build named, or the best when none is or this processor lacks it.
const VectorBuild& ChosenBuild(const std::string& name) {
  for (const VectorBuild& build : VectorBuilds()) {
    if (name == build.name) return build;
  }
  return VectorBuilds().front();
}

// Cycle positions begin..begin+count-1 from the origin, walked from the highest down: a stretch
// per lane side by side, and what does not divide evenly one draw at a time. Without a span each
// draw counts once; with one, for those of its two seeds inside it.
void WalkStretch(Tally& tally, const VectorBuild& build, uint32_t origin, uint64_t begin,
                 uint64_t count, const SeedSpan* span) {
  uint64_t stretch = count / build.lanes;
  if (stretch) {
    std::vector<uint32_t> firstStates(build.lanes);
    for (size_t lane = 0; lane < build.lanes; ++lane) {
      firstStates[lane] = Jump(origin, begin + stretch * (lane + 1) - 1);
    }
    if (span) {
      build.walkInSpan(tally, firstStates.data(), stretch, *span);
    } else {
      build.walk(tally, firstStates.data(), stretch);
    }
  }
  uint64_t walked = stretch * build.lanes;
  if (walked < count) WalkWindows(tally, Jump(origin, begin + count - 1), count - walked, span);
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

std::vector<std::string> CensusTargets() {
  std::vector<std::string> names;
  for (const VectorBuild& build : VectorBuilds()) names.push_back(build.name);
  return names;
}

bool WalksTheCycle(const CensusOptions& options) {
  switch (options.method) {
    case SpanMethod::kWalk:
      return true;
    case SpanMethod::kSeedBySeed:
      return false;
    default:
      return options.seedCount >= kWalkSpanAtLeast;
  }
}

CensusResult RunCensus(const CensusOptions& options) {
  CensusResult result;
  uint64_t first = options.firstSeed;
  bool whole = options.seedCount >= kSeedSpace;
  SeedSpan span = {options.firstSeed, options.seedCount};
  result.walkedTheCycle = WalksTheCycle(options);
  const VectorBuild& build = ChosenBuild(options.target);
  if (result.walkedTheCycle) result.target = build.name;
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
      WalkStretch(tallies[worker], build, options.cycleOrigin, begin, count,
                  whole ? nullptr : &span);
      return;
    }
    for (uint64_t seed = first + begin; seed < first + begin + count; ++seed) {
      RecordDraw(tallies[worker], DrawOneSeedForCensus(static_cast<uint32_t>(seed)));
    }
  });
  result.interrupted = run.interrupted;
  // Along the cycle of the whole space, a walked window stands for two seeds: the one found and
  // its twin with bit 31 set. Along the cycle for a span, the tallies counted seeds.
  bool draws = result.walkedTheCycle && whole;
  MergeTallies(tallies, draws ? 2 : 1, result);
  result.seedsCovered = draws ? run.done * 2 : run.done;
  if (result.walkedTheCycle && !whole) {
    result.seedsCovered = result.shortPicks;
    for (uint64_t seeds : result.seventhIndex) result.seedsCovered += seeds;
  }
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

// A span's census along the walk, whatever its length, against its census seed by seed; each
// takes half of the progress.
VerifyResult VerifySpan(const CensusOptions& options) {
  VerifyResult verdict;
  verdict.seedsChecked = options.seedCount;
  CensusOptions walked = options;
  walked.method = SpanMethod::kWalk;
  walked.cycleDraws = 0;
  if (options.progress) walked.progress = [&](double done) { options.progress(done / 2); };
  CensusResult fast = RunCensus(walked);
  verdict.target = fast.target;
  verdict.interrupted = fast.interrupted;
  if (verdict.interrupted) return verdict;
  CensusOptions plain = options;
  plain.method = SpanMethod::kSeedBySeed;
  if (options.progress) plain.progress = [&](double done) { options.progress(0.5 + done / 2); };
  CensusResult slow = RunCensus(plain);
  verdict.interrupted = slow.interrupted;
  verdict.countsAgree = fast.seedsCovered == slow.seedsCovered && SameCounts(fast, slow);
  return verdict;
}

}  // namespace

VerifyResult VerifyCensus(const CensusOptions& options) {
  if (options.seedCount < kSeedSpace) return VerifySpan(options);
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
  CensusOptions fastest = options;  // with the target asked for
  fastest.firstSeed = 0;
  fastest.seedCount = kSeedSpace;
  fastest.method = SpanMethod::kWalk;
  fastest.progress = nullptr;
  CensusResult fast = RunCensus(fastest);
  verdict.target = fast.target;
  verdict.countsAgree = SameCounts(fast, plain);
  verdict.interrupted = fast.interrupted;
  return verdict;
}
