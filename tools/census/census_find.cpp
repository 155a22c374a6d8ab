// The finder's driver: how the seeds searched are met and cut among the workers (as the census
// cuts them), which seeds of each draw found count, and the die's draw of each before it is
// reported.
#include "census_find.h"

#include <algorithm>

#include "find/draw_check.h"
#include "hwy/targets.h"
#include "walk/seed_span.h"
#include "walk/vector_walk.h"
#include "walk/window_walk.h"

namespace {

// What one worker found: the seeds, and Highway's bit for the instruction set whose vector code
// searched, as that code recorded it (0: none has).
struct WorkerFinds {
  std::vector<uint32_t> seeds;
  int64_t searchedWith = 0;
};

// One chunk of the search into a worker's finds: positions along the cycle, each draw found
// giving its lower seed, or seeds from the first on, each drawn.
void SearchChunk(WorkerFinds& finds, const FindOptions& options, CensusMode mode,
                 const VectorBuild& build, uint64_t begin, uint64_t count) {
  std::vector<uint32_t>& seeds = finds.seeds;
  const CensusOptions& census = options.census;
  if (mode == CensusMode::kSeedBySeed) {
    const uint32_t first = census.scope.firstSeed;
    for (uint64_t seed = first + begin; seed < first + begin + count; ++seed) {
      int32_t pick[kPickSize];
      DrawFromSeed(static_cast<uint32_t>(seed), pick);
      if (std::equal(pick, pick + kPickSize, options.pick.numbers)) {
        seeds.push_back(static_cast<uint32_t>(seed));
      }
    }
    return;
  }
  auto findInLanes = options.vectorFindForTest ? options.vectorFindForTest : build.find;
  WalkPositions(
      build, census.cycleOrigin, begin, count,
      [&](const uint32_t* firstStates, uint64_t stretch) {
        finds.searchedWith = findInLanes(options.pick.mask, firstStates, stretch, seeds);
      },
      [&](uint32_t firstState, uint64_t rest) {
        FindInWindows(options.pick.mask, firstState, rest, seeds);
      });
}

// A draw found along the cycle stands for its two seeds, the lower one and its twin: both along
// the whole cycle, those inside the span along it. Seed by seed, the seeds found are the seeds.
std::vector<uint32_t> SeedsOfDraws(const std::vector<uint32_t>& found, CensusMode mode,
                                   const CensusOptions& census) {
  if (mode == CensusMode::kSeedBySeed) return found;
  const SeedSpan span = SpanOf(census.scope);
  std::vector<uint32_t> seeds;
  for (uint32_t lower : found) {
    for (uint32_t seed : {lower, TwinOf(lower)}) {
      if (mode == CensusMode::kWholeCycle || span.Contains(seed)) seeds.push_back(seed);
    }
  }
  return seeds;
}

}  // namespace

FindResult RunFind(const FindOptions& options) {
  FindResult result;
  result.mode = ModeOf(options.census);
  const VectorBuild& build = BuildNamed(options.census.target);
  if (result.mode != CensusMode::kSeedBySeed) result.target = build.name;
  ChunkedWork plan = PlanOf(options.census, result.mode);
  result.workers = plan.threads;
  std::vector<WorkerFinds> found(plan.threads);
  ChunksDone run = RunChunks(plan, [&](unsigned worker, uint64_t begin, uint64_t count) {
    SearchChunk(found[worker], options, result.mode, build, begin, count);
  });
  result.interrupted = run.interrupted;
  for (const WorkerFinds& each : found) {
    std::vector<uint32_t> seeds = SeedsOfDraws(each.seeds, result.mode, options.census);
    result.seeds.insert(result.seeds.end(), seeds.begin(), seeds.end());
    // The build that really searched, as the census names the one that counted.
    if (each.searchedWith) result.target = hwy::TargetName(each.searchedWith);
  }
  std::sort(result.seeds.begin(), result.seeds.end());
  result.wrongSeeds = SeedsDrawnOtherwise(result.seeds, options.pick);
  return result;
}
