// The vector walk's list in every lane: the candidate of the lane's generator state, its push
// onto the lane's last eight distinct values, and the change the push makes to the pick. Each
// lane runs the algorithm of list_walk.h. Included by vector_walk.cpp once per instruction set.
//
// One lane's slot in each vector holds:
//   entry[0..6]  the first seven entries of the list, most recent first, each packed as
//                (step + 8) << 8 | value, the value being 0..36 (the number shown, minus one)
//                and the step moved up by eight, so that every entry, the stand-ins' pushed at
//                steps -8 to -1 too, is a positive number, larger than every older one;
//   eighth       the eighth entry, packed the same way;
//   pickLow      the pick as a mask of the values 0..31, and pickHigh of 32..44 (bit v - 32).
//
// Say that after the push of step 100 the lane's list reads (value@step)
//     13@100  2@99  19@97  7@96  30@95  1@92  16@90  24@88
// The window's distinct values in order of first appearance are 13, 2, 19, 7, 30, 1, 16, 24;
// the seventh, 16, first stands at index 100 - 90 = 10, and the pick is 2,3,8,14,17,20,31.
// The eighth is inside the window as well, so the window has eight distinct values or more.
//
// Step 101 pushes the candidate x, bits 16..30 of the state modulo 37 (see CandidateOf).
//  - x = 19 is third in the list: it moves to the front with step 101, the two before it move
//    back one place, the rest stay. 19 was among the first seven, so the pick stays.
//  - x = 4 is not in the list: every entry moves back one, 24 drops off and 16 becomes the
//    eighth. The pick loses 16, the old seventh, and gains 4: one xor of both bits.
// Neither needs a branch: seven compares of x against the entries' value bytes give the masks
// "x stands before place r", and each entry takes its predecessor where its mask is clear.
//
// Ages are differences of packed entries, in which the eight the steps were moved up by cancel.
// With now = step << 8 | 255, now - entry is (age in steps) * 256 + (255 - value): the low byte
// never borrows, so "older than 19 steps" is "difference above 19 * 256 + 255", and the
// difference shifted down eight is the age. For 16@90 at step 101: 101 * 256 + 255 -
// (90 * 256 + 16) = 3055 = 11 * 256 + 239, index 11.
#if defined(VOREL_LIST_WALK_INL_H_) == defined(HWY_TARGET_TOGGLE)
#ifdef VOREL_LIST_WALK_INL_H_
#undef VOREL_LIST_WALK_INL_H_
#else
#define VOREL_LIST_WALK_INL_H_
#endif

#include "hwy/highway.h"
#include "walk/cycle.h"
#include "walk/list_walk.h"
#include "walk/vector_walk.h"

HWY_BEFORE_NAMESPACE();
namespace vorel {
namespace HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

// An entry: the step above, the value in the low byte.
constexpr int kValueBits = 8;
constexpr uint32_t kValueMask = (1u << kValueBits) - 1;
static_assert(kStandInValue + kListLength - 1 <= kValueMask, "values and stand-ins fit a byte");
static_assert((kMaxVectorWalk + 2 * kCandidateCount) << kValueBits <= 1u << 31,
              "every entry, and every age a lane compares, is a positive 32-bit number");
constexpr int64_t kStepsMovedUp = kListLength;  // the oldest stand-in's step becomes 0
static_assert(kStandInStep - (kListLength - 1) + kStepsMovedUp >= 0, "every entry is positive");
constexpr uint32_t PackEntry(int64_t step, uint32_t value) {
  return static_cast<uint32_t>(step + kStepsMovedUp) << kValueBits | value;
}
// An age, as it stands in a difference of entries.
constexpr uint32_t AgeUnits(int age) {
  return static_cast<uint32_t>(age) << kValueBits;
}
// Ages in entry units above this lie outside the window of twenty.
constexpr uint32_t kOutside = (kCandidateCount - 1) << kValueBits | kValueMask;

// The pick's two words: values below 32 in pickLow, the rest in pickHigh.
constexpr uint32_t kHighFirst = 32;
static_assert(kStandInValue + kListLength - 1 - kHighFirst < 32, "the stand-ins fit pickHigh");

// a > b for numbers that are small or differences that wrapped around, read as signed: every
// target compares signed numbers in one instruction, and some have no unsigned compare.
template <class D, class V = hn::Vec<D>>
HWY_INLINE hn::Mask<D> GreaterSigned(D d, V a, V b) {
  const hn::RebindToSigned<D> di;
  return hn::RebindMask(d, hn::Gt(hn::BitCast(di, a), hn::BitCast(di, b)));
}

// x mod 37 without a division, exact for every x below 2^15 (checked in vector_walk.cpp).
// Multiplying by k = 28340, 2^20 / 37 rounded up, keeps x's fraction of 37 in the low 20 bits;
// that times 37, shifted down 20, is the remainder. As 37k = 2^20 + 4, writing x = 37q + r, the
// low 20 bits of x * k are 4q + rk, and 37 times them is r * 2^20 + 4r + 148q, where
// 4r + 148q < 2^20. For x = 346 (seed 0's first value), q = 9, r = 13: 36 + 368420 = 368456,
// * 37 = 13632872 = 13 * 2^20 + 1384: candidate 13, the number 14.
constexpr int kFractionBits = 20;
constexpr uint32_t kFractionMask = (1u << kFractionBits) - 1;
constexpr uint32_t kModMultiplier = (1u << kFractionBits) / kHighestNumber + 1;

template <class D, class V = hn::Vec<D>>
HWY_INLINE V CandidateOf(D d, V state) {
  const V bits =
      hn::And(hn::ShiftRight<kGeneratorOutputShift>(state), hn::Set(d, kGeneratorOutputMask));
  const V fraction = hn::And(hn::Mul(bits, hn::Set(d, kModMultiplier)), hn::Set(d, kFractionMask));
  return hn::ShiftRight<kFractionBits>(hn::Mul(fraction, hn::Set(d, uint32_t{kHighestNumber})));
}

// The state one step back along the cycle.
template <class D, class V = hn::Vec<D>>
HWY_INLINE V StepBack(D d, V state) {
  return hn::Mul(hn::Sub(state, hn::Set(d, kGeneratorIncrement)), hn::Set(d, kInverseMultiplier));
}

// The bit of value v (0..44) in the low word (values below 32) or in the high word. AVX2's
// shifts by a count per lane give 0 for a count of 32 or more, as read unsigned: 1 << v is the
// low word's bit, and 1 << (v - 32) the high word's, 0 where v - 32 is below zero. For v = 35:
// 1 << 35 = 0 and 1 << 3 = 8. Highway leaves such shifts undefined, so elsewhere the shift takes
// v's low five bits and a compare says which word the bit belongs to.
template <class D, class V = hn::Vec<D>>
HWY_INLINE void BitOfValue(D d, V v, V& low, V& high) {
#if HWY_TARGET == HWY_AVX2
  low = hn::Shl(hn::Set(d, 1u), v);
  high = hn::Shl(hn::Set(d, 1u), hn::Sub(v, hn::Set(d, kHighFirst)));
#else
  const V bit = hn::Shl(hn::Set(d, 1u), hn::And(v, hn::Set(d, 31u)));
  const hn::Mask<D> isHigh = GreaterSigned(d, v, hn::Set(d, kHighFirst - 1));
  low = hn::IfThenZeroElse(isHigh, bit);
  high = hn::IfThenElseZero(isHigh, bit);
#endif
}

template <class D>
struct PickList {
  using V = hn::Vec<D>;
  using M = hn::Mask<D>;

  V entry[kPickSize];
  V eighth;
  V pickLow, pickHigh;

  // The stand-ins of list_walk.h: entry r holds 37 + r, pushed at step -1 - r.
  HWY_INLINE void Init(D d) {
    for (int r = 0; r < kPickSize; ++r) {
      entry[r] = hn::Set(d, PackEntry(kStandInStep - r, kStandInValue + r));
    }
    eighth = hn::Set(d, PackEntry(kStandInStep - kPickSize, kStandInValue + kPickSize));
    pickLow = hn::Zero(d);
    pickHigh = hn::Set(d, ((1u << kPickSize) - 1) << (kStandInValue - kHighFirst));
  }

  // Moves x to the front of each lane's list, pushed at the step `stepHigh` (shifted up as in
  // the entries), and changes the pick where x was not among the first seven.
  HWY_INLINE void Push(D d, V x, V stepHigh) {
    // Shifted up 24, an entry compares by its value alone.
    const V key = hn::ShiftLeft<32 - kValueBits>(x);
    M before[kListLength];  // before[r]: x stands at a place below r
    before[1] = hn::Eq(hn::ShiftLeft<32 - kValueBits>(entry[0]), key);
    for (int r = 2; r < kListLength; ++r) {
      before[r] = hn::Or(before[r - 1], hn::Eq(hn::ShiftLeft<32 - kValueBits>(entry[r - 1]), key));
    }
    const M stays = before[kPickSize];
    const V leaving = hn::And(entry[kPickSize - 1], hn::Set(d, kValueMask));
    eighth = KeepOrTake(d, stays, eighth, entry[kPickSize - 1]);
    for (int r = kPickSize - 1; r > 0; --r) {
      entry[r] = KeepOrTake(d, before[r], entry[r], entry[r - 1]);
    }
    entry[0] = hn::Or(stepHigh, x);
    SwapIntoPick(d, x, leaving, stays);
  }

  // An entry where `keep` is set, else its predecessor, the next newer entry. On AVX2 a blend
  // costs about as much as three simple operations; there the order of the entries does it in
  // two. The predecessor is the larger number and the entry a positive one, so the larger of the
  // entry and the predecessor (cleared where `keep` is set) is the one wanted: with 19@97 and
  // 2@99 in places 2 and 1, max(19@97, 2@99) = 2@99 takes the predecessor, max(19@97, 0) keeps.
  static HWY_INLINE V KeepOrTake(D d, M keep, V entry, V predecessor) {
#if HWY_TARGET == HWY_AVX2
    return hn::Max(entry, hn::AndNot(hn::VecFromMask(d, keep), predecessor));
#else
    (void)d;
    return hn::IfThenElse(keep, entry, predecessor);
#endif
  }

  // Where x was not among the first seven, it takes the place of the one leaving. The one
  // leaving is in the pick and x is not, so an xor of each bit swaps them.
  HWY_INLINE void SwapIntoPick(D d, V x, V leaving, M stays) {
    V xLow, xHigh, leavingLow, leavingHigh;
    BitOfValue(d, x, xLow, xHigh);
    BitOfValue(d, leaving, leavingLow, leavingHigh);
    pickLow = hn::Xor(pickLow, hn::IfThenZeroElse(stays, hn::Xor(xLow, leavingLow)));
    pickHigh = hn::Xor(pickHigh, hn::IfThenZeroElse(stays, hn::Xor(xHigh, leavingHigh)));
  }
};

// What each lane's list says of the window that ends at `stepHigh`.
template <class D>
struct WindowAges {
  using V = hn::Vec<D>;
  V now;                    // the step, shifted up, with 255 below
  V seventh;                // the seventh entry's age, in entry units
  hn::Mask<D> isShort;      // fewer than seven distinct values
  hn::Mask<D> fewDistinct;  // fewer than eight

  HWY_INLINE WindowAges(D d, const PickList<D>& list, V stepHigh) {
    const V outside = hn::Set(d, kOutside);
    now = hn::Or(stepHigh, hn::Set(d, kValueMask));
    seventh = hn::Sub(now, list.entry[kPickSize - 1]);
    isShort = GreaterSigned(d, seventh, outside);
    fewDistinct = GreaterSigned(d, hn::Sub(now, list.eighth), outside);
  }

  // The candidate index where each lane's seventh distinct value first stands, 6 to 19, or 20
  // (kCandidateCount) where the window is short: the age cut at 20 steps, shifted down to steps.
  HWY_INLINE V SeventhIndex(D d) const {
    return hn::ShiftRight<kValueBits>(
        hn::Min(seventh, hn::Set(d, uint32_t{kCandidateCount} << kValueBits)));
  }

  // Entries inside the window, out of the eight: exact below eight.
  HWY_INLINE V Distinct(D d, const PickList<D>& list) const {
    const V outside = hn::Set(d, kOutside);
    V distinct = hn::Zero(d);
    for (int r = 0; r < kListLength; ++r) {
      const V age = hn::Sub(now, r < kPickSize ? list.entry[r] : list.eighth);
      distinct =
          hn::Add(distinct, hn::IfThenZeroElse(GreaterSigned(d, age, outside), hn::Set(d, 1u)));
    }
    return distinct;
  }
};

}  // namespace HWY_NAMESPACE
}  // namespace vorel
HWY_AFTER_NAMESPACE();

#endif  // VOREL_LIST_WALK_INL_H_
