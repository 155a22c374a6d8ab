// The census's driver: which build of the walk runs, how the work is cut among the workers, and
// the figures that come out; --verify, which holds the vector walk against the plain draw.
#include "census.h"

#include <algorithm>
#include <utility>

#include "cli_text.h"
#include "count/tally.h"
#include "hwy/targets.h"
#include "report/pick_summary.h"
#include "walk/cycle.h"
#include "walk/list_walk.h"
#include "walk/plain_draw.h"
#include "walk/seed_span.h"
#include "walk/vector_walk.h"
#include "walk/window_walk.h"

namespace {

// Draws a worker takes at a time: along the cycle, a stretch per lane of 2^22 / lanes each;
// seed by seed, small enough that a short range still spreads over the threads.
constexpr uint64_t kCycleChunk = 1u << 22, kSeedChunk = 1u << 16, kVerifyChunk = 1u << 20;
static_assert(kCycleChunk <= kMaxVectorWalk, "a lane's stretch fits one call, even alone");
// The fewest draws of the cycle a worker takes at a time when a short stretch of it is walked:
// 4096 steps for each of 16 lanes, next to which a lane's warm-up of nineteen steps is little.
constexpr uint64_t kLeastCycleChunk = 1u << 16;

// Draws of the cycle a worker takes at a time: `most`, or for a short stretch of the cycle (as
// tests and benchmarks walk) about a quarter of each thread's share, so that it still spreads
// over the threads. The whole cycle on 2 threads: a quarter share is 2^28 draws, so `most`.
uint64_t CycleChunk(uint64_t total, unsigned threads, uint64_t most) {
  uint64_t quarterShare = total / (4 * uint64_t{std::max(1u, threads)});
  return std::clamp(quarterShare, kLeastCycleChunk, most);
}

// Cycle positions begin..begin+count-1 from the origin, walked from the highest down: a stretch
// per lane side by side, and what does not divide evenly one draw at a time. Without a span each
// draw counts once; with one, for those of its two seeds inside it.
void WalkStretch(Tally& tally, const VectorBuild& build, uint32_t origin, uint64_t begin,
                 uint64_t count, const SeedSpan* span) {
  WalkPositions(
      build, origin, begin, count,
      [&](const uint32_t* firstStates, uint64_t stretch) {
        if (span) {
          build.walkInSpan(tally, firstStates, stretch, *span);
        } else {
          build.walk(tally, firstStates, stretch);
        }
      },
      [&](uint32_t firstState, uint64_t rest) { WalkWindows(tally, firstState, rest, span); });
}

std::vector<Tally> MakeTallies(unsigned workers, CounterShape counter) {
  std::vector<Tally> tallies;
  tallies.reserve(workers);
  for (unsigned worker = 0; worker < workers; ++worker) tallies.emplace_back(counter);
  return tallies;
}

// The instruction set whose vector code counted, as that code recorded it in the tallies, so that
// the report names the build that ran, not the one meant to; the chosen build's name where no
// stretch was long enough for the vector walk.
std::string TargetThatCounted(const std::vector<Tally>& tallies, const VectorBuild& chosen) {
  for (const Tally& tally : tallies) {
    if (tally.countedWith) return hwy::TargetName(tally.countedWith);
  }
  return chosen.name;
}

}  // namespace

std::vector<std::string> CensusTargets() {
  std::vector<std::string> names;
  for (const VectorBuild& build : VectorBuilds()) names.push_back(build.name);
  return names;
}

CensusMode ModeOf(const CensusOptions& options) {
  if (options.scope.seedCount >= kSeedSpace && options.method != SpanMethod::kSeedBySeed) {
    return CensusMode::kWholeCycle;
  }
  switch (options.method) {
    case SpanMethod::kWalk:
      return CensusMode::kSpanOnCycle;
    case SpanMethod::kSeedBySeed:
      return CensusMode::kSeedBySeed;
    default:
      return options.scope.seedCount >= kWalkSpanAtLeast ? CensusMode::kSpanOnCycle
                                                         : CensusMode::kSeedBySeed;
  }
}

ChunkedWork PlanOf(const CensusOptions& options, CensusMode mode) {
  ChunkedWork plan;
  if (mode == CensusMode::kSeedBySeed) {
    plan.total = options.scope.seedCount;
    plan.chunk = kSeedChunk;
  } else {
    plan.total = options.cycleDraws ? std::min(kCycle, options.cycleDraws) : kCycle;
    plan.chunk = CycleChunk(plan.total, options.threads, kCycleChunk);
  }
  plan.threads = WorkerCount(options.threads, plan.total, plan.chunk);
  plan.stop = options.stop;
  plan.progress = options.progress;
  return plan;
}

namespace {

// One chunk of the work into a worker's tally: positions along the cycle, or seeds from the
// first on.
void CountChunk(Tally& tally, const CensusOptions& options, CensusMode mode,
                const VectorBuild& build, uint64_t begin, uint64_t count) {
  const SeedSpan span = SpanOf(options.scope);
  switch (mode) {
    case CensusMode::kWholeCycle:
      WalkStretch(tally, build, options.cycleOrigin, begin, count, nullptr);
      break;
    case CensusMode::kSpanOnCycle:
      WalkStretch(tally, build, options.cycleOrigin, begin, count, &span);
      break;
    case CensusMode::kSeedBySeed:
      for (uint64_t seed = options.scope.firstSeed + begin;
           seed < options.scope.firstSeed + begin + count; ++seed) {
        RecordDraw(tally, PlainDraw(static_cast<uint32_t>(seed)));
      }
      break;
  }
}

// The seeds whose draws the figures hold: each has a seventh index or is short.
uint64_t SeedsCounted(const CensusResult& result) {
  uint64_t seeds = result.shortPicks;
  for (uint64_t each : result.seventhIndex) seeds += each;
  return seeds;
}

// The seeds the finished work covered: along the whole cycle, two for each draw walked; along it
// for a span, those the tallies counted; seed by seed, one for each seed drawn.
uint64_t SeedsCovered(const CensusResult& result, uint64_t done) {
  switch (result.mode) {
    case CensusMode::kWholeCycle:
      return 2 * done;
    case CensusMode::kSpanOnCycle:
      return SeedsCounted(result);
    default:
      return done;
  }
}

// The walks tell distinct counts apart only below kListLength: where they met none so low, the
// fewest is kListLength or more, and which seeds have it is not known.
void KeepWhatTheWalkTells(CensusResult& result) {
  if (result.fewestDistinctSeedCount && result.fewestDistinct < kListLength) return;
  result.fewestDistinctAtLeast = true;
  result.fewestDistinct = kListLength;
  result.fewestDistinctSeedCount = 0;
  result.fewestDistinctSeeds.clear();
}

}  // namespace

CensusResult RunCensus(const CensusOptions& options) {
  CensusResult result;
  result.mode = ModeOf(options);
  const bool walks = result.mode != CensusMode::kSeedBySeed;
  const VectorBuild& build = BuildNamed(options.target);
  ChunkedWork plan = PlanOf(options, result.mode);
  result.workers = plan.threads;
  std::vector<Tally> tallies = MakeTallies(plan.threads, options.counter);
  ChunksDone run = RunChunks(plan, [&](unsigned worker, uint64_t begin, uint64_t count) {
    CountChunk(tallies[worker], options, result.mode, build, begin, count);
  });
  result.interrupted = run.interrupted;
  if (walks) result.target = TargetThatCounted(tallies, build);
  // Along the whole cycle each entry counted a draw, and a draw stands for its two seeds.
  MergeTallies(tallies, result.mode == CensusMode::kWholeCycle ? 2 : 1, result);
  result.seedsCovered = SeedsCovered(result, run.done);
  if (walks) KeepWhatTheWalkTells(result);
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
void CheckChunk(SeedCheck& check, const CensusOptions& options, uint64_t begin, uint64_t count) {
  uint32_t lastSeed = SeedOfCyclePosition(begin + count - 1, options.cycleOrigin);
  std::vector<DrawFigures> draws = WalkDraws(lastSeed, static_cast<uint32_t>(count));
  if (options.alterWalkedDraws) options.alterWalkedDraws(draws);
  for (const DrawFigures& walked : draws) {
    for (uint32_t seed : {walked.seed, TwinOf(walked.seed)}) {
      DrawFigures plain = PlainDraw(seed);
      bool same = plain.seventhIndex == walked.seventhIndex && plain.distinct == walked.distinct;
      for (int i = 0; i < kPickSize; ++i) same = same && plain.pick[i] == walked.pick[i];
      if (!same && check.disagreeing.size() < 10) check.disagreeing.push_back(seed);
      check.mismatches += !same;
      RecordDraw(check.tally, plain);
    }
  }
}

// The walk tells distinct counts apart only below kListLength, so where the plain draw found none
// so low the census walked must say "kListLength or more" and name no seeds.
bool FewestTold(const CensusResult& plain) {
  return plain.fewestDistinct < kListLength;
}

bool SameNumberCounts(const CensusResult& fast, const CensusResult& plain) {
  const PickSummary fastPicks = SummarisePicks(fast), plainPicks = SummarisePicks(plain);
  return std::equal(std::begin(fastPicks.numberCounts), std::end(fastPicks.numberCounts),
                    std::begin(plainPicks.numberCounts));
}

// The number counts follow from the pick counts, but are compared too: a fault that moves seeds
// between picks shows in both, one that moves them between picks of the same numbers in the
// first only.
const ComparedFigure kComparedFigures[] = {
    {"seeds covered",
     [](const CensusResult& fast, const CensusResult& plain) {
       return fast.seedsCovered == plain.seedsCovered;
     }},
    {"pick counts", [](const CensusResult& fast,
                       const CensusResult& plain) { return fast.pickCounts == plain.pickCounts; }},
    {"number counts", &SameNumberCounts},
    {"seeds by seventh index",
     [](const CensusResult& fast, const CensusResult& plain) {
       return std::equal(std::begin(fast.seventhIndex), std::end(fast.seventhIndex),
                         std::begin(plain.seventhIndex));
     }},
    {"seeds with a 00",
     [](const CensusResult& fast, const CensusResult& plain) {
       return fast.shortPicks == plain.shortPicks;
     }},
    {"latest index",
     [](const CensusResult& fast, const CensusResult& plain) {
       return fast.latestIndex == plain.latestIndex;
     }},
    {"seeds at the latest index",
     [](const CensusResult& fast, const CensusResult& plain) {
       return fast.latestIndexSeedCount == plain.latestIndexSeedCount &&
              fast.latestIndexSeeds == plain.latestIndexSeeds;
     }},
    {"fewest distinct",
     [](const CensusResult& fast, const CensusResult& plain) {
       return FewestTold(plain)
                  ? !fast.fewestDistinctAtLeast && fast.fewestDistinct == plain.fewestDistinct
                  : fast.fewestDistinctAtLeast && fast.fewestDistinct == kListLength;
     }},
    {"seeds with the fewest distinct",
     [](const CensusResult& fast, const CensusResult& plain) {
       return FewestTold(plain)
                  ? fast.fewestDistinctSeedCount == plain.fewestDistinctSeedCount &&
                        fast.fewestDistinctSeeds == plain.fewestDistinctSeeds
                  : fast.fewestDistinctSeedCount == 0 && fast.fewestDistinctSeeds.empty();
     }},
};

// The figures in which the census of the walk differs from the plain draw's, each by name.
std::vector<std::string> FiguresThatDiffer(const CensusResult& fast, const CensusResult& plain) {
  std::vector<std::string> differing;
  for (const ComparedFigure& figure : ComparedFigures()) {
    if (!figure.same(fast, plain)) differing.push_back(figure.name);
  }
  return differing;
}

// A span's census along the walk, whatever its length, against its census seed by seed; each
// takes half of the progress.
VerifyResult VerifySpan(const CensusOptions& options) {
  VerifyResult verdict;
  verdict.seedsChecked = options.scope.seedCount;
  CensusOptions walked = options;
  walked.method = SpanMethod::kWalk;
  walked.cycleDraws = 0;
  if (options.progress) walked.progress = [&](double done) { options.progress(done / 2); };
  CensusResult fast = RunCensus(walked);
  if (options.alterFastCount) options.alterFastCount(fast);
  verdict.target = fast.target;
  verdict.fastWorkers = fast.workers;
  verdict.interrupted = fast.interrupted;
  if (verdict.interrupted) return verdict;
  CensusOptions plain = options;
  plain.method = SpanMethod::kSeedBySeed;
  if (options.progress) plain.progress = [&](double done) { options.progress(0.5 + done / 2); };
  CensusResult slow = RunCensus(plain);
  verdict.plainWorkers = slow.workers;
  verdict.interrupted = slow.interrupted;
  verdict.differingFigures = FiguresThatDiffer(fast, slow);
  return verdict;
}

}  // namespace

std::vector<ComparedFigure> ComparedFigures() {
  return {std::begin(kComparedFigures), std::end(kComparedFigures)};
}

VerifyResult VerifyCensus(const CensusOptions& options) {
  if (options.scope.seedCount < kSeedSpace) return VerifySpan(options);
  VerifyResult verdict;
  ChunkedWork plan;
  plan.total = options.cycleDraws ? std::min(options.cycleDraws, kCycle) : kCycle;
  plan.chunk = CycleChunk(plan.total, options.threads, kVerifyChunk);
  plan.threads = WorkerCount(options.threads, plan.total, plan.chunk);
  plan.stop = options.stop;
  plan.progress = options.progress;
  plan.progressScale = 0.5;  // the fastest census takes the other half
  std::vector<SeedCheck> checks;
  checks.reserve(plan.threads);
  for (unsigned worker = 0; worker < plan.threads; ++worker) checks.emplace_back(options.counter);
  ChunksDone run = RunChunks(plan, [&](unsigned worker, uint64_t begin, uint64_t count) {
    CheckChunk(checks[worker], options, begin, count);
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
  verdict.plainWorkers = plan.threads;

  // The seeds the plain count covered are those its tallies hold, so that a worker's tally lost
  // on the way shows even where the fast count loses one alike.
  CensusResult plain;
  MergeTallies(tallies, 1, plain);
  plain.seedsCovered = SeedsCounted(plain);
  CensusOptions fastest = options;  // with the target asked for
  fastest.scope = CensusScope();
  fastest.method = SpanMethod::kWalk;
  fastest.progress = nullptr;
  CensusResult fast = RunCensus(fastest);
  if (options.alterFastCount) options.alterFastCount(fast);
  verdict.target = fast.target;
  verdict.fastWorkers = fast.workers;
  verdict.differingFigures = FiguresThatDiffer(fast, plain);
  verdict.interrupted = fast.interrupted;
  return verdict;
}

VerdictWords VerdictInWords(const VerifyResult& verdict, const CensusScope& scope) {
  VerdictWords words;
  for (uint32_t seed : verdict.disagreeingSeeds) {
    words.complaints.push_back("seed " + std::to_string(seed) + ": the walk and the draw disagree");
  }
  const std::vector<std::string>& figures = verdict.differingFigures;
  if (verdict.mismatches || !figures.empty()) {
    std::string named;
    for (const std::string& figure : figures) named += (named.empty() ? "" : ", ") + figure;
    words.complaints.push_back(Grouped(verdict.mismatches) +
                               " seeds disagree; the census walked with " + verdict.target +
                               (figures.empty() ? " matches the plain count"
                                                : " differs from the plain count in " + named));
    return words;
  }
  words.verified = "verified (" + ScopeInWords(scope) + "): the walk gives the draw's pick for " +
                   Counted(verdict.seedsChecked, "seed", "seeds") +
                   ", and the census walked with " + verdict.target +
                   " counts exactly as the plain draw\n";
  return words;
}
