#include "count/pick_counter.h"

#include <algorithm>

#include "count/pick_queue-inl.h"

PickCounter::PickCounter(CounterShape shape)
    : counterBits(std::min(std::max(shape.counterBits, 1), 8)),
      counterMask(static_cast<uint8_t>((1u << counterBits) - 1)),
      counts(static_cast<size_t>(kSlices) << (kSliceBits + 1)),
      queueLength(std::max(kTail, (shape.queueLength + kTail - 1) / kTail * kTail)),
      queueLines(queueLength / kLine + kTailLines),
      queue(static_cast<size_t>(kSlices) * queueLines),
      tails(static_cast<size_t>(kSlices) * kTailLines),
      tailAt(kSlices),
      nextLine(kSlices) {
  for (uint32_t slice = 0; slice < kSlices; ++slice) tailAt[slice] = slice * kTail;
}

// Built for any processor; the vector walk inlines its own build of AddToQueues.
void PickCounter::AddAll(const uint32_t* words, size_t count) {
  vorel::HWY_NAMESPACE::AddToQueues(*this, words, count);
}

// The entry, doubled bit and all, is the counter's place in its slice: picks shown by two draws
// in a row are counted in the upper half of the slice's counters. A byte counter wraps by itself,
// in one instruction that adds to memory and sets the flags; a narrower one wraps at its mask.
template <bool kWholeByte>
void PickCounter::CountEntries(uint8_t* base, uint32_t slice, const uint16_t* entries, uint32_t n) {
  const uint8_t mask = counterMask;
  for (uint32_t i = 0; i < n; ++i) {
    uint8_t& counter = base[entries[i]];
    uint8_t count = kWholeByte ? ++counter : (counter = static_cast<uint8_t>((counter + 1) & mask));
    if (HWY_UNLIKELY(count == 0)) NoteWrap(slice, entries[i]);
  }
}

// Byte counters, a line (32 entries) at a time, each entry an increment and a test for a wrap,
// which is almost never true and so costs the processor nothing to foresee: four instructions an
// entry, where testing four entries at once took eleven. The queue was written past the
// cache and is read from memory: the processor's own prefetcher follows a stream only within a
// 4 KB page and starts anew at each, so the entries are asked for 2 KB ahead, a line at a time.
void PickCounter::CountQueuedBytes(uint8_t* base, uint32_t slice, const uint16_t* entries,
                                   uint32_t n) {
  constexpr uint32_t kAhead = 1024;  // entries: 2 KB
  uint32_t i = 0;
  for (; i + kLine <= n; i += kLine) {
    const uint16_t* line = entries + i;
    __builtin_prefetch(line + kAhead, 0, 0);
    HWY_UNROLL(32)
    for (uint32_t k = 0; k < kLine; ++k) {
      if (HWY_UNLIKELY(++base[line[k]] == 0)) NoteWrap(slice, line[k]);
    }
  }
  CountEntries<true>(base, slice, entries + i, n - i);
}

void PickCounter::Apply(uint32_t slice, uint32_t n, uint32_t inTail) {
  // The slice's counters, both halves, have left the cache since it was last counted: all are
  // asked for at once, before the first entry needs one.
  uint8_t* base = &counts[static_cast<size_t>(slice) << (kSliceBits + 1)];
  for (uint32_t line = 0; line < (2u << kSliceBits); line += 64) {
    __builtin_prefetch(&base[line], 1, 3);
  }
  uint16_t* lines = queue[static_cast<size_t>(slice) * queueLines + kTailLines].entries;
  uint16_t* tail = tails[slice * kTailLines].entries;
  uint32_t inLines = n - inTail;
  if (slice == kLastSlice) {
    inLines = KeepRealPicks(lines, inLines);
    inTail = KeepRealPicks(tail, inTail);
  }
  if (counterBits == 8) {
    CountQueuedBytes(base, slice, lines, inLines);
    CountEntries<true>(base, slice, tail, inTail);
  } else {
    CountEntries<false>(base, slice, lines, inLines);
    CountEntries<false>(base, slice, tail, inTail);
  }
}

// The last slice's places past the last pick have counters, but no pick: an entry there is
// dropped and noted, so it can neither count nor wrap. Returns how many entries are left.
uint32_t PickCounter::KeepRealPicks(uint16_t* entries, uint32_t n) {
  uint32_t kept = 0;
  for (uint32_t i = 0; i < n; ++i) {
    if ((entries[i] & kPlace) < kPlacesInLastSlice) {
      entries[kept++] = entries[i];
    } else {
      refused += entries[i] & kTwice ? 2 : 1;
    }
  }
  return kept;
}

// A counter in the upper half counts pairs of draws, so its wrap stands for twice as many.
void PickCounter::NoteWrap(uint32_t slice, uint32_t entry) {
  uint32_t rank = (slice << kSliceBits) | (entry & kPlace);
  wrapped.push_back(rank);
  if (entry & kTwice) wrapped.push_back(rank);
}

void PickCounter::ApplyAll() {
  for (uint32_t slice = 0; slice < kSlices; ++slice) {
    // A full tail goes to the queue only when the next entry comes, so it still holds its lines.
    uint32_t inTail = tailAt[slice] - slice * kTail;
    uint32_t inLines = nextLine[slice] ? (nextLine[slice] - kTailLines) * kLine : 0;
    Apply(slice, inLines + inTail, inTail);
    tailAt[slice] = slice * kTail;
    nextLine[slice] = 0;
  }
}

void PickCounter::AddCountsTo(std::vector<uint32_t>& pickCounts) const {
  for (uint32_t rank = 0; rank < kPossiblePicks; ++rank) {
    size_t at = static_cast<size_t>(rank >> kSliceBits) << (kSliceBits + 1) | (rank & kPlace);
    pickCounts[rank] += counts[at] + 2u * counts[at | kTwice];
  }
  for (uint32_t rank : wrapped) pickCounts[rank] += 1u << counterBits;
}
