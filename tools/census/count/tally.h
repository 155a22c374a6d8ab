// One worker's figures: the seventh-index histogram, the short windows, the seeds at the two ends
// (latest seventh index, fewest distinct values) and the pick counter; and how the workers'
// figures add up to the census.
#pragma once

#include <cstdint>
#include <queue>
#include <vector>

#include "census.h"
#include "count/pick_counter.h"
#include "walk/seed_span.h"

constexpr size_t kSeedsKept = 64;

// The walks know a window's distinct values exactly only below eight: they keep the last eight
// distinct values, and seven make a pick.
constexpr int kListLength = kPickSize + 1;

// The seeds at one end of a figure (the latest seventh index, the fewest distinct values): the
// figure there, how many draws reach it, and the smallest of their seeds.
struct Extreme {
  Extreme(int start, bool low) : value(start), lowest(low) {}
  int value;
  bool lowest;  // the low end, else the high one
  uint64_t count = 0;
  std::priority_queue<uint32_t> seeds;  // the smallest seeds, largest on top

  bool Reaches(int figure) const { return lowest ? figure <= value : figure >= value; }
  // Whether this end lies past `figure`.
  bool Beyond(int figure) const { return lowest ? value < figure : value > figure; }
  __attribute__((noinline)) void Note(int figure, uint32_t seed);
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
  // Starts past every count, so that the seed-by-seed path finds the true fewest; the walks
  // note only counts below eight.
  Extreme fewest{kCandidateCount + 1, true};
  PickCounter picks;
};

// One seed drawn the plain way, counted.
void RecordDraw(Tally& tally, const WalkedPick& draw);

// The windows a walk meets only now and then, each given by its state: too few distinct values
// to tell apart (distinct is then exact), or a seventh value at or past the latest index so far.
// Without a span the draw's lower seed is noted, and the merge adds its twin; with one, each of
// the two seeds that lies in the span.
void NoteFewDistinct(Tally& tally, uint32_t state, int distinct, const SeedSpan* span = nullptr);
void NoteLateSeventh(Tally& tally, uint32_t state, int seventhIndex,
                     const SeedSpan* span = nullptr);

// Adds the workers' tallies into `result`, each counted draw standing for `weight` seeds: two
// when the walk of the whole space counted each draw once for the seed found and its twin with
// bit 31 set, one when the tallies counted seeds.
void MergeTallies(std::vector<Tally>& tallies, uint64_t weight, CensusResult& result);
