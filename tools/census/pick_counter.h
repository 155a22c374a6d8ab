// One worker's count of each pick's seeds. 2^31 increments scattered over 10 million counters
// would each miss the cache, so they wait in one queue per slice of 16384 picks and are applied a
// queue at a time, while that slice's counters sit in the cache. Entries gather in a cache line
// per slice (its tail) and go to the queue a whole line at a time; the vector walk writes them
// past the cache.
//
// A counter is narrow (one byte in the census) and comes in two halves per slice: picks shown by
// one draw, and picks shown by two draws in a row, which make one entry. The few counters that
// pass their top within one worker are noted each time they wrap. The queue's length and the
// counters' width are parameters, so that tests can fill queues and wrap counters in a few
// thousand entries.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "pick_rank.h"

// How a counter is built: entries queued per slice before they are applied (a multiple of 32),
// and the bits of each counter (1 to 8).
struct CounterShape {
  uint32_t queueLength = 32768;
  int counterBits = 8;
};

struct PickCounter {
  static constexpr int kSliceBits = 14;
  static constexpr uint32_t kSlices = (kPossiblePicks >> kSliceBits) + 1;
  static constexpr uint32_t kPlace = (1u << kSliceBits) - 1, kTwice = 1u << kSliceBits;
  static constexpr uint32_t kLine = 32;  // entries per cache line
  // The last slice holds the last pick's place and the unused places past it.
  static constexpr uint32_t kLastSlice = kSlices - 1, kPlacesInLastSlice = kPossiblePicks & kPlace;

  // A word, as the walks hand it over: the slice in the top half; below, the entry: the rank's
  // place in its slice and, in the next bit up, whether it stands for two draws in a row.
  // Rank 1234567 is slice 75 (75 * 16384 = 1228800), place 5767: word 0x004B1687, or
  // 0x004B5687 for two draws.
  static_assert(kSlices <= 1u << 16, "the slice fits the word's top half");
  static_assert(kTwice < 1u << 16, "an entry, place and doubled bit, fits sixteen bits");
  static_assert((kSlices << kSliceBits) >= kPossiblePicks, "every rank has a slice");

  struct alignas(64) Line {
    uint16_t entries[kLine];
  };
  static_assert(sizeof(Line) == 64, "a line fills one cache line");

  explicit PickCounter(CounterShape shape = CounterShape());

  static uint32_t Word(uint32_t rank, bool twice = false) {
    return (rank >> kSliceBits << 16) | (rank & kPlace) | (twice ? kTwice : 0u);
  }

  void Add(uint32_t word) { AddAll(&word, 1); }

  // Each slice's tail is a line of the array `tails`, and tailAt[slice] says where in it, counted
  // in entries from the array's start, the slice's next entry goes: slice * 32 plus the entries
  // already there. For slice 75 with three entries in its tail, tailAt[75] = 75 * 32 + 3 = 2403.
  // At a multiple of 32 the tail is empty (before the slice's first entry) or full (then the
  // index has moved on to the next slice's line, 76 * 32 = 2432): either way the line goes to
  // the queue first, and the entry starts the slice's line afresh. A full tail line goes out
  // only when the slice's next entry arrives, long after its last entry was written, so reading
  // it back never waits for that write.
  void AddAll(const uint32_t* words, size_t count) {
    for (size_t i = AddUntilTailFull(words, 0, count); i < count;
         i = AddUntilTailFull(words, i + 1, count)) {
      uint32_t slice = words[i] >> 16;
      *NextQueueLine(slice) = tails[slice];
      StartTail(words[i]);
    }
  }

  // Adds words[begin], words[begin + 1] and so on until one whose slice's tail must go to the
  // queue first, and returns that one's index (count when none must). The caller writes the
  // tail to NextQueueLine(slice) in whatever way suits it, hands the word to StartTail and goes
  // on from the next one.
  inline __attribute__((always_inline)) size_t AddUntilTailFull(const uint32_t* words, size_t begin,
                                                                size_t count) {
    uint32_t* __restrict at = tailAt.data();
    uint16_t* __restrict entries = &tails.data()->entries[0];  // the tails as one array
    for (size_t i = begin; i < count; ++i) {
      uint32_t slice = words[i] >> 16;
      uint32_t place = at[slice];
      if (__builtin_expect(place % kLine == 0, 0)) return i;
      entries[place] = static_cast<uint16_t>(words[i]);
      at[slice] = place + 1;
    }
    return count;
  }

  const Line& Tail(uint32_t slice) const { return tails[slice]; }
  // At line 0 the empty tail goes to the spare line in front of the queue.
  Line* NextQueueLine(uint32_t slice) { return &queue[slice * queueLines + nextLine[slice]]; }

  // The word's slice's tail went to NextQueueLine: a full queue is applied, and the word starts
  // the slice's tail afresh.
  inline __attribute__((always_inline)) void StartTail(uint32_t word) {
    uint32_t slice = word >> 16;
    uint32_t line = nextLine[slice]++;
    if (line * kLine == queueLength) {
      Apply(slice, queueLength, 0);
      nextLine[slice] = 1;
    }
    tails[slice].entries[0] = static_cast<uint16_t>(word);
    tailAt[slice] = slice * kLine + 1;
  }

  // Counts what still waits in the queues. Call once, when the worker is done.
  void ApplyAll();

  // Adds each rank's count, the wraps included, to pickCounts[rank] (one slot per possible pick).
  void AddCountsTo(std::vector<uint32_t>& pickCounts) const;

  // Draws whose entry named a place past the last pick: refused, never counted. Only a fault in
  // a walk makes one.
  uint64_t refused = 0;

 private:
  __attribute__((noinline)) void Apply(uint32_t slice, uint32_t n, uint32_t inTail);
  uint32_t KeepRealPicks(uint16_t* entries, uint32_t n);
  template <bool kWholeByte>
  void CountEntries(uint8_t* base, uint32_t slice, const uint16_t* entries, uint32_t n);
  __attribute__((noinline, cold)) void NoteWrap(uint32_t slice, uint32_t entry);

  uint32_t queueLength, queueLines;  // lines per slice: the queue's and one spare in front
  int counterBits;
  uint8_t counterMask;
  std::vector<uint8_t> counts;
  std::vector<Line> queue, tails;
  std::vector<uint32_t> tailAt;    // see AddAll
  std::vector<uint32_t> nextLine;  // the queue line of each slice that its tail goes to next
  std::vector<uint32_t> wrapped;   // a rank each time a counter of it wrapped, twice for a pair
};
