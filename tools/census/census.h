// The census of the die: every seed's pick, counted. Seeds that differ only in bit 31 draw alike
// (the generator never lets bit 31 reach an output), so the whole space of 2^32 seeds is 2^31
// distinct draws, each counted twice. A span of seeds is counted seed by seed when short, and
// else along the same walk, each draw counted for those of its two seeds inside the span.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "census_result.h"
#include "census_scope.h"
#include "chunked_work.h"
#include "count/pick_counter.h"
#include "count/tally.h"

// The instruction sets the walk of the cycle can run with on this processor, by Highway's names
// ("AVX3_DL", "AVX3", "AVX2", "SSE4", "SSSE3", "SCALAR"), best first.
std::vector<std::string> CensusTargets();

// Spans of at least this many seeds are counted along the walk of the whole cycle; shorter ones
// seed by seed, which takes longer from here on (2 threads, the best instruction set; see the
// README's benchmarks).
constexpr uint64_t kWalkSpanAtLeast = 14000000;

// How a span is counted: the faster way for its length, or one way whatever its length (to hold
// one against the other).
enum class SpanMethod { kFastest, kWalk, kSeedBySeed };

struct CensusOptions {
  CensusScope scope;  // the seeds counted
  unsigned threads = 1;
  SpanMethod method = SpanMethod::kFastest;
  // When walking the cycle: walk only this many draws of it (0: all 2^31), for timing and tests,
  // counting positions from the generator state `cycleOrigin` (see CycleOriginOfSeed).
  uint64_t cycleDraws = 0;
  uint32_t cycleOrigin = 0;
  // The instruction set of the walk, one of CensusTargets(); "" (or one this processor lacks)
  // takes the best.
  std::string target;
  CounterShape counter;                     // each worker's pick counter; tests make it small
  const std::atomic<bool>* stop = nullptr;  // set from outside to end early
  // Called now and then, on the calling thread, with the share of the work done (0..1).
  std::function<void(double)> progress;
  // For tests of --verify only, to see each of its checks find a fault and name it: changes the
  // fast census's figures before they are held against the plain count, and the draws the walk
  // met in each chunk before they are held seed by seed against the plain draw.
  std::function<void(CensusResult&)> alterFastCount;
  std::function<void(std::vector<DrawFigures>&)> alterWalkedDraws;
};

// How RunCensus meets the seeds of `options`: the whole space along the cycle, a span along the
// cycle, or seed by seed.
CensusMode ModeOf(const CensusOptions& options);

// The work of meeting those seeds in that mode: draws of the cycle, or seeds from the first on,
// in chunks among the workers. The finder meets its seeds the same way.
ChunkedWork PlanOf(const CensusOptions& options, CensusMode mode);
CensusResult RunCensus(const CensusOptions& options);

// --verify: every seed of the space (or of the first cycleDraws draws of the cycle) through the
// one-draw walk and through the plain draw, pick against pick; then the census of the vector
// walk (with options.target) held against the plain draw's counts. For a span shorter than the
// whole space: its census along the walk, whatever its length, against its census seed by seed,
// every figure.
struct VerifyResult {
  uint64_t seedsChecked = 0;
  uint64_t mismatches = 0;                 // seeds whose walked pick differs from the draw's
  std::vector<uint32_t> disagreeingSeeds;  // some of them
  // The figures in which the vector walk's census differs from the plain count, by name ("pick
  // counts", "number counts", ...); none when the two agree.
  std::vector<std::string> differingFigures;
  std::string target;                          // the instruction set it ran with
  unsigned fastWorkers = 0, plainWorkers = 0;  // the threads that counted each way
  bool interrupted = false;
};
VerifyResult VerifyCensus(const CensusOptions& options);

// What --verify says of its verdict: on a difference, one line for each seed named that
// disagrees and one that counts them and names the figures that differ (without the program's
// name); else, for the output, the line that says what was verified.
struct VerdictWords {
  std::vector<std::string> complaints;
  std::string verified;
};
VerdictWords VerdictInWords(const VerifyResult& verdict, const CensusScope& scope);
