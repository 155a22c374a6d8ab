// The vector walk: sixteen stretches of the cycle at once, one per 32-bit lane of an AVX-512
// register, each lane the eight-entry list of list_walk.h. Only this file is compiled with
// AVX-512 enabled (see CMakeLists.txt). Apart from its two entry points, everything it defines
// stays in an anonymous namespace, and what it needs from elsewhere it calls out of line, so no
// AVX-512 code can stand in for a function the other builds share.
//
// One lane, step by step. Its slot in each register holds:
//   state        the generator state whose candidate is pushed next; each step goes one back;
//   entry[0..6]  the first seven entries of the list, most recent first, each packed as
//                step << 8 | value, the value being 0..36 (the number shown, minus one);
//   eighth       the eighth entry, packed the same way;
//   pickLow      the pick as a mask of the values 0..31, and pickHigh of 32..36 (bit v - 32);
//   stepHigh     the step of the push under way, shifted up eight bits as in the entries.
//
// Say that after the push of step 100 the lane's list reads (value@step)
//     13@100  2@99  19@97  7@96  30@95  1@92  16@90  24@88
// The window's distinct values in order of first appearance are 13, 2, 19, 7, 30, 1, 16, 24;
// the seventh, 16, first stands at index 100 - 90 = 10, and the pick is 2,3,8,14,17,20,31.
// The eighth is inside the window as well, so the window has eight distinct values or more.
//
// Step 101 pushes the candidate x, bits 16..30 of the state modulo 37 (see Candidates).
//  - x = 19 is third in the list: it moves to the front with step 101, the two before it move
//    back one place, the rest stay. 19 was among the first seven, so the pick stays.
//  - x = 4 is not in the list: every entry moves back one, 24 drops off and 16 becomes the
//    eighth. The pick loses 16, the old seventh, and gains 4.
// Neither needs a branch: seven compares of x against the entries' value bytes give the masks
// "x stands before place r", and each entry takes its predecessor where its mask is clear.
//
// Ages are differences of packed entries. With now = stepHigh | 255, now - entry is
// (age in steps) * 256 + (255 - value): the low byte never borrows, so "older than 19 steps"
// is "difference above 19 * 256 + 255", and the difference shifted down eight is the age.
// For 16@90 at step 101: 101 * 256 + 255 - (90 * 256 + 16) = 3055 = 11 * 256 + 239, index 11.
//
// The seventh entry's age is the window's seventh index; above 19 the window is short (fewer
// than seven distinct values, never seen in the die's cycle). An eighth entry older than 19
// means fewer than eight distinct values, rare enough to be noted lane by lane. Each step the
// pick's rank goes to the pick counter's queue, the seventh index to a histogram kept in
// four-bit fields, and now and then the rare lanes to the tally.
#include <immintrin.h>

#include "cycle.h"
#include "vector_walk.h"

#if defined(__AVX512F__) && defined(__AVX512BW__) && defined(__AVX512VPOPCNTDQ__)

namespace {

// An entry: the step above, the value in the low byte.
constexpr int kValueBits = 8;
constexpr int32_t kValueMask = (1 << kValueBits) - 1;
static_assert(kStandInValue + kListLength - 1 <= kValueMask, "values and stand-ins fit a byte");
static_assert((kMaxVectorWalk + 2 * kCandidateCount) << kValueBits <= 1u << 31,
              "every age a lane compares is a positive 32-bit number");
constexpr int32_t PackEntry(int64_t step, int32_t value) {
  return static_cast<int32_t>(static_cast<uint32_t>(step) << kValueBits) | value;
}
// Ages in entry units above this lie outside the window of twenty.
constexpr int32_t kOutside = (kCandidateCount - 1) << kValueBits | kValueMask;

// The pick's two words: values below 32 in pickLow, the rest in pickHigh.
constexpr int kHighFirst = 32;
static_assert(kStandInValue + kPickSize - 1 - kHighFirst < 32, "the stand-ins fit pickHigh");

// The immediate of _mm512_ternarylogic_epi32 is the truth table of a function of three bit
// masks: the function applied to these three bytes.
constexpr int kTernaryA = 0xF0, kTernaryB = 0xCC, kTernaryC = 0xAA;
constexpr int kSwapIn = (kTernaryB & ~kTernaryA) | kTernaryC;  // b without a, with c
constexpr int kInsert = kTernaryA | (kTernaryB & kTernaryC);   // a, with b's bits under c
static_assert(kSwapIn == 0xAE && kInsert == 0xF8, "the truth tables the walk uses");

// x mod 37 without a division, exact for every x below 2^15 (checked below). Multiplying by
// k = 28340, 2^20 / 37 rounded up, keeps x's fraction of 37 in the low 20 bits; that times 37,
// shifted down 20, is the remainder. As 37k = 2^20 + 4, writing x = 37q + r, the low 20 bits of
// x * k are 4q + rk, and 37 times them is r * 2^20 + 4r + 148q, where 4r + 148q < 2^20. For
// x = 346 (seed 0's first value), q = 9, r = 13: 36 + 368420 = 368456, * 37 = 13632872 = 13 * 2^20
// + 1384: candidate 13, the number 14.
constexpr int kFractionBits = 20;
constexpr uint32_t kFractionMask = (1u << kFractionBits) - 1;
constexpr uint32_t kModMultiplier = (1u << kFractionBits) / kHighestNumber + 1;
constexpr bool ModByMultiplyIsExact() {
  for (uint32_t x = 0; x <= kGeneratorOutputMask; ++x) {
    uint32_t remainder = (x * kModMultiplier & kFractionMask) * kHighestNumber >> kFractionBits;
    if (remainder != x % kHighestNumber) return false;
  }
  return true;
}
static_assert(ModByMultiplyIsExact(), "the multiply gives every generator value's remainder");

// The seventh-index histogram: a four-bit field per index in each 64-bit word, field k for
// index k + 5 and field 15 for short windows (field 0 stays empty: no seventh value stands
// before index 6). A field takes at most one count per step, so fields are emptied into bytes
// every 15 steps; a byte takes two fields' worth per emptying, so the bytes are emptied into
// the tally every eight.
constexpr int kFieldBits = 4, kFieldSteps = (1 << kFieldBits) - 1, kByteRounds = 8;
constexpr int kFirstFieldIndex = 5, kShortField = 15;
static_assert(kShortField == kCandidateCount - kFirstFieldIndex, "short windows count as index 20");
static_assert(kShortField * kFieldBits < 64, "the fields fit a 64-bit word");
static_assert(kByteRounds * 2 * kFieldSteps <= 255, "a byte never overflows");

// Words of the pick counter go in after this many steps, between the walk's arithmetic.
constexpr unsigned kQueueDelay = 8;
constexpr unsigned kBufferSteps = 256;  // steps between two returns to the buffer's start
static_assert(kQueueDelay < kBufferSteps, "a step's words are queued before the buffer restarts");

struct Lanes {
  __m512i entry[kPickSize];
  __m512i eighth;
  __m512i pickLow, pickHigh;
  __m512i state;
  __m512i stepHigh;
};

struct Ages {
  __m512i now;      // the step, shifted up, with 255 below
  __m512i seventh;  // the seventh entry's age, in entry units
  __mmask16 isShort, fewDistinct;
};

// Each lane's rank, held back a step: two draws in a row with one pick make one entry.
struct HeldRanks {
  __m512i held, twice;  // the held word, and the counter's doubled bit when it stands for two
  __mmask16 holding;    // lanes whose held word is a pick's; none at first
};

// Where the words waiting for the pick counter stand in their buffer, and how far each of the
// last steps had filled it. Kept apart from the buffer itself, which the counter reads, so that
// these stay in registers.
constexpr size_t kBufferWords = (kBufferSteps + 1) * kVectorLanes;
struct WordQueue {
  size_t buffered, counted, marks[kQueueDelay];
  unsigned steps;  // unsigned, so that steps % kQueueDelay is a mask
};

struct SeventhHistogram {
  __m512i fields[2], bytes[2];  // lanes 0..7 and 8..15 as 64-bit words
  int fieldSteps, byteRounds;
};

// The candidates, 0..36, of the lanes' states.
inline __attribute__((always_inline)) __m512i Candidates(__m512i state) {
  __m512i bits = _mm512_and_si512(_mm512_srli_epi32(state, kGeneratorOutputShift),
                                  _mm512_set1_epi32(kGeneratorOutputMask));
  __m512i fraction = _mm512_and_si512(_mm512_mullo_epi32(bits, _mm512_set1_epi32(kModMultiplier)),
                                      _mm512_set1_epi32(kFractionMask));
  return _mm512_srli_epi32(_mm512_mullo_epi32(fraction, _mm512_set1_epi32(kHighestNumber)),
                           kFractionBits);
}

// Moves x to the front of each lane's list; returns the lanes where x was among the first seven,
// and the seventh value before the push in `leaving`.
inline __attribute__((always_inline)) __mmask16 PushIntoList(Lanes& lanes, __m512i x,
                                                             __m512i& leaving) {
  const __m512i valueMask = _mm512_set1_epi32(kValueMask);
  __mmask16 before[kListLength];  // before[r]: x stands at a place below r
  before[0] = 0;
  for (int r = 1; r < kListLength; ++r) {
    before[r] =
        before[r - 1] | _mm512_testn_epi32_mask(_mm512_xor_si512(lanes.entry[r - 1], x), valueMask);
  }
  leaving = _mm512_and_si512(lanes.entry[kPickSize - 1], valueMask);
  lanes.eighth = _mm512_mask_mov_epi32(lanes.entry[kPickSize - 1], before[kPickSize], lanes.eighth);
  for (int r = kPickSize - 1; r > 0; --r) {
    lanes.entry[r] = _mm512_mask_mov_epi32(lanes.entry[r - 1], before[r], lanes.entry[r]);
  }
  lanes.entry[0] = _mm512_or_si512(lanes.stepHigh, x);
  return before[kPickSize];
}

// Where x was not among the seven, it takes the place of the one leaving. Shifts of 32 or more
// give zero, and so do the negative ones of a value below 32 in the high word, so each value
// lands in exactly one word.
inline __attribute__((always_inline)) void ChangePick(Lanes& lanes, __m512i x, __m512i leaving,
                                                      __mmask16 stays) {
  const __m512i one = _mm512_set1_epi32(1), high = _mm512_set1_epi32(kHighFirst);
  __m512i swappedLow = _mm512_ternarylogic_epi32(_mm512_sllv_epi32(one, leaving), lanes.pickLow,
                                                 _mm512_sllv_epi32(one, x), kSwapIn);
  __m512i swappedHigh = _mm512_ternarylogic_epi32(
      _mm512_sllv_epi32(one, _mm512_sub_epi32(leaving, high)), lanes.pickHigh,
      _mm512_sllv_epi32(one, _mm512_sub_epi32(x, high)), kSwapIn);
  lanes.pickLow = _mm512_mask_mov_epi32(swappedLow, stays, lanes.pickLow);
  lanes.pickHigh = _mm512_mask_mov_epi32(swappedHigh, stays, lanes.pickHigh);
}

// One push: each lane's next candidate joins its list and its pick.
inline __attribute__((always_inline)) void PushCandidates(Lanes& lanes) {
  __m512i x = Candidates(lanes.state), leaving;
  __mmask16 stays = PushIntoList(lanes, x, leaving);
  ChangePick(lanes, x, leaving, stays);
}

// On to the next step: the state one back, the step one on.
inline __attribute__((always_inline)) void Advance(Lanes& lanes) {
  lanes.state = _mm512_mullo_epi32(
      _mm512_sub_epi32(lanes.state, _mm512_set1_epi32(static_cast<int32_t>(kGeneratorIncrement))),
      _mm512_set1_epi32(static_cast<int32_t>(kInverseMultiplier)));
  lanes.stepHigh = _mm512_add_epi32(lanes.stepHigh, _mm512_set1_epi32(1 << kValueBits));
}

// The list of stand-ins, then the warm-up: the nineteen pushes before the first whole window.
inline __attribute__((always_inline)) Lanes StartLanes(const uint32_t* firstStates) {
  Lanes lanes;
  for (int r = 0; r < kPickSize; ++r) {
    lanes.entry[r] = _mm512_set1_epi32(PackEntry(kStandInStep, kStandInValue + r));
  }
  lanes.eighth = _mm512_set1_epi32(PackEntry(kStandInStep, kStandInValue + kPickSize));
  lanes.pickLow = _mm512_setzero_si512();
  lanes.pickHigh = _mm512_set1_epi32(((1 << kPickSize) - 1) << (kStandInValue - kHighFirst));
  alignas(64) uint32_t states[kVectorLanes];
  for (int lane = 0; lane < kVectorLanes; ++lane) states[lane] = WarmUpState(firstStates[lane]);
  lanes.state = _mm512_load_si512(states);
  lanes.stepHigh = _mm512_setzero_si512();
  for (int warm = 0; warm < kCandidateCount - 1; ++warm) {
    PushCandidates(lanes);
    Advance(lanes);
  }
  return lanes;
}

inline __attribute__((always_inline)) Ages AgesOf(const Lanes& lanes) {
  const __m512i outside = _mm512_set1_epi32(kOutside);
  Ages ages;
  ages.now = _mm512_or_si512(lanes.stepHigh, _mm512_set1_epi32(kValueMask));
  ages.seventh = _mm512_sub_epi32(ages.now, lanes.entry[kPickSize - 1]);
  ages.isShort = _mm512_cmpgt_epi32_mask(ages.seventh, outside);
  ages.fewDistinct = _mm512_cmpgt_epi32_mask(_mm512_sub_epi32(ages.now, lanes.eighth), outside);
  return ages;
}

// Entries inside the window, out of the eight: exact below eight.
inline __attribute__((always_inline)) __m512i DistinctInWindow(const Lanes& lanes, __m512i now) {
  const __m512i outside = _mm512_set1_epi32(kOutside);
  __m512i distinct = _mm512_setzero_si512();
  for (int r = 0; r < kListLength; ++r) {
    __m512i age = _mm512_sub_epi32(now, r < kPickSize ? lanes.entry[r] : lanes.eighth);
    distinct = _mm512_mask_add_epi32(distinct, _mm512_cmple_epi32_mask(age, outside), distinct,
                                     _mm512_set1_epi32(1));
  }
  return distinct;
}

// The ranks of sixteen picks from the 32-entry tables of VectorRankTables, held in registers:
// the high word's entry, plus for k = 0..6 the low word's k-th lowest bit's entry. A bit's place
// is the count of zeros below it, the population of ~rest & (rest - 1); once the bits run out
// that is 32, whose index bits (five) read entry 0, C(0, k + 1) = 0. A short window has no
// rank: it gets kPossiblePicks, which no pick has.
inline __attribute__((always_inline)) __m512i RankOfPicks(const Lanes& lanes, __mmask16 isShort,
                                                          const VectorRankTables& tables) {
  __m512i rank = _mm512_permutex2var_epi32(_mm512_load_si512(tables.high), lanes.pickHigh,
                                           _mm512_load_si512(tables.high + 16));
  __m512i rest = lanes.pickLow;
  for (int k = 0; k < kPickSize; ++k) {
    __m512i less = _mm512_sub_epi32(rest, _mm512_set1_epi32(1));
    __m512i place = _mm512_popcnt_epi32(_mm512_andnot_si512(rest, less));
    rank = _mm512_add_epi32(rank, _mm512_permutex2var_epi32(_mm512_load_si512(tables.low[k]), place,
                                                            _mm512_load_si512(tables.low[k] + 16)));
    rest = _mm512_and_si512(rest, less);
  }
  return _mm512_mask_mov_epi32(rank, isShort, _mm512_set1_epi32(kPossiblePicks));
}

// Each lane's word as PickCounter::Word makes it, slice up in the top half, place below. A lane
// whose word repeats the single one it holds marks the held word as standing for two draws and
// gives nothing this step; the others give their held words, packed together at the end of the
// buffer. A lane holds nothing before its first step or after a short window, so only a pick's
// word ever reaches the counter.
inline __attribute__((always_inline)) void HoldRanks(HeldRanks& held, uint32_t* words,
                                                     WordQueue& queue, __m512i rank,
                                                     __mmask16 isShort) {
  __m512i word = _mm512_ternarylogic_epi32(
      _mm512_slli_epi32(_mm512_srli_epi32(rank, PickCounter::kSliceBits), 16), rank,
      _mm512_set1_epi32(PickCounter::kPlace), kInsert);
  __mmask16 single = held.holding & _mm512_testn_epi32_mask(held.twice, held.twice);
  __mmask16 again = _mm512_mask_cmpeq_epi32_mask(single, word, held.held);
  __mmask16 give = held.holding & static_cast<__mmask16>(~again);
  _mm512_storeu_si512(words + queue.buffered,
                      _mm512_maskz_compress_epi32(give, _mm512_or_si512(held.held, held.twice)));
  queue.buffered += __builtin_popcount(give);
  held.twice = _mm512_maskz_mov_epi32(again, _mm512_set1_epi32(PickCounter::kTwice));
  held.held = word;
  held.holding = static_cast<__mmask16>(~isShort);
}

// The words of each step go to the counter kQueueDelay steps later, in between the walk's
// arithmetic: the processor overlaps the counter's waits for memory with the walk, and the words
// were written long before they are read back.
inline __attribute__((always_inline)) void QueueAfterDelay(const uint32_t* words, WordQueue& queue,
                                                           PickCounter& counter) {
  size_t upto = queue.marks[queue.steps % kQueueDelay];
  queue.marks[queue.steps % kQueueDelay] = queue.buffered;
  counter.AddAll(words + queue.counted, upto - queue.counted);
  queue.counted = upto;
  if (++queue.steps == kBufferSteps) {
    counter.AddAll(words + queue.counted, queue.buffered - queue.counted);
    queue.buffered = queue.counted = 0;
    queue.steps = 0;
    for (size_t& mark : queue.marks) mark = 0;
  }
}

// At the end: what the lanes still hold, and what still waits in the buffer.
inline __attribute__((always_inline)) void FlushHeld(HeldRanks& held, uint32_t* words,
                                                     WordQueue& queue, PickCounter& counter) {
  _mm512_storeu_si512(
      words + queue.buffered,
      _mm512_maskz_compress_epi32(held.holding, _mm512_or_si512(held.held, held.twice)));
  queue.buffered += __builtin_popcount(held.holding);
  counter.AddAll(words + queue.counted, queue.buffered - queue.counted);
}

// Fields into bytes: byte b of each word takes field 2b in the even bytes and 2b + 1 in the odd.
inline __attribute__((always_inline)) void EmptyFields(SeventhHistogram& histogram) {
  const __m512i nibbles = _mm512_set1_epi8(0x0F);
  __m512i* fields = histogram.fields;
  histogram.bytes[0] = _mm512_add_epi8(
      histogram.bytes[0],
      _mm512_add_epi8(_mm512_and_si512(fields[0], nibbles), _mm512_and_si512(fields[1], nibbles)));
  histogram.bytes[1] = _mm512_add_epi8(
      histogram.bytes[1],
      _mm512_add_epi8(_mm512_and_si512(_mm512_srli_epi64(fields[0], kFieldBits), nibbles),
                      _mm512_and_si512(_mm512_srli_epi64(fields[1], kFieldBits), nibbles)));
  fields[0] = fields[1] = _mm512_setzero_si512();
}

// Bytes into the tally. It takes the bytes by value, so the histogram never leaves the registers.
void EmptyBytes(__m512i evenBytes, __m512i oddBytes, Tally& tally) {
  alignas(64) uint8_t even[64], odd[64];
  _mm512_store_si512(even, evenBytes);
  _mm512_store_si512(odd, oddBytes);
  uint64_t fields[kShortField + 1] = {};
  for (int word = 0; word < 8; ++word) {
    for (int b = 0; b < 8; ++b) {
      fields[2 * b] += even[word * 8 + b];
      fields[2 * b + 1] += odd[word * 8 + b];
    }
  }
  for (int k = 1; k < kShortField; ++k) tally.seventh[0][k + kFirstFieldIndex] += fields[k];
  tally.shortPicks += fields[kShortField];
}

inline __attribute__((always_inline)) void EmptyHistogram(SeventhHistogram& histogram,
                                                          Tally& tally) {
  EmptyBytes(histogram.bytes[0], histogram.bytes[1], tally);
  histogram.bytes[0] = histogram.bytes[1] = _mm512_setzero_si512();
}

// The field of a seventh age: age * 4 plus the low byte's top two bits, from the age in entry
// units shifted down six; less 4 * 5 and the two bits cleared, that is four times the field
// number, the field's place in its word. Short windows' ages are first cut to 20 steps. Age
// 3055 (index 11): 3055 >> 6 = 47, less 20 is 27, cleared 24 = 4 * 6, field 6.
inline __attribute__((always_inline)) void CountSeventh(SeventhHistogram& histogram,
                                                        __m512i seventhAge, Tally& tally) {
  const int kAgeShift = kValueBits - 2;
  __m512i cut = _mm512_min_epi32(seventhAge, _mm512_set1_epi32(kCandidateCount << kValueBits));
  __m512i place = _mm512_sub_epi32(_mm512_srli_epi32(cut, kAgeShift),
                                   _mm512_set1_epi32(kFirstFieldIndex * kFieldBits));
  place = _mm512_andnot_si512(_mm512_set1_epi32(kFieldBits - 1), place);
  const __m512i one = _mm512_set1_epi64(1);
  histogram.fields[0] = _mm512_add_epi64(
      histogram.fields[0],
      _mm512_sllv_epi64(one, _mm512_cvtepu32_epi64(_mm512_castsi512_si256(place))));
  histogram.fields[1] = _mm512_add_epi64(
      histogram.fields[1],
      _mm512_sllv_epi64(one, _mm512_cvtepu32_epi64(_mm512_extracti64x4_epi64(place, 1))));
  if (++histogram.fieldSteps == kFieldSteps) {
    histogram.fieldSteps = 0;
    EmptyFields(histogram);
    if (++histogram.byteRounds == kByteRounds) {
      histogram.byteRounds = 0;
      EmptyHistogram(histogram, tally);
    }
  }
}

// Lanes with fewer than eight distinct values, or a seventh index at or past the latest so far.
inline __attribute__((always_inline)) void NoteRareLanes(Tally& tally, const Lanes& lanes,
                                                         const Ages& ages, __mmask16 few,
                                                         __mmask16 late) {
  alignas(64) int32_t age[kVectorLanes], distinct[kVectorLanes];
  alignas(64) uint32_t states[kVectorLanes];
  _mm512_store_si512(age, _mm512_srai_epi32(ages.seventh, kValueBits));
  _mm512_store_si512(distinct, DistinctInWindow(lanes, ages.now));
  _mm512_store_si512(states, lanes.state);
  for (int lane = 0; lane < kVectorLanes; ++lane) {
    if (few >> lane & 1) NoteFewDistinct(tally, states[lane], distinct[lane]);
    if (late >> lane & 1) NoteLateSeventh(tally, states[lane], age[lane]);
  }
}

inline __m512i LatestInEntryUnits(const Tally& tally) {
  return _mm512_set1_epi32(tally.latest.value * (1 << kValueBits));
}

}  // namespace

void WalkVector(Tally& tally, const uint32_t firstStates[kVectorLanes], uint64_t count) {
  const VectorRankTables& ranks = VectorRanks();
  Lanes lanes = StartLanes(firstStates);
  HeldRanks held = {_mm512_setzero_si512(), _mm512_setzero_si512(), 0};
  alignas(64) uint32_t words[kBufferWords];
  WordQueue queue = {0, 0, {}, 0};
  SeventhHistogram histogram = {{_mm512_setzero_si512(), _mm512_setzero_si512()},
                                {_mm512_setzero_si512(), _mm512_setzero_si512()},
                                0,
                                0};
  __m512i latest = LatestInEntryUnits(tally);
  for (uint64_t i = 0; i < count; ++i) {
    PushCandidates(lanes);
    Ages ages = AgesOf(lanes);
    HoldRanks(held, words, queue, RankOfPicks(lanes, ages.isShort, ranks), ages.isShort);
    QueueAfterDelay(words, queue, tally.picks);
    CountSeventh(histogram, ages.seventh, tally);
    __mmask16 late =
        _mm512_mask_cmpge_epi32_mask(static_cast<__mmask16>(~ages.isShort), ages.seventh, latest);
    if (__builtin_expect((ages.fewDistinct | late) != 0, 0)) {
      NoteRareLanes(tally, lanes, ages, ages.fewDistinct, late);
      latest = LatestInEntryUnits(tally);
    }
    Advance(lanes);
  }
  FlushHeld(held, words, queue, tally.picks);
  EmptyFields(histogram);
  EmptyHistogram(histogram, tally);
}

void VectorWalkForTest(const uint32_t* firstStates, uint64_t count, ListFigures* figures) {
  const VectorRankTables& ranks = VectorRanks();
  Lanes lanes = StartLanes(firstStates);
  alignas(64) uint32_t low[kVectorLanes], high[kVectorLanes], rank[kVectorLanes];
  alignas(64) int32_t age[kVectorLanes], distinct[kVectorLanes];
  for (uint64_t i = 0; i < count; ++i) {
    PushCandidates(lanes);
    Ages ages = AgesOf(lanes);
    _mm512_store_si512(low, lanes.pickLow);
    _mm512_store_si512(high, lanes.pickHigh);
    _mm512_store_si512(rank, RankOfPicks(lanes, ages.isShort, ranks));
    _mm512_store_si512(age, _mm512_srai_epi32(ages.seventh, kValueBits));
    _mm512_store_si512(distinct, DistinctInWindow(lanes, ages.now));
    for (int lane = 0; lane < kVectorLanes; ++lane) {
      ListFigures& out = figures[i * kVectorLanes + lane];
      out.pick = low[lane] | static_cast<uint64_t>(high[lane]) << kHighFirst;
      out.rank = rank[lane];
      out.seventhIndex = ages.isShort >> lane & 1 ? -1 : age[lane];
      out.distinct = distinct[lane];
    }
    Advance(lanes);
  }
}

#else

// Built for a processor without AVX-512: CanUseVector() is false there, so these never run.
void WalkVector(Tally&, const uint32_t*, uint64_t) {}
void VectorWalkForTest(const uint32_t*, uint64_t, ListFigures*) {}

#endif
