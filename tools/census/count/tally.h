// One worker's figures: the seventh-index histogram, the short windows, the seeds at the two ends
// (latest seventh index, fewest distinct values) and the pick counter; and how the workers'
// figures add up to the census.
#pragma once

#include <cstdint>
#include <queue>
#include <vector>

#include "census_result.h"
#include "count/pick_counter.h"
#include "draw.h"
#include "hwy/base.h"

constexpr size_t kSeedsKept = 64;

// The seeds at one end of a figure (the latest seventh index, the fewest distinct values): the
// figure there, how many seeds reach it, and the smallest of them.
struct Extreme {
  Extreme(int start, bool low) : value(start), lowest(low) {}
  int value;
  bool lowest;  // the low end, else the high one
  uint64_t count = 0;
  std::priority_queue<uint32_t> seeds;  // the smallest seeds, largest on top

  bool Reaches(int figure) const { return lowest ? figure <= value : figure >= value; }
  // Whether this end lies past `figure`.
  bool Beyond(int figure) const { return lowest ? value < figure : value > figure; }
  HWY_NOINLINE void Note(int figure, uint32_t seed);
};

// Each worker's tally starts on a cache line of its own, so that no two workers write one line.
struct alignas(64) Tally {
  explicit Tally(CounterShape shape = CounterShape()) : picks(shape) {}

  // The histogram in four copies used in turn: most draws land in the same few bins, and four
  // increments of one memory cell in a row would each wait for the last.
  static constexpr int kCopies = 4;
  uint64_t seventh[kCopies][kCandidateCount] = {};
  unsigned copy = 0;
  uint64_t shortPicks = 0;
  Extreme latest{-1, false};
  // Starts past every count, so that a seed-by-seed count finds the true fewest; the walks
  // note only the counts they can tell apart.
  Extreme fewest{kCandidateCount + 1, true};
  PickCounter picks;
  // Highway's bit for the instruction set whose vector code counted into this tally, as that code
  // itself records it (0: none has), so that a census names the build that really ran.
  int64_t countedWith = 0;
};

// What the census counts of one draw: the seed, its pick, where its seventh distinct value first
// stands and how many distinct values its twenty candidates hold.
struct DrawFigures {
  uint32_t seed;
  int32_t pick[kPickSize];  // ascending, zeros first when short
  int seventhIndex;         // -1 when short
  int distinct;
};

// One seed's draw, counted.
void RecordDraw(Tally& tally, const DrawFigures& draw);

// Adds the workers' tallies into `result`. Each entry of the histogram, of the short windows and
// of the pick counter stands for `seedsPerEntry` seeds (two where each draw was counted once for
// two seeds); the ends count seeds, one Note each. The fewest distinct values come out as noted,
// with fewestDistinctAtLeast clear.
void MergeTallies(std::vector<Tally>& tallies, uint64_t seedsPerEntry, CensusResult& result);
