// The figures a census hands on from the count to the reports: how the seeds were covered and
// what was found. Plain data that includes nothing of the census's parts,
// so that the count fills it and the reports read it without knowing how the draws were met.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "draw.h"

// How a census met its seeds, chosen once for the whole run.
enum class CensusMode {
  // Each seed drawn on its own: every figure exact.
  kSeedBySeed,
  // Every seed: seeds that differ only in bit 31 draw alike, so each draw of the generator's
  // cycle is walked once and counted for both of its seeds.
  kWholeCycle,
  // A span of seeds: the whole cycle walked, each draw counted for those of its two seeds that
  // lie in the span.
  kSpanOnCycle,
};

struct CensusResult {
  CensusMode mode = CensusMode::kSeedBySeed;
  uint64_t seedsCovered = 0;
  unsigned workers = 0;  // the threads that counted
  std::string target;    // the instruction set the walk ran with; "" seed by seed
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

// A figure of a census, as --verify holds the census walked (`fast`) against the plain count of
// the same seeds: its name in the line that says where the two differ, and whether they agree in
// it.
struct ComparedFigure {
  const char* name;
  bool (*same)(const CensusResult& fast, const CensusResult& plain);
};

// Every figure of CensusResult that --verify compares, in the order it names them; the members
// not compared tell how the census ran, not what it found (mode, workers, target, interrupted).
// Defined with --verify (census.cpp). A test alters each member in turn, so a figure added above
// without its comparison here fails it.
std::vector<ComparedFigure> ComparedFigures();
