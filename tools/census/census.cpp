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
constexpr size_t kLatestSeedsKept = 64;

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
// cache, so they wait in one queue per slice of 16384 counters (32 KB) and are applied a queue
// at a time, while that slice stays in the cache. No count comes near 2^16 within one worker
// (the largest count over all seeds is 636); should one wrap, a note of it is kept.
struct PickCounter {
  static constexpr int kSliceBits = 14;
  static constexpr uint32_t kSlices = (kPossiblePicks >> kSliceBits) + 1;
  static constexpr uint32_t kQueued = 8192;
  std::vector<uint16_t> counts;
  std::vector<uint16_t> queue;
  std::vector<uint32_t> queued;
  std::vector<uint32_t> wrapped;  // a rank each time its count went from 65535 to 0

  PickCounter() : counts(kSlices << kSliceBits), queue(kSlices * kQueued), queued(kSlices) {}

  inline __attribute__((always_inline)) void Add(uint32_t rank) {
    uint32_t slice = rank >> kSliceBits;
    uint32_t n = queued[slice];
    uint16_t* end = &queue[slice * kQueued + n];
    *end = static_cast<uint16_t>(rank);
    // The queue's next cache line, asked for early: it was last written a whole round ago.
    __builtin_prefetch(end + 32, 1, 3);
    if (++n == kQueued) {
      Apply(slice, n);
      n = 0;
    }
    queued[slice] = n;
  }

  __attribute__((noinline)) void Apply(uint32_t slice, uint32_t n) {
    uint32_t first = slice << kSliceBits;
    uint16_t* base = &counts[first];
    const uint16_t* pending = &queue[slice * kQueued];
    for (uint32_t i = 0; i < n; ++i) {
      if (i + 16 < n) __builtin_prefetch(&base[pending[i + 16] & ((1u << kSliceBits) - 1)], 1, 3);
      uint32_t at = pending[i] & ((1u << kSliceBits) - 1);
      if (__builtin_expect(++base[at] == 0, 0)) wrapped.push_back(first + at);
    }
  }

  void ApplyAll() {
    for (uint32_t slice = 0; slice < kSlices; ++slice) {
      Apply(slice, queued[slice]);
      queued[slice] = 0;
    }
  }
};

// One worker's counts, merged at the end.
struct Tally {
  // Histograms in four copies used in turn: most draws land in the same few bins, and four
  // increments of one memory cell in a row would each wait for the last.
  static constexpr int kCopies = 4;
  uint64_t distinct[kCopies][21] = {};
  uint64_t seventh[kCopies][20] = {};
  unsigned copy = 0;
  uint64_t shortPicks = 0;
  int latest = -1;
  uint64_t latestCount = 0;
  std::priority_queue<uint32_t> latestSeeds;  // the smallest seeds, largest on top
  PickCounter picks;

  __attribute__((noinline)) void NoteLatest(int index, uint32_t seed) {
    if (index < latest) return;
    if (index > latest) {
      latest = index;
      latestCount = 0;
      latestSeeds = {};
    }
    ++latestCount;
    if (latestSeeds.size() < kLatestSeedsKept) {
      latestSeeds.push(seed);
    } else if (seed < latestSeeds.top()) {
      latestSeeds.pop();
      latestSeeds.push(seed);
    }
  }
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
  ++tally.distinct[tally.copy][window.distinct];
  if (window.seventh < 0) {
    ++tally.shortPicks;
    return;
  }
  ++tally.seventh[tally.copy][window.seventh];
  if (window.seventh >= tally.latest) tally.NoteLatest(window.seventh, SeedOfWindow(state));
  tally.picks.Add(ranks.Rank(window.pick));
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

// Sixteen stretches of the cycle walked side by side, one per 32-bit lane of an AVX-512 register,
// with the same window logic as Window::Push: `firsts` per lane, the first appearance of the new
// value found by comparing it with the last nineteen values, the seventh position by clearing six
// low bits, the pick kept as a 37-bit mask in two halves, and the rank from the three tables. A
// lane whose window just reached seven distinct values builds its pick from scratch, as Window
// does. Counting stays per lane, in the tally.
constexpr int kVectorLanes = 16;

VOREL_VECTOR void WalkVector(Tally& tally, const uint32_t firstStates[kVectorLanes],
                             uint64_t count) {
  const RankTables& ranks = Ranks();
  alignas(64) uint32_t recent[32][kVectorLanes];  // values by step modulo 32, per lane
  alignas(64) uint32_t lanes[kVectorLanes];
  for (int slot = 0; slot < 32; ++slot) {
    for (int lane = 0; lane < kVectorLanes; ++lane) recent[slot][lane] = 0xFF;  // matches nothing
  }
  for (int lane = 0; lane < kVectorLanes; ++lane) {
    lanes[lane] = Jump(firstStates[lane], kCandidateCount - 1);
  }
  const __m512i zero = _mm512_setzero_si512(), one = _mm512_set1_epi32(1);
  const __m512i laneIndex = _mm512_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
  __m512i state = _mm512_load_si512(lanes);
  __m512i firsts = zero, seventh = _mm512_set1_epi32(-1), pickLow = zero, pickHigh = zero;
  alignas(64) uint32_t rankOut[kVectorLanes], firstsOut[kVectorLanes], lowOut[kVectorLanes],
      highOut[kVectorLanes];
  alignas(64) int32_t distinctOut[kVectorLanes], seventhOut[kVectorLanes];
  uint64_t step = 64;
  for (uint64_t i = 0; i < count + kCandidateCount - 1; ++i, ++step) {
    // The candidate: bits 16 to 30 of the state, modulo 37 by a multiply that is exact below 2^15.
    __m512i bits = _mm512_and_si512(_mm512_srli_epi32(state, 16), _mm512_set1_epi32(0x7FFF));
    __m512i quotient = _mm512_srli_epi32(_mm512_mullo_epi32(bits, _mm512_set1_epi32(28340)), 20);
    __m512i x = _mm512_sub_epi32(bits, _mm512_mullo_epi32(quotient, _mm512_set1_epi32(37)));

    // x's first position in the old window (31 when absent); only positions 0..18 stay in.
    __m512i position = _mm512_set1_epi32(31);
    for (int j = kCandidateCount - 2; j >= 0; --j) {
      __m512i old = _mm512_load_si512(recent[(step - 1 - j) & 31]);
      position =
          _mm512_mask_mov_epi32(position, _mm512_cmpeq_epi32_mask(old, x), _mm512_set1_epi32(j));
    }
    __m512i stale = _mm512_sllv_epi32(one, _mm512_add_epi32(position, one));  // 0 when absent
    firsts = _mm512_and_si512(
        _mm512_andnot_si512(stale, _mm512_or_si512(_mm512_slli_epi32(firsts, 1), one)),
        _mm512_set1_epi32((1 << kCandidateCount) - 1));
    _mm512_store_si512(recent[step & 31], x);

    __m512i distinct = _mm512_popcnt_epi32(firsts);
    __m512i rest = firsts;
    for (int k = 0; k < kPickSize - 1; ++k)
      rest = _mm512_and_si512(rest, _mm512_sub_epi32(rest, one));
    __m512i lowest = _mm512_and_si512(rest, _mm512_sub_epi32(zero, rest));
    __m512i newSeventh = _mm512_sub_epi32(_mm512_set1_epi32(31), _mm512_lzcnt_epi32(lowest));

    // The old seventh value leaves and x joins, unless x was among the old seven.
    __m512i oldIndex = _mm512_add_epi32(
        _mm512_slli_epi32(
            _mm512_and_si512(
                _mm512_sub_epi32(_mm512_set1_epi32(static_cast<int>(step - 1)), seventh),
                _mm512_set1_epi32(31)),
            4),
        laneIndex);
    __m512i oldValue = _mm512_i32gather_epi32(oldIndex, &recent[0][0], 4);
    __m512i high32 = _mm512_set1_epi32(32);
    __m512i swappedLow = _mm512_or_si512(
        _mm512_andnot_si512(_mm512_sllv_epi32(one, oldValue), pickLow), _mm512_sllv_epi32(one, x));
    __m512i swappedHigh = _mm512_or_si512(
        _mm512_andnot_si512(_mm512_sllv_epi32(one, _mm512_sub_epi32(oldValue, high32)), pickHigh),
        _mm512_sllv_epi32(one, _mm512_sub_epi32(x, high32)));
    __mmask16 stays = _mm512_cmple_epi32_mask(position, seventh);
    pickLow = _mm512_mask_mov_epi32(swappedLow, stays, pickLow);
    pickHigh = _mm512_mask_mov_epi32(swappedHigh, stays, pickHigh);
    __mmask16 hadSeven = _mm512_cmpge_epi32_mask(seventh, zero);
    __mmask16 hasSeven = _mm512_cmpge_epi32_mask(newSeventh, zero);
    seventh = newSeventh;
    if (__mmask16 fresh = hasSeven & static_cast<__mmask16>(~hadSeven)) {
      _mm512_store_si512(firstsOut, firsts);
      _mm512_store_si512(lowOut, pickLow);
      _mm512_store_si512(highOut, pickHigh);
      for (int lane = 0; lane < kVectorLanes; ++lane) {
        if (!(fresh >> lane & 1)) continue;
        uint64_t mask = 0;
        uint32_t left = firstsOut[lane];
        for (int k = 0; k < kPickSize; ++k, left &= left - 1) {
          mask |= 1ull << recent[(step - __builtin_ctz(left)) & 31][lane];
        }
        lowOut[lane] = static_cast<uint32_t>(mask);
        highOut[lane] = static_cast<uint32_t>(mask >> 32);
      }
      pickLow = _mm512_load_si512(lowOut);
      pickHigh = _mm512_load_si512(highOut);
    }

    if (i >= kCandidateCount - 1) {
      __m512i m0 = _mm512_and_si512(pickLow, _mm512_set1_epi32(0x1FFF));
      __m512i m1 = _mm512_and_si512(_mm512_srli_epi32(pickLow, 13), _mm512_set1_epi32(0xFFF));
      __m512i m2 = _mm512_or_si512(_mm512_srli_epi32(pickLow, 25), _mm512_slli_epi32(pickHigh, 7));
      __m512i seven = _mm512_set1_epi32(7);
      __m512i t0 = _mm512_min_epu32(_mm512_popcnt_epi32(m0), seven);
      __m512i t1 = _mm512_min_epu32(_mm512_add_epi32(t0, _mm512_popcnt_epi32(m1)), seven);
      __m512i rank = _mm512_add_epi32(
          _mm512_add_epi32(_mm512_i32gather_epi32(m0, ranks.low.data(), 4),
                           _mm512_i32gather_epi32(_mm512_or_si512(_mm512_slli_epi32(t0, 12), m1),
                                                  ranks.middle.data(), 4)),
          _mm512_i32gather_epi32(_mm512_or_si512(_mm512_slli_epi32(t1, 12), m2), ranks.high.data(),
                                 4));
      _mm512_store_si512(rankOut, rank);
      _mm512_store_si512(distinctOut, distinct);
      _mm512_store_si512(seventhOut, seventh);
      _mm512_store_si512(lanes, state);
      for (int lane = 0; lane < kVectorLanes; ++lane) {
        unsigned copy = lane & (Tally::kCopies - 1);
        ++tally.distinct[copy][distinctOut[lane]];
        int at = seventhOut[lane];
        if (at < 0) {
          ++tally.shortPicks;
          continue;
        }
        ++tally.seventh[copy][at];
        if (at >= tally.latest) tally.NoteLatest(at, SeedOfWindow(lanes[lane]));
        tally.picks.Add(rankOut[lane]);
      }
    }
    state = _mm512_mullo_epi32(_mm512_sub_epi32(state, one),
                               _mm512_set1_epi32(static_cast<int>(kInverse)));
  }
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
  ++tally.distinct[0][draw.distinct];
  if (draw.seventhIndex < 0) {
    ++tally.shortPicks;
    return;
  }
  ++tally.seventh[0][draw.seventhIndex];
  if (draw.seventhIndex >= tally.latest) tally.NoteLatest(draw.seventhIndex, draw.seed);
  tally.picks.Add(PickRank(draw.pick));
}

// Adds the workers' tallies into `result`, each counted draw standing for `weight` seeds.
void MergeTallies(std::vector<Tally>& tallies, uint64_t weight, CensusResult& result) {
  result.pickCounts.assign(kPossiblePicks, 0);
  std::vector<uint32_t> latestSeeds;
  for (Tally& tally : tallies) {
    tally.picks.ApplyAll();
    for (uint32_t rank = 0; rank < kPossiblePicks; ++rank) {
      result.pickCounts[rank] += tally.picks.counts[rank];
    }
    for (uint32_t rank : tally.picks.wrapped) result.pickCounts[rank] += 65536;
    for (int copy = 0; copy < Tally::kCopies; ++copy) {
      for (int i = 0; i < 21; ++i) result.distinctCandidates[i] += tally.distinct[copy][i] * weight;
      for (int i = 0; i < 20; ++i) result.seventhIndex[i] += tally.seventh[copy][i] * weight;
    }
    result.shortPicks += tally.shortPicks * weight;
    if (tally.latest > result.latestIndex) {
      result.latestIndex = tally.latest;
      result.latestIndexSeedCount = 0;
      latestSeeds.clear();
    }
    if (tally.latest == result.latestIndex) {
      result.latestIndexSeedCount += tally.latestCount * weight;
      for (; !tally.latestSeeds.empty(); tally.latestSeeds.pop()) {
        latestSeeds.push_back(tally.latestSeeds.top());
        if (weight == 2) latestSeeds.push_back(tally.latestSeeds.top() | 0x80000000u);
      }
    }
  }
  if (weight == 2) {
    for (uint32_t& count : result.pickCounts) count *= 2;
  }
  std::sort(latestSeeds.begin(), latestSeeds.end());
  if (latestSeeds.size() > kLatestSeedsKept) latestSeeds.resize(kLatestSeedsKept);
  result.latestIndexSeeds = latestSeeds;
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

uint32_t SeedOfCyclePosition(uint64_t position) {
  return SeedOfWindow(Jump(0, position));
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
            firstStates[lane] = Jump(0, begin + stretch * (lane + 1) - 1);
          }
          if (stretch) WalkVector(tally, firstStates, stretch);
          walked = stretch * kVectorLanes;
        }
        if (walked < count) {
          uint32_t firstState = Jump(0, begin + count - 1);
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
      uint32_t lastSeed = SeedOfCyclePosition(begin + count - 1);
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
  verdict.countsAgree =
      !fast.interrupted && fast.pickCounts == plain.pickCounts &&
      std::equal(std::begin(fast.distinctCandidates), std::end(fast.distinctCandidates),
                 std::begin(plain.distinctCandidates)) &&
      std::equal(std::begin(fast.seventhIndex), std::end(fast.seventhIndex),
                 std::begin(plain.seventhIndex)) &&
      fast.shortPicks == plain.shortPicks && fast.latestIndex == plain.latestIndex &&
      fast.latestIndexSeedCount == plain.latestIndexSeedCount &&
      fast.latestIndexSeeds == plain.latestIndexSeeds;
  verdict.interrupted = fast.interrupted;
  return verdict;
}
