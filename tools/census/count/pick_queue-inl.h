// Words into a pick counter's queues (pick_counter.h), each full tail written to its queue
// past the cache: the queue is read back only when its slice is counted, long after, and would
// only push the walk's own data out of the cache. Included by the vector walk once per
// instruction set, which inlines it between its arithmetic, and by pick_counter.cpp for any
// processor, where the line is written plainly.
//
// Each slice's tail is four lines of the array `tails` (128 entries), and tailAt[slice] says
// where in them, counted in entries from the array's start, the slice's next entry goes: slice *
// 128 plus the entries already there. For slice 75 with three entries in its tail, tailAt[75] =
// 75 * 128 + 3 = 9603. At a multiple of 128 the tail is empty (before the slice's first entry) or
// full (then the index has moved on to the next slice's tail, 76 * 128 = 9728): either way the
// tail goes to the queue first (an empty one to the spare lines in front), and the entry starts
// the slice's tail afresh. A full tail goes out only when the slice's next entry arrives, long
// after its last entry was written, so reading it back never waits for that write.
#if defined(VOREL_PICK_QUEUE_INL_H_) == defined(HWY_TARGET_TOGGLE)
#ifdef VOREL_PICK_QUEUE_INL_H_
#undef VOREL_PICK_QUEUE_INL_H_
#else
#define VOREL_PICK_QUEUE_INL_H_
#endif

#include "count/pick_counter.h"
#include "hwy/highway.h"

HWY_BEFORE_NAMESPACE();
namespace vorel {
namespace HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

// The slice's tail, empty or full, goes to its queue; a full queue is counted. Returns where the
// slice's next entry goes: the start of its tail. Out of line: it runs once in 128 words, and the
// walk inlines the words' path many times over.
static HWY_NOINLINE uint32_t StartTail(PickCounter& counter, uint32_t slice) {
  const hn::ScalableTag<uint16_t> d16;
  constexpr uint32_t kLine = PickCounter::kLine, kTailLines = PickCounter::kTailLines;
  uint32_t line = counter.nextLine[slice];
  const uint16_t* from = counter.tails[slice * kTailLines].entries;
  uint16_t* to = counter.queue[slice * counter.queueLines + line].entries;
  for (uint32_t k = 0; k < PickCounter::kTail; k += hn::Lanes(d16)) {
    hn::Stream(hn::Load(d16, from + k), d16, to + k);
  }
  counter.nextLine[slice] = line + kTailLines;
  if (line * kLine == counter.queueLength) {
    counter.Apply(slice, counter.queueLength, 0);
    counter.nextLine[slice] = kTailLines;
  }
  return slice * PickCounter::kTail;
}

// One word into its slice's tail; `at` and `entries` are the counter's tailAt and its tails seen
// as one array of entries.
HWY_INLINE void AddToQueue(PickCounter& counter, uint32_t word, uint32_t* __restrict at,
                           uint16_t* entries) {
  uint32_t slice = word >> PickCounter::kSliceShift;
  uint32_t place = at[slice];
  if (HWY_UNLIKELY(place % PickCounter::kTail == 0)) place = StartTail(counter, slice);
  entries[place] = static_cast<uint16_t>(word);
  at[slice] = place + 1;
}

HWY_INLINE void AddToQueues(PickCounter& counter, const uint32_t* words, size_t count) {
  uint32_t* at = counter.tailAt.data();
  uint16_t* entries = counter.tails.data()->entries;
  for (size_t i = 0; i < count; ++i) AddToQueue(counter, words[i], at, entries);
}

// The same for a number of words known when compiled: straight code, without a loop whose end
// the processor would have to guess.
template <size_t kCount>
HWY_INLINE void AddBlockToQueues(PickCounter& counter, const uint32_t* words) {
  uint32_t* at = counter.tailAt.data();
  uint16_t* entries = counter.tails.data()->entries;
  HWY_UNROLL(32)
  for (size_t i = 0; i < kCount; ++i) AddToQueue(counter, words[i], at, entries);
}

}  // namespace HWY_NAMESPACE
}  // namespace vorel
HWY_AFTER_NAMESPACE();

#endif  // VOREL_PICK_QUEUE_INL_H_
