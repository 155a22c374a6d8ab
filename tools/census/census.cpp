#include "census.h"

#include <algorithm>
#include <chrono>
#include <queue>
#include <thread>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include "draw.h"

namespace {

constexpr uint32_t kMultiplier = 22695477u;
constexpr uint32_t kLow31 = 0x7FFFFFFFu;
constexpr uint64_t kCycle = 1ull << 31;  // the generator's period once bit 31 is ignored
constexpr size_t kSeedsKept = 64;

// The multiplier's inverse modulo 2^32, so the walk can step the generator backwards.
constexpr uint32_t InverseMultiplier() {
  uint32_t inverse = kMultiplier;  // Newton's iteration doubles the correct low bits each time
  for (int i = 0; i < 5; ++i) inverse *= 2u - kMultiplier * inverse;
  return inverse;
}
constexpr uint32_t kInverse = InverseMultiplier();
static_assert(kMultiplier * kInverse == 1u, "the multiplier is odd, so it has an inverse");

uint32_t Forward(uint32_t state) {
  return state * kMultiplier + 1u;
}
uint32_t Backward(uint32_t state) {
  return (state - 1u) * kInverse;
}

// The state after `steps` steps forward, by composing the affine step with itself.
uint32_t Jump(uint32_t state, uint64_t steps) {
  uint32_t multiply = kMultiplier, add = 1u;  // one step: x -> multiply * x + add
  while (steps) {
    if (steps & 1) state = state * multiply + add;
    add = add * multiply + add;
    multiply *= multiply;
    steps >>= 1;
  }
  return state;
}

// The candidate (0..36, one less than the number shown) that the state yields.
inline uint32_t Candidate(uint32_t state) {
  return ((state >> 16) & 0x7FFFu) % 37u;
}

// C(n, k) for n < 38, k < 8.
struct Binomials {
  uint32_t table[38][8];
  constexpr Binomials() : table() {
    for (int n = 0; n < 38; ++n) {
      table[n][0] = 1;
      for (int k = 1; k < 8; ++k) table[n][k] = n == 0 ? 0 : table[n - 1][k - 1] + table[n - 1][k];
    }
  }
};
constexpr Binomials kBinomials;

// Colexicographic ranks from a 37-bit mask of values in three table lookups: each chunk of the
// mask adds the binomials of its set bits, given how many set bits lie below the chunk.
struct RankTables {
  static constexpr int kLowBits = 13, kMiddleBits = 12, kHighBits = 12;
  std::vector<uint32_t> low, middle, high;  // [below][chunk], below 0..7

  static void Fill(std::vector<uint32_t>& table, int firstBit, int bits) {
    table.assign(static_cast<size_t>(8) << bits, 0);
    for (int below = 0; below < 8; ++below) {
      for (uint32_t chunk = 0; chunk < (1u << bits); ++chunk) {
        uint32_t sum = 0;
        int place = below;
        for (int bit = 0; bit < bits; ++bit) {
          if (chunk >> bit & 1) sum += ++place <= 7 ? kBinomials.table[firstBit + bit][place] : 0;
        }
        table[(static_cast<size_t>(below) << bits) | chunk] = sum;
      }
    }
  }

  RankTables() {
    Fill(low, 0, kLowBits);
    Fill(middle, kLowBits, kMiddleBits);
    Fill(high, kLowBits + kMiddleBits, kHighBits);
  }

  // The mask must hold seven bits at most.
  inline __attribute__((always_inline)) uint32_t Rank(uint64_t mask) const {
    uint32_t m0 = mask & ((1u << kLowBits) - 1);
    uint32_t m1 = (mask >> kLowBits) & ((1u << kMiddleBits) - 1);
    uint32_t m2 = static_cast<uint32_t>(mask >> (kLowBits + kMiddleBits));
    uint32_t t0 = __builtin_popcount(m0), t1 = t0 + __builtin_popcount(m1);
    return low[m0] + middle[(t0 << kMiddleBits) | m1] + high[(t1 << kHighBits) | m2];
  }
};

const RankTables& Ranks() {
  static const RankTables tables;
  return tables;
}

// The current window of twenty candidates, seen from the walk. Stepping back one draw puts one
// value in front; that value's old first appearance, if it is still in the window, stops being a
// first appearance. So one word of twenty bits, `firsts`, says where each distinct value first
// stands: the distinct count is its population and the seventh distinct value stands at its
// seventh set bit. The pick follows from the last one: the new value joins it unless it was in
// it already, and then the old seventh value leaves. Only a few words carry from one draw to the
// next, so the processor can work on several draws at once.
struct Window {
  uint32_t firsts = 0;     // bit j: window position j holds the first appearance of its value
  int distinct = 0;        // set bits of firsts
  int seventh = -1;        // position of the seventh distinct value; -1 when there are fewer
  uint64_t pick = 0;       // the pick as a mask of values (bit v: the number v + 1)
  uint64_t step = 64;      // pushes so far, from 64 so every value starts far out of the window
  uint64_t last[37] = {};  // the step at which each value was last pushed
  uint8_t recent[32];      // the values pushed, by step modulo 32

  inline __attribute__((always_inline)) void Push(uint32_t x) {
    uint64_t distance = step - last[x];  // x's old first position, plus one
    uint32_t stale = distance < kCandidateCount ? 1u << distance : 0u;
    firsts = (((firsts << 1) | 1u) & ~stale) & ((1u << kCandidateCount) - 1);
    last[x] = step;
    recent[step & 31] = static_cast<uint8_t>(x);
    ++step;
    int oldSeventh = seventh;
    distinct = __builtin_popcount(firsts);
    if (distinct < kPickSize) {
      seventh = -1;
      return;
    }
    uint32_t rest = firsts;
    for (int i = 0; i < kPickSize - 1; ++i) rest &= rest - 1;
    seventh = __builtin_ctz(rest);
    if (oldSeventh < 0) {
      pick = PickFromPositions();
      return;
    }
    uint64_t oldSeventhValue = recent[(step - 2 - static_cast<uint64_t>(oldSeventh)) & 31];
    uint64_t swapped = (pick & ~(1ull << oldSeventhValue)) | (1ull << x);
    pick = distance <= static_cast<uint64_t>(oldSeventh) + 1 ? pick : swapped;
  }

  // The value (0..36) at window position j.
  int ValueAt(int j) const { return recent[(step - 1 - j) & 31]; }

  // The values at the first seven first-appearance positions (fewer when short).
  uint64_t PickFromPositions() const {
    uint64_t mask = 0;
    uint32_t rest = firsts;
    for (int i = 0; i < kPickSize && rest; ++i) {
      mask |= 1ull << ValueAt(__builtin_ctz(rest));
      rest &= rest - 1;
    }
    return mask;
  }
};

// Counts per pick. 2^31 increments scattered over 10 million counters would each miss the
// cache, so they wait in one queue per slice of 16384 picks and are applied a queue at a time,
// while that slice's counters stay in the cache. Entries gather in a cache line per slice and go
// to the queue a whole line at a time, past the cache. A count is one byte, in two halves per
// slice: picks shown once, and picks shown by two draws in a row, which make one entry; the few
// counts that pass 255 within one worker are noted each time they wrap.
struct PickCounter {
  static constexpr int kSliceBits = 14;
  static constexpr uint32_t kSlices = (kPossiblePicks >> kSliceBits) + 1;
  static constexpr uint32_t kPlace = (1u << kSliceBits) - 1, kTwice = 1u << kSliceBits;
  static constexpr uint32_t kLine = 32;  // entries per cache line
  static constexpr uint32_t kQueued = 32768;
  static constexpr uint32_t kQueueLines = kQueued / kLine + 1;  // and one line in front
  struct alignas(64) Line {
    uint16_t entries[kLine];
  };
  std::vector<uint8_t> counts;
  std::vector<Line> queue, tails;
  std::vector<uint32_t> queued;
  std::vector<uint32_t> wrapped;  // a rank each time its count went from 255 to 0

  PickCounter()
      : counts(kSlices << (kSliceBits + 1)),
        queue(kSlices * kQueueLines),
        tails(kSlices),
        queued(kSlices) {}

  // What Add takes: the slice in the top half; below, the entry: the rank's place in its slice
  // and, in the next bit up, whether the pick counts twice (two draws in a row showed it).
  static uint32_t Word(uint32_t rank, bool twice = false) {
    return (rank >> kSliceBits << 16) | (rank & kPlace) | (twice ? kTwice : 0u);
  }

  void Add(uint32_t word) { AddAll(&word, 1); }

  inline __attribute__((always_inline)) void AddAll(const uint32_t* words, size_t count) {
    uint32_t* __restrict fill = queued.data();
    Line* __restrict tail = tails.data();
    Line* __restrict lines = queue.data();
    for (size_t i = 0; i < count; ++i) {
      uint32_t slice = words[i] >> 16;
      uint32_t n = fill[slice];
      // A full tail line goes out only when the slice's next entry arrives, long after its last
      // entry was written, so reading it back never waits for that write. At n = 0 the empty
      // line goes to the spare line in front of the queue.
      if (n % kLine == 0) {
        StreamLine(&lines[slice * kQueueLines + n / kLine], tail[slice]);
        if (n == kQueued) {
          Apply(slice, n, 0);
          n = 0;
        }
      }
      tail[slice].entries[n % kLine] = static_cast<uint16_t>(words[i]);
      fill[slice] = n + 1;
    }
  }

  static void StreamLine(Line* to, const Line& from) {
#if defined(__x86_64__)
    const __m128i* source = reinterpret_cast<const __m128i*>(from.entries);
    __m128i* target = reinterpret_cast<__m128i*>(to->entries);
    for (int q = 0; q < 4; ++q) _mm_stream_si128(target + q, _mm_load_si128(source + q));
#else
    *to = from;
#endif
  }

  // Counts the slice's n entries, the last `inTail` of them still in its tail line.
  __attribute__((noinline)) void Apply(uint32_t slice, uint32_t n, uint32_t inTail) {
    uint8_t* base = &counts[slice << (kSliceBits + 1)];
    for (uint32_t line = 0; line < (1u << kSliceBits); line += 64) {
      __builtin_prefetch(&base[line], 1, 3);
    }
    CountEntries(base, slice, queue[slice * kQueueLines + 1].entries, n - inTail);
    CountEntries(base, slice, tails[slice].entries, inTail);
  }

  // The entry, top bit and all, is the counter's place: picks shown by two draws in a row are
  // counted in the upper half of the slice's counters.
  void CountEntries(uint8_t* base, uint32_t slice, const uint16_t* entries, uint32_t n) {
    for (uint32_t i = 0; i < n; ++i) {
      if (__builtin_expect(++base[entries[i]] == 0, 0)) NoteWrap(slice, entries[i]);
    }
  }

  __attribute__((noinline, cold)) void NoteWrap(uint32_t slice, uint32_t entry) {
    uint32_t rank = (slice << kSliceBits) | (entry & kPlace);
    wrapped.push_back(rank);
    if (entry & kTwice) wrapped.push_back(rank);
  }

  // The count of a rank: its one-draw counter plus twice its two-draw counter, plus the wraps.
  uint32_t Count(uint32_t rank) const {
    size_t at = static_cast<size_t>(rank >> kSliceBits) << (kSliceBits + 1) | (rank & kPlace);
    return counts[at] + 2u * counts[at | kTwice];
  }

  void ApplyAll() {
    for (uint32_t slice = 0; slice < kSlices; ++slice) {
      uint32_t n = queued[slice];
      Apply(slice, n, n % kLine == 0 ? std::min(n, kLine) : n % kLine);
      queued[slice] = 0;
    }
  }
};

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

  __attribute__((noinline)) void Note(int figure, uint32_t seed) {
    if (!Reaches(figure)) return;
    if (figure != value) {
      value = figure;
      count = 0;
      seeds = {};
    }
    ++count;
    if (seeds.size() < kSeedsKept) {
      seeds.push(seed);
    } else if (seed < seeds.top()) {
      seeds.pop();
      seeds.push(seed);
    }
  }
};

// The walk knows a window's distinct values exactly only when there are fewer than eight: its
// list holds the last eight distinct values, and seven make a pick.
constexpr int kListLength = kPickSize + 1;

// One worker's counts, merged at the end.
struct Tally {
  // The histogram in four copies used in turn: most draws land in the same few bins, and four
  // increments of one memory cell in a row would each wait for the last.
  static constexpr int kCopies = 4;
  uint64_t seventh[kCopies][20] = {};
  unsigned copy = 0;
  uint64_t shortPicks = 0;
  Extreme latest{-1, false};
  // Starts past every count, so that the seed-by-seed path finds the true fewest; the walk
  // notes only counts below eight.
  Extreme fewest{kCandidateCount + 1, true};
  PickCounter picks;
};

uint32_t SeedOfWindow(uint32_t state) {
  return Backward(Backward(state)) & kLow31;
}

// The window of a seed starts two steps on: Seed() takes one, the first candidate the next.
uint32_t WindowOfSeed(uint32_t seed) {
  return Forward(Forward(seed)) & kLow31;
}

// Inlined into each build of the walk, so it runs with that build's instructions.
inline __attribute__((always_inline)) void RecordWindow(Tally& tally, uint32_t state,
                                                        const Window& window,
                                                        const RankTables& ranks) {
  tally.copy = (tally.copy + 1) % Tally::kCopies;
  if (window.distinct < kListLength && tally.fewest.Reaches(window.distinct)) {
    tally.fewest.Note(window.distinct, SeedOfWindow(state));
  }
  if (window.seventh < 0) {
    ++tally.shortPicks;
    return;
  }
  ++tally.seventh[tally.copy][window.seventh];
  if (tally.latest.Reaches(window.seventh)) tally.latest.Note(window.seventh, SeedOfWindow(state));
  tally.picks.Add(PickCounter::Word(ranks.Rank(window.pick)));
}

// The walk of one stretch of the cycle into a tally, in two builds of the same code: one for any
// x86-64 processor, one that may use the bit-counting instructions of newer ones.
template <class Record>
inline __attribute__((always_inline)) void WalkInline(uint32_t firstState, uint64_t count,
                                                      Record&& record) {
  Window window;
  uint32_t state = Jump(firstState, kCandidateCount - 1);
  for (int warm = 0; warm < kCandidateCount - 1; ++warm) {
    window.Push(Candidate(state));
    state = Backward(state);
  }
  for (uint64_t i = 0; i < count; ++i) {
    window.Push(Candidate(state));
    record(state, window);
    state = Backward(state);
  }
}

void WalkPortable(Tally& tally, uint32_t firstState, uint64_t count) {
  const RankTables& ranks = Ranks();
  WalkInline(firstState, count, [&](uint32_t state, const Window& window) {
    RecordWindow(tally, state, window, ranks);
  });
}

#if defined(__x86_64__) || defined(__i386__)
__attribute__((target("popcnt,bmi,bmi2,lzcnt"))) void WalkWithBitInstructions(Tally& tally,
                                                                              uint32_t firstState,
                                                                              uint64_t count) {
  const RankTables& ranks = Ranks();
  WalkInline(firstState, count, [&](uint32_t state, const Window& window) {
    RecordWindow(tally, state, window, ranks);
  });
}

bool CanUseBitInstructions() {
  return __builtin_cpu_supports("popcnt") && __builtin_cpu_supports("bmi") &&
         __builtin_cpu_supports("bmi2") && __builtin_cpu_supports("lzcnt");
}
#else
void WalkWithBitInstructions(Tally& tally, uint32_t firstState, uint64_t count) {
  WalkPortable(tally, firstState, count);
}
bool CanUseBitInstructions() {
  return false;
}
#endif

#if defined(__x86_64__)
// GCC 12's AVX-512 headers fill don't-care lanes from a deliberately undefined value, which its
// own uninitialised-use warning then reports.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#define VOREL_VECTOR     \
  __attribute__((target( \
      "avx512f,avx512bw,avx512vl,avx512dq,avx512cd,avx512vpopcntdq,popcnt,bmi,bmi2,lzcnt")))

// Sixteen stretches of the cycle walked side by side, one per 32-bit lane of an AVX-512 register.
// Each lane keeps the list of the last distinct values pushed, most recent first, with the step
// each was pushed at: the window's pick is the first seven of the list when the seventh is still
// inside the window, and its first appearance stands at that entry's age. The list is only eight
// long (seven for the pick, the eighth to tell a window with exactly seven distinct values), so a
// push is seven compares and seven blends, and the pick changes by at most one number.
constexpr int kVectorLanes = 16;

// Ranks of sixteen picks at once without reaching into large tables, in registers. Counted from
// the bottom, the k-th number of the low word (values 0..31) adds C(value, k + 1), from a
// 32-entry table indexed by the trailing zeros of its bit. Counted from the top, the numbers of
// the high word (values 32..36) are the seventh, sixth and so on, whatever lies below, so they add
// one entry of a 32-entry table indexed by the high word itself.
struct VectorRankTables {
  alignas(64) uint32_t low[kPickSize][32];
  alignas(64) uint32_t high[32];
  VectorRankTables() {
    for (int k = 0; k < kPickSize; ++k) {
      for (int place = 0; place < 32; ++place) low[k][place] = kBinomials.table[place][k + 1];
    }
    for (uint32_t h = 0; h < 32; ++h) {
      uint32_t sum = 0;
      int place = kPickSize;  // counted from the top, the highest number is the seventh
      for (int bit = 4; bit >= 0; --bit) {
        if (h >> bit & 1) sum += kBinomials.table[32 + bit][place--];
      }
      high[h] = sum;
    }
  }
};

const VectorRankTables& VectorRanks() {
  static const VectorRankTables tables;
  return tables;
}

VOREL_VECTOR inline __m512i RankOfPicks(__m512i low, __m512i high, const VectorRankTables& tables) {
  __m512i rank = _mm512_permutex2var_epi32(_mm512_load_si512(tables.high), high,
                                           _mm512_load_si512(tables.high + 16));
  __m512i rest = low;
  for (int k = 0; k < kPickSize; ++k) {
    // The zeros below the lowest set bit count its place; with no bit left all 32 count, and
    // place 32 reads entry 0, which is C(0, k + 1) = 0.
    __m512i less = _mm512_sub_epi32(rest, _mm512_set1_epi32(1));
    __m512i place = _mm512_popcnt_epi32(_mm512_andnot_si512(rest, less));
    rank = _mm512_add_epi32(rank, _mm512_permutex2var_epi32(_mm512_load_si512(tables.low[k]), place,
                                                            _mm512_load_si512(tables.low[k] + 16)));
    rest = _mm512_and_si512(rest, less);
  }
  return rank;
}

constexpr int kBufferSteps = 256;  // steps of the walk between two returns to the buffer's start

VOREL_VECTOR void EmptyFields(__m512i fields[2], __m512i bytes[2]) {
  const __m512i nibbles = _mm512_set1_epi8(0x0F);
  bytes[0] = _mm512_add_epi8(bytes[0], _mm512_add_epi8(_mm512_and_si512(fields[0], nibbles),
                                                       _mm512_and_si512(fields[1], nibbles)));
  bytes[1] = _mm512_add_epi8(
      bytes[1], _mm512_add_epi8(_mm512_and_si512(_mm512_srli_epi64(fields[0], 4), nibbles),
                                _mm512_and_si512(_mm512_srli_epi64(fields[1], 4), nibbles)));
  fields[0] = fields[1] = _mm512_setzero_si512();
}

VOREL_VECTOR void EmptyBytes(Tally& tally, __m512i bytes[2]) {
  alignas(64) uint8_t even[64], odd[64];
  _mm512_store_si512(even, bytes[0]);
  _mm512_store_si512(odd, bytes[1]);
  uint64_t fields[16] = {};
  for (int word = 0; word < 8; ++word) {
    for (int b = 0; b < 8; ++b) {  // byte b holds field 2b (even) or 2b + 1 (odd)
      fields[2 * b] += even[word * 8 + b];
      fields[2 * b + 1] += odd[word * 8 + b];
    }
  }
  for (int k = 1; k < 15; ++k) tally.seventh[0][k + 5] += fields[k];
  tally.shortPicks += fields[15];
  bytes[0] = bytes[1] = _mm512_setzero_si512();
}

VOREL_VECTOR void WalkVector(Tally& tally, const uint32_t firstStates[kVectorLanes],
                             uint64_t count) {
  const VectorRankTables& vectorRanks = VectorRanks();
  const __m512i zero = _mm512_setzero_si512(), one = _mm512_set1_epi32(1);
  const __m512i high32 = _mm512_set1_epi32(32), valueBits = _mm512_set1_epi32(0xFF);
  // The first seven entries of the list, each the step it was pushed at (above) and its value
  // (low eight bits); of the eighth only the step is needed, kept the same way. The list starts
  // with stand-ins 37..44 pushed long ago: they match no candidate and are never inside a
  // window, so a lane that has not yet seen seven distinct values is simply short. The steps of
  // one call stay below 2^23, so they fit.
  __m512i entry[kPickSize];
  for (int r = 0; r < kPickSize; ++r) {
    entry[r] = _mm512_set1_epi32(static_cast<int32_t>(0xF0000000u | (37u + r)));
  }
  __m512i eighth = _mm512_set1_epi32(static_cast<int32_t>(0xF0000000u | 44u));
  __m512i pickLow = zero, pickHigh = _mm512_set1_epi32(0x7F << (37 - 32));
  alignas(64) uint32_t lanes[kVectorLanes];
  for (int lane = 0; lane < kVectorLanes; ++lane) {
    lanes[lane] = Jump(firstStates[lane], kCandidateCount - 1);
  }
  __m512i state = _mm512_load_si512(lanes);
  __m512i stepHigh = zero;  // the step, moved up eight bits as in the entries

  // Seventh positions, counted in four-bit fields of 64-bit words (field k: position k + 5, and
  // field 15 for short windows), emptied into byte fields every 15 steps and into the tally
  // every 120.
  const __m512i one64 = _mm512_set1_epi64(1);
  __m512i fields[2] = {zero, zero}, bytes[2] = {zero, zero};
  int fieldSteps = 0, byteRounds = 0;
  // Each lane holds its last rank back while the next draws repeat it (a number already in the
  // pick came up), so two such draws make one entry. A lane holds nothing before its first
  // window or after a short one (`holding` clear): only a pick's rank ever reaches the counter.
  alignas(64) uint32_t words[(kBufferSteps + 1) * kVectorLanes];
  size_t buffered = 0, counted = 0, marks[8] = {};
  int steps = 0;
  __m512i held = zero, heldTwice = zero;
  __mmask16 holding = 0;

  // Ages compared in entry units: an entry's age exceeds 19 when now minus the entry exceeds
  // 19 * 256 + 255, now's low byte being 255 so no value borrows.
  const __m512i outside = _mm512_set1_epi32((kCandidateCount - 1) << 8 | 0xFF);
  __m512i latest = _mm512_set1_epi32(tally.latest.value * 256);
  for (uint64_t i = 0; i < count + kCandidateCount - 1; ++i) {
    // The candidate: bits 16 to 30 of the state, modulo 37 by the fraction of a multiply by
    // 2^20 / 37, exact below 2^15.
    __m512i bits = _mm512_and_si512(_mm512_srli_epi32(state, 16), _mm512_set1_epi32(0x7FFF));
    __m512i fraction = _mm512_and_si512(_mm512_mullo_epi32(bits, _mm512_set1_epi32(28340)),
                                        _mm512_set1_epi32(0xFFFFF));
    __m512i x = _mm512_srli_epi32(_mm512_mullo_epi32(fraction, _mm512_set1_epi32(37)), 20);

    // x moves to the front of the list; the entries before its old place move back one, and
    // when it was not in the list the last entry drops off.
    __mmask16 before[kListLength];
    before[0] = 0;
    for (int r = 1; r < kListLength; ++r) {
      before[r] =
          before[r - 1] | _mm512_testn_epi32_mask(_mm512_xor_si512(entry[r - 1], x), valueBits);
    }
    __m512i leaving = _mm512_and_si512(entry[kPickSize - 1], valueBits);
    eighth = _mm512_mask_mov_epi32(entry[kPickSize - 1], before[kPickSize], eighth);
    for (int r = kPickSize - 1; r > 0; --r) {
      entry[r] = _mm512_mask_mov_epi32(entry[r - 1], before[r], entry[r]);
    }
    entry[0] = _mm512_or_si512(stepHigh, x);

    // The pick is the first seven of the list: unchanged when x was among them, else x takes
    // the place of the seventh.
    __mmask16 stays = before[kPickSize];
    __m512i swappedLow = _mm512_ternarylogic_epi32(_mm512_sllv_epi32(one, leaving), pickLow,
                                                   _mm512_sllv_epi32(one, x), 0xAE);
    __m512i swappedHigh = _mm512_ternarylogic_epi32(
        _mm512_sllv_epi32(one, _mm512_sub_epi32(leaving, high32)), pickHigh,
        _mm512_sllv_epi32(one, _mm512_sub_epi32(x, high32)), 0xAE);
    pickLow = _mm512_mask_mov_epi32(swappedLow, stays, pickLow);
    pickHigh = _mm512_mask_mov_epi32(swappedHigh, stays, pickHigh);

    if (i >= kCandidateCount - 1) {
      __m512i now = _mm512_or_si512(stepHigh, valueBits);
      __m512i seventhAge = _mm512_sub_epi32(now, entry[kPickSize - 1]);  // in entry units
      __mmask16 isShort = _mm512_cmpgt_epi32_mask(seventhAge, outside);
      __mmask16 fewDistinct = _mm512_cmpgt_epi32_mask(_mm512_sub_epi32(now, eighth), outside);
      __mmask16 late =
          _mm512_mask_cmpge_epi32_mask(static_cast<__mmask16>(~isShort), seventhAge, latest);

      __m512i rank = RankOfPicks(pickLow, pickHigh, vectorRanks);
      // A short window's line holds 00s and is not a pick: it is counted past the last rank.
      rank = _mm512_mask_mov_epi32(rank, isShort, _mm512_set1_epi32(kPossiblePicks));
      // As PickCounter::Word: the slice up in the top half, the place in it below.
      __m512i word = _mm512_ternarylogic_epi32(
          _mm512_slli_epi32(_mm512_srli_epi32(rank, PickCounter::kSliceBits), 16), rank,
          _mm512_set1_epi32(PickCounter::kPlace), 0xF8);
      __mmask16 again = _mm512_mask_cmpeq_epi32_mask(
          holding & _mm512_testn_epi32_mask(heldTwice, heldTwice), word, held);
      __mmask16 give = holding & static_cast<__mmask16>(~again);
      _mm512_storeu_si512(words + buffered,
                          _mm512_maskz_compress_epi32(give, _mm512_or_si512(held, heldTwice)));
      buffered += __builtin_popcount(give);
      heldTwice = _mm512_maskz_mov_epi32(again, _mm512_set1_epi32(PickCounter::kTwice));
      held = word;
      holding = static_cast<__mmask16>(~isShort);
      // The words of each step are counted eight steps later, in between the walk's arithmetic:
      // the processor overlaps the counting's waits for memory with the walk, and the words
      // were written long before they are read back.
      {
        size_t upto = marks[steps & 7];
        marks[steps & 7] = buffered;
        tally.picks.AddAll(words + counted, upto - counted);
        counted = upto;
      }
      if (++steps == kBufferSteps) {
        tally.picks.AddAll(words + counted, buffered - counted);
        buffered = counted = 0;
        steps = 0;
        for (size_t& mark : marks) mark = 0;
      }

      // Field 4 * (age - 5), the age at most 20.
      __m512i field = _mm512_sub_epi32(
          _mm512_srli_epi32(_mm512_min_epi32(seventhAge, _mm512_set1_epi32(kCandidateCount << 8)),
                            6),
          _mm512_set1_epi32(20));
      field = _mm512_andnot_si512(_mm512_set1_epi32(3), field);
      fields[0] = _mm512_add_epi64(
          fields[0],
          _mm512_sllv_epi64(one64, _mm512_cvtepu32_epi64(_mm512_castsi512_si256(field))));
      fields[1] = _mm512_add_epi64(
          fields[1],
          _mm512_sllv_epi64(one64, _mm512_cvtepu32_epi64(_mm512_extracti64x4_epi64(field, 1))));
      if (++fieldSteps == 15) {
        fieldSteps = 0;
        EmptyFields(fields, bytes);
        if (++byteRounds == 8) {
          byteRounds = 0;
          EmptyBytes(tally, bytes);
        }
      }

      if (__builtin_expect((fewDistinct | late) != 0, 0)) {
        alignas(64) int32_t ageOut[kVectorLanes], distinctOut[kVectorLanes];
        __m512i distinct = zero;
        for (int r = 0; r < kListLength; ++r) {
          __m512i age = _mm512_sub_epi32(now, r < kPickSize ? entry[r] : eighth);
          distinct =
              _mm512_mask_add_epi32(distinct, _mm512_cmple_epi32_mask(age, outside), distinct, one);
        }
        _mm512_store_si512(ageOut, _mm512_srai_epi32(seventhAge, 8));
        _mm512_store_si512(distinctOut, distinct);
        _mm512_store_si512(lanes, state);
        for (int lane = 0; lane < kVectorLanes; ++lane) {
          uint32_t seed = SeedOfWindow(lanes[lane]);
          if (fewDistinct >> lane & 1) tally.fewest.Note(distinctOut[lane], seed);
          if (late >> lane & 1) tally.latest.Note(ageOut[lane], seed);
        }
        latest = _mm512_set1_epi32(tally.latest.value * 256);
      }
    }
    state = _mm512_mullo_epi32(_mm512_sub_epi32(state, one),
                               _mm512_set1_epi32(static_cast<int>(kInverse)));
    stepHigh = _mm512_add_epi32(stepHigh, _mm512_set1_epi32(1 << 8));
  }
  _mm512_storeu_si512(words + buffered,
                      _mm512_maskz_compress_epi32(holding, _mm512_or_si512(held, heldTwice)));
  tally.picks.AddAll(words + counted, buffered + __builtin_popcount(holding) - counted);
  EmptyFields(fields, bytes);
  EmptyBytes(tally, bytes);
}

#pragma GCC diagnostic pop

bool CanUseVector() {
  return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
         __builtin_cpu_supports("avx512vl") && __builtin_cpu_supports("avx512dq") &&
         __builtin_cpu_supports("avx512cd") && __builtin_cpu_supports("avx512vpopcntdq") &&
         CanUseBitInstructions();
}
#else
constexpr int kVectorLanes = 16;
void WalkVector(Tally&, const uint32_t*, uint64_t) {}
bool CanUseVector() {
  return false;
}
#endif

void RecordDraw(Tally& tally, const WalkedPick& draw) {
  tally.fewest.Note(draw.distinct, draw.seed);
  if (draw.seventhIndex < 0) {
    ++tally.shortPicks;
    return;
  }
  ++tally.seventh[0][draw.seventhIndex];
  tally.latest.Note(draw.seventhIndex, draw.seed);
  tally.picks.Add(PickCounter::Word(PickRank(draw.pick)));
}

// One end of a figure over all workers: its value, how many seeds reach it, the smallest seeds.
struct MergedExtreme {
  int value = 0;
  uint64_t seedCount = 0;
  std::vector<uint32_t> seeds;
};

MergedExtreme MergeExtremes(std::vector<Tally>& tallies, Extreme Tally::*member, uint64_t weight) {
  MergedExtreme merged;
  merged.value = (tallies.front().*member).value;  // what an idle worker holds
  bool found = false;
  for (Tally& tally : tallies) {
    const Extreme& extreme = tally.*member;
    if (extreme.count && (!found || extreme.Beyond(merged.value))) {
      merged.value = extreme.value;
      found = true;
    }
  }
  for (Tally& tally : tallies) {
    Extreme& extreme = tally.*member;
    if (extreme.value != merged.value || extreme.count == 0) continue;
    merged.seedCount += extreme.count * weight;
    for (; !extreme.seeds.empty(); extreme.seeds.pop()) {
      merged.seeds.push_back(extreme.seeds.top());
      if (weight == 2) merged.seeds.push_back(extreme.seeds.top() | 0x80000000u);
    }
  }
  std::sort(merged.seeds.begin(), merged.seeds.end());
  if (merged.seeds.size() > kSeedsKept) merged.seeds.resize(kSeedsKept);
  return merged;
}

// Adds the workers' tallies into `result`, each counted draw standing for `weight` seeds.
void MergeTallies(std::vector<Tally>& tallies, uint64_t weight, CensusResult& result) {
  result.pickCounts.assign(kPossiblePicks, 0);
  for (Tally& tally : tallies) {
    tally.picks.ApplyAll();
    for (uint32_t rank = 0; rank < kPossiblePicks; ++rank) {
      result.pickCounts[rank] += tally.picks.Count(rank);
    }
    for (uint32_t rank : tally.picks.wrapped) result.pickCounts[rank] += 256;
    for (int copy = 0; copy < Tally::kCopies; ++copy) {
      for (int i = 0; i < 20; ++i) result.seventhIndex[i] += tally.seventh[copy][i] * weight;
    }
    result.shortPicks += tally.shortPicks * weight;
  }
  if (weight == 2) {
    for (uint32_t& count : result.pickCounts) count *= 2;
  }
  MergedExtreme latest = MergeExtremes(tallies, &Tally::latest, weight);
  result.latestIndex = latest.value;
  result.latestIndexSeedCount = latest.seedCount;
  result.latestIndexSeeds = latest.seeds;
  MergedExtreme fewest = MergeExtremes(tallies, &Tally::fewest, weight);
  // The walk sees exact counts only below eight; nothing seen there means eight or more.
  result.fewestDistinctAtLeast = result.walkedTheCycle && fewest.value >= kListLength;
  result.fewestDistinct = result.fewestDistinctAtLeast ? kListLength : fewest.value;
  result.fewestDistinctSeedCount = result.fewestDistinctAtLeast ? 0 : fewest.seedCount;
  if (fewest.seedCount == 0 && !result.fewestDistinctAtLeast) result.fewestDistinct = 0;
  result.fewestDistinctSeeds =
      result.fewestDistinctAtLeast ? std::vector<uint32_t>{} : fewest.seeds;
}

}  // namespace

uint32_t PickRank(const int32_t pick[7]) {
  uint32_t rank = 0;
  for (int i = 0; i < 7; ++i) rank += kBinomials.table[pick[i] - 1][i + 1];
  return rank;
}

void PickFromRank(uint32_t rank, int32_t pick[7]) {
  int below = 37;
  for (int i = 6; i >= 0; --i) {
    int c = below - 1;
    while (kBinomials.table[c][i + 1] > rank) --c;
    rank -= kBinomials.table[c][i + 1];
    pick[i] = c + 1;
    below = c;
  }
}

WalkedPick DrawOneSeedForCensus(uint32_t seed) {
  WalkedPick draw = {seed, {}, -1, 0};
  int32_t candidates[kCandidateCount];
  DrawCandidates(seed, candidates);
  uint64_t seen = 0;
  int found = 0;
  for (int index = 0; index < kCandidateCount; ++index) {
    uint64_t bit = 1ull << candidates[index];
    if (seen & bit) continue;
    seen |= bit;
    ++draw.distinct;
    if (++found == kPickSize) draw.seventhIndex = index;
  }
  PickFromCandidates(candidates, draw.pick);
  return draw;
}

bool CensusPathAvailable(CensusPath path) {
  switch (path) {
    case CensusPath::kVector:
      return CanUseVector();
    case CensusPath::kBitInstructions:
      return CanUseBitInstructions();
    default:
      return true;
  }
}

uint32_t SeedOfCyclePosition(uint64_t position, uint32_t origin) {
  return SeedOfWindow(Jump(origin, position));
}

uint32_t CycleOriginOfSeed(uint32_t seed) {
  return WindowOfSeed(seed);
}

std::vector<WalkedPick> WalkCycleForTest(uint32_t lastSeed, uint32_t count) {
  std::vector<WalkedPick> picks;
  WalkInline(WindowOfSeed(lastSeed), count, [&](uint32_t state, const Window& window) {
    WalkedPick draw = {SeedOfWindow(state), {}, -1, window.distinct};
    uint64_t mask = window.seventh < 0 ? window.PickFromPositions() : window.pick;
    int slot = kPickSize - __builtin_popcountll(mask);  // a short pick keeps zeros in front
    for (int value = 0; value < 37; ++value) {
      if (mask >> value & 1) draw.pick[slot++] = value + 1;
    }
    draw.seventhIndex = window.seventh;
    picks.push_back(draw);
  });
  return picks;
}

CensusResult RunCensus(const CensusOptions& options) {
  CensusResult result;
  uint64_t first = options.firstSeed, last = options.lastSeed;
  result.walkedTheCycle = first == 0 && last == 0xFFFFFFFFu;
  uint64_t total = result.walkedTheCycle ? kCycle : last - first + 1;
  if (result.walkedTheCycle && options.cycleDraws) total = std::min(total, options.cycleDraws);
  const uint64_t kChunk = result.walkedTheCycle ? 1u << 22 : 1u << 16;
  uint64_t chunks = (total + kChunk - 1) / kChunk;
  unsigned threads =
      std::max(1u, std::min<unsigned>(options.threads, static_cast<unsigned>(chunks)));

  CensusPath path = options.path;
  if (path == CensusPath::kBest) {
    path = CanUseVector()            ? CensusPath::kVector
           : CanUseBitInstructions() ? CensusPath::kBitInstructions
                                     : CensusPath::kPortable;
  }
  result.path = path;
  std::vector<Tally> tallies(threads);
  std::atomic<uint64_t> nextChunk{0}, done{0};
  auto stopped = [&] { return options.stop && options.stop->load(std::memory_order_relaxed); };
  auto work = [&](Tally& tally) {
    for (;;) {
      uint64_t chunk = nextChunk.fetch_add(1);
      if (chunk >= chunks || stopped()) return;
      uint64_t begin = chunk * kChunk, count = std::min(kChunk, total - begin);
      if (result.walkedTheCycle) {
        // Cycle positions begin..begin+count-1 from state 0, walked from the highest down.
        uint64_t walked = 0;
        if (path == CensusPath::kVector) {
          // Sixteen stretches side by side; what does not divide evenly goes the scalar way.
          uint64_t stretch = count / kVectorLanes;
          uint32_t firstStates[kVectorLanes];
          for (int lane = 0; lane < kVectorLanes; ++lane) {
            firstStates[lane] = Jump(options.cycleOrigin, begin + stretch * (lane + 1) - 1);
          }
          if (stretch) WalkVector(tally, firstStates, stretch);
          walked = stretch * kVectorLanes;
        }
        if (walked < count) {
          uint32_t firstState = Jump(options.cycleOrigin, begin + count - 1);
          if (path == CensusPath::kPortable) {
            WalkPortable(tally, firstState, count - walked);
          } else {
            WalkWithBitInstructions(tally, firstState, count - walked);
          }
        }
      } else {
        for (uint64_t seed = first + begin; seed < first + begin + count; ++seed) {
          RecordDraw(tally, DrawOneSeedForCensus(static_cast<uint32_t>(seed)));
        }
      }
      done.fetch_add(count);
    }
  };
  std::vector<std::thread> workers;
  for (unsigned t = 1; t < threads; ++t) workers.emplace_back(work, std::ref(tallies[t]));
  std::thread own(work, std::ref(tallies[0]));
  while (options.progress && done.load() < total && !stopped()) {
    options.progress(static_cast<double>(done.load()) / static_cast<double>(total));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  own.join();
  for (std::thread& worker : workers) worker.join();
  if (options.progress && !stopped()) options.progress(1.0);
  result.interrupted = stopped() || done.load() < total;

  // A walked window stands for two seeds: the one found and its twin with bit 31 set.
  MergeTallies(tallies, result.walkedTheCycle ? 2 : 1, result);
  result.seedsCovered = done.load() * (result.walkedTheCycle ? 2 : 1);
  return result;
}

PickSummary SummarisePicks(const CensusResult& result) {
  PickSummary summary;
  if (result.pickCounts.size() != kPossiblePicks) return summary;
  // Colexicographic order is rank order, so one walk through the picks visits each rank in turn.
  int32_t pick[7] = {1, 2, 3, 4, 5, 6, 7};
  summary.leastFrequentCount = UINT64_MAX;
  for (uint32_t rank = 0; rank < kPossiblePicks; ++rank) {
    uint64_t count = result.pickCounts[rank];
    if (count) {
      ++summary.picksShown;
      for (int i = 0; i < 7; ++i) summary.numberCounts[pick[i]] += count;
      if (count > summary.mostFrequentCount) {
        summary.mostFrequentCount = count;
        summary.mostFrequentRank = rank;
      }
      if (count < summary.leastFrequentCount) {
        summary.leastFrequentCount = count;
        summary.leastFrequentRank = rank;
      }
    }
    int i = 0;  // the next pick in colexicographic order
    while (i < 6 && pick[i] + 1 == pick[i + 1]) ++i;
    ++pick[i];
    for (int j = 0; j < i; ++j) pick[j] = j + 1;
  }
  if (summary.picksShown == 0) summary.leastFrequentCount = 0;
  return summary;
}

VerifyResult VerifyCensus(const CensusOptions& options) {
  VerifyResult verdict;
  uint64_t total = options.cycleDraws ? std::min(options.cycleDraws, kCycle) : kCycle;
  const uint64_t kChunk = 1 << 20;
  uint64_t chunks = (total + kChunk - 1) / kChunk;
  unsigned threads =
      std::max(1u, std::min<unsigned>(options.threads, static_cast<unsigned>(chunks)));
  std::vector<Tally> tallies(threads);
  std::vector<std::vector<uint32_t>> disagreeing(threads);
  std::vector<uint64_t> mismatches(threads);
  std::atomic<uint64_t> nextChunk{0}, done{0};
  auto stopped = [&] { return options.stop && options.stop->load(std::memory_order_relaxed); };
  // Each seed: the walk's pick against the plain draw's, and the plain draw counted as the census
  // counts, to be held against the census of the fastest build at the end.
  auto work = [&](unsigned t) {
    for (uint64_t chunk; (chunk = nextChunk.fetch_add(1)) < chunks && !stopped();) {
      uint64_t begin = chunk * kChunk, count = std::min(kChunk, total - begin);
      uint32_t lastSeed = SeedOfCyclePosition(begin + count - 1, options.cycleOrigin);
      for (const WalkedPick& walked : WalkCycleForTest(lastSeed, static_cast<uint32_t>(count))) {
        for (uint32_t seed : {walked.seed, walked.seed | 0x80000000u}) {
          WalkedPick plain = DrawOneSeedForCensus(seed);
          bool same =
              plain.seventhIndex == walked.seventhIndex && plain.distinct == walked.distinct;
          for (int i = 0; i < kPickSize; ++i) same = same && plain.pick[i] == walked.pick[i];
          if (!same && disagreeing[t].size() < 10) disagreeing[t].push_back(seed);
          mismatches[t] += !same;
          RecordDraw(tallies[t], plain);
        }
      }
      done.fetch_add(count);
    }
  };
  std::vector<std::thread> workers;
  for (unsigned t = 0; t < threads; ++t) workers.emplace_back(work, t);
  while (options.progress && done.load() < total && !stopped()) {
    options.progress(0.5 * static_cast<double>(done.load()) / static_cast<double>(total));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  for (std::thread& worker : workers) worker.join();
  verdict.interrupted = stopped() || done.load() < total;
  if (verdict.interrupted) return verdict;
  for (unsigned t = 0; t < threads; ++t) {
    verdict.mismatches += mismatches[t];
    verdict.disagreeingSeeds.insert(verdict.disagreeingSeeds.end(), disagreeing[t].begin(),
                                    disagreeing[t].end());
  }
  verdict.seedsChecked = 2 * total;

  CensusResult plain;
  MergeTallies(tallies, 1, plain);
  CensusOptions fastest = options;
  fastest.firstSeed = 0;
  fastest.lastSeed = 0xFFFFFFFFu;
  fastest.path = CensusPath::kBest;
  fastest.progress = nullptr;
  CensusResult fast = RunCensus(fastest);
  verdict.path = fast.path;
  // The walk tells distinct counts apart only below eight.
  bool sameFewest = plain.fewestDistinct < kListLength
                        ? !fast.fewestDistinctAtLeast &&
                              fast.fewestDistinct == plain.fewestDistinct &&
                              fast.fewestDistinctSeedCount == plain.fewestDistinctSeedCount &&
                              fast.fewestDistinctSeeds == plain.fewestDistinctSeeds
                        : fast.fewestDistinctAtLeast;
  verdict.countsAgree = !fast.interrupted && fast.pickCounts == plain.pickCounts && sameFewest &&
                        std::equal(std::begin(fast.seventhIndex), std::end(fast.seventhIndex),
                                   std::begin(plain.seventhIndex)) &&
                        fast.shortPicks == plain.shortPicks &&
                        fast.latestIndex == plain.latestIndex &&
                        fast.latestIndexSeedCount == plain.latestIndexSeedCount &&
                        fast.latestIndexSeeds == plain.latestIndexSeeds;
  verdict.interrupted = fast.interrupted;
  return verdict;
}
