// One worker's count of each pick's seeds. 2^31 increments scattered over 10 million counters
// would each miss the cache, so they wait in one queue per slice of 16384 picks and are applied a
// queue at a time, while that slice's counters sit in the cache. Entries gather in four cache
// lines per slice (its tail) and go to the queue four whole lines at a time; the vector walk
// writes them past the cache.
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

#include "count/pick_rank.h"
#include "hwy/base.h"

// How a counter is built: entries queued per slice before they are applied (a multiple of 128),
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
  // The lines of a slice's tail, and the entries they hold. Whether a word fills its slice's tail
  // is a branch the processor cannot foresee, and each wrong guess throws away the walk's work
  // begun after it: a tail of four lines takes that branch once in 128 words, not once in 32.
  // More lines gain no more, while the tails (160 KB) still fit the second-level cache.
  static constexpr uint32_t kTailLines = 4, kTail = kTailLines * kLine;
  // The last slice holds the last pick's place and the unused places past it.
  static constexpr uint32_t kLastSlice = kSlices - 1, kPlacesInLastSlice = kPossiblePicks & kPlace;

  // A word, as the walks hand it over: the slice in the top half (from bit kSliceShift up);
  // below, the entry: the rank's place in its slice and, in the next bit up, whether it stands
  // for two draws in a row. Rank 1234567 is slice 75 (75 * 16384 = 1228800), place 5767: word
  // 0x004B1687, or 0x004B5687 for two draws.
  static constexpr int kSliceShift = 16;
  static_assert(kSlices <= 1u << (32 - kSliceShift), "the slice fits the word's top half");
  static_assert(kTwice < 1u << kSliceShift, "an entry, place and doubled bit, fits below it");
  static_assert((kSlices << kSliceBits) >= kPossiblePicks, "every rank has a slice");

  struct alignas(64) Line {
    uint16_t entries[kLine];
  };
  static_assert(sizeof(Line) == 64, "a line fills one cache line");

  explicit PickCounter(CounterShape shape = CounterShape());

  static uint32_t Word(uint32_t rank, bool twice = false) {
    return (rank >> kSliceBits << kSliceShift) | (rank & kPlace) | (twice ? kTwice : 0u);
  }

  void Add(uint32_t word) { AddAll(&word, 1); }
  // Words into the queues (see AddToQueues in pick_queue-inl.h, which the vector walk inlines).
  void AddAll(const uint32_t* words, size_t count);

  // Counts what still waits in the queues. Call once, when the worker is done.
  void ApplyAll();

  // Adds each rank's count, the wraps included, to pickCounts[rank] (one slot per possible pick).
  void AddCountsTo(std::vector<uint32_t>& pickCounts) const;

  // Draws whose entry named a place past the last pick: refused, never counted. Only a fault in
  // a walk makes one.
  uint64_t refused = 0;

 private:
  uint32_t KeepRealPicks(uint16_t* entries, uint32_t n);
  template <bool kWholeByte>
  void CountEntries(uint8_t* base, uint32_t slice, const uint16_t* entries, uint32_t n);
  void CountQueuedBytes(uint8_t* base, uint32_t slice, const uint16_t* entries, uint32_t n);
  HWY_NOINLINE void NoteWrap(uint32_t slice, uint32_t entry);

  int counterBits;
  uint8_t counterMask;
  std::vector<uint8_t> counts;
  std::vector<uint32_t> wrapped;  // a rank each time a counter of it wrapped, twice for a pair

 public:
  // The queues, as AddToQueues fills them. Each slice has a queue of queueLines lines, the
  // first kTailLines of them spare, and a tail of kTailLines lines in `tails`. tailAt[slice] says
  // where the slice's next entry goes, counted in entries from the start of `tails`;
  // nextLine[slice] which line of its queue its tail goes to next.
  uint32_t queueLength, queueLines;
  std::vector<Line> queue, tails;
  std::vector<uint32_t> tailAt, nextLine;

  // Counts the slice's n entries, the last `inTail` of them still in its tail.
  HWY_NOINLINE void Apply(uint32_t slice, uint32_t n, uint32_t inTail);
};
