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

#include "count/pick_counter.h"
#include "count/pick_rank.h"
#include "walk/seed_span.h"

// The instruction sets the walk of the cycle can run with on this processor, by Highway's names
// ("AVX3_DL", "AVX3", "AVX2", "SSE4", "SSSE3", "SCALAR"), best first.
std::vector<std::string> CensusTargets();

struct CensusResult {
  uint64_t seedsCovered = 0;
  unsigned workers = 0;         // the threads that counted
  bool walkedTheCycle = false;  // the fast path along the generator's cycle, else seed by seed
  std::string target;           // the instruction set the walk ran with; "" seed by seed
  // The fewest distinct values among the twenty candidates of any seed covered, how many seeds
  // have so few, and the first of them in seed order (at most 64). The walk of the cycle tells
  // distinct counts apart only below eight; when no seed has fewer, fewestDistinct is 8
  // and fewestDistinctAtLeast is set. Seed by seed, the count is exact.
  int fewestDistinct = 0;
  bool fewestDistinctAtLeast = false;
  uint64_t fewestDistinctSeedCount = 0;
  std::vector<uint32_t> fewestDistinctSeeds;
  // Seeds by the candidate index (6..19) where their seventh distinct value first stands.
  uint64_t seventhIndex[kCandidateCount] = {};
  // Seeds whose candidates hold fewer than seven distinct values: their line would show 00s.
  uint64_t shortPicks = 0;
  int latestIndex = -1;                    // the latest index any seed needs
  uint64_t latestIndexSeedCount = 0;       // how many seeds need it
  std::vector<uint32_t> latestIndexSeeds;  // the first of them in seed order (at most 64)
  std::vector<uint32_t> pickCounts;        // seeds per pick, indexed by PickRank
  bool interrupted = false;
};

// Figures derived from pickCounts.
struct PickSummary {
  uint64_t numberCounts[kHighestNumber + 1] = {};  // seeds whose pick holds the number (1..37)
  uint32_t picksShown = 0;                         // picks with a nonzero count
  uint32_t mostFrequentRank = 0, leastFrequentRank = 0;  // least among those shown
  uint64_t mostFrequentCount = 0, leastFrequentCount = 0;
  // Picks that share those counts, the ones named included: a tie is told as a tie. The ranks
  // named are the lowest of them.
  uint32_t mostFrequentPicks = 0, leastFrequentPicks = 0;
};

// Spans of at least this many seeds are counted along the walk of the whole cycle; shorter ones
// seed by seed, which takes longer from here on (2 threads, the best instruction set; see the
// README's benchmarks).
constexpr uint64_t kWalkSpanAtLeast = 14000000;

// How a span is counted: the faster way for its length, or one way whatever its length (to hold
// one against the other).
enum class SpanMethod { kFastest, kWalk, kSeedBySeed };

struct CensusOptions {
  // The seeds counted: seedCount of them (1 to 2^32) from firstSeed on, wrapping past 4294967295
  // to 0, as the die's seeds do past 2106.
  uint32_t firstSeed = 0;
  uint64_t seedCount = kSeedSpace;
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
};

CensusResult RunCensus(const CensusOptions& options);
// Whether RunCensus counts along the cycle, rather than seed by seed.
bool WalksTheCycle(const CensusOptions& options);
PickSummary SummarisePicks(const CensusResult& result);

// One draw as the fast path sees it, for checking it against the library's draw.
struct WalkedPick {
  uint32_t seed;            // the lower of the two seeds (bit 31 clear)
  int32_t pick[kPickSize];  // ascending, zeros first when short
  int seventhIndex;         // -1 when short
  int distinct;             // distinct values among the twenty candidates
};

// The straightforward path's view of one seed, for the same comparison and for --verify.
WalkedPick DrawOneSeedForCensus(uint32_t seed);

// --verify: every seed of the space (or of the first cycleDraws draws of the cycle) through the
// one-draw walk and through the plain draw, pick against pick; then the census of the vector
// walk (with options.target) held against the plain draw's counts. For a span shorter than the
// whole space: its census along the walk, whatever its length, against its census seed by seed,
// every figure.
struct VerifyResult {
  uint64_t seedsChecked = 0;
  uint64_t mismatches = 0;                 // seeds whose walked pick differs from the draw's
  std::vector<uint32_t> disagreeingSeeds;  // some of them
  bool countsAgree = false;                // the vector walk's census equals the plain count
  std::string target;                      // the instruction set it ran with
  bool interrupted = false;
};
VerifyResult VerifyCensus(const CensusOptions& options);
