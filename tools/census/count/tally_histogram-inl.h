// The tally's seventh-index histogram for a vector of draws, counted in the lanes: four-bit
// fields that take each draw's weight, emptied into byte fields now and then and into the tally
// now and then again. Included by the vector walk once per instruction set.
//
// Each lane holds two 32-bit words of eight four-bit fields: field k (1..14) counts draws whose
// seventh distinct value first stands at index k + 5, field 15 counts short draws (index 20),
// field 0 stays empty (no seventh value stands before index 6). Fields 0..7 lie in the lower word,
// 8..15 in the upper one.
//
// Worked example: a draw whose seventh distinct value stands at index 9 has its field at bit
// 4 * (9 - 5) = 16 of the lower word, field 4, which takes the draw's weight. A short draw, index
// 20, lands in field 15, bit 60: bit 28 of the upper word.
//
// A field takes at most kMaxWeight per step, so fields are emptied into bytes before they can
// pass 15; each byte takes one field per emptying, and the bytes are emptied into the tally
// before they can pass 255.
#if defined(VOREL_TALLY_HISTOGRAM_INL_H_) == defined(HWY_TARGET_TOGGLE)
#ifdef VOREL_TALLY_HISTOGRAM_INL_H_
#undef VOREL_TALLY_HISTOGRAM_INL_H_
#else
#define VOREL_TALLY_HISTOGRAM_INL_H_
#endif

#include "count/tally.h"
#include "hwy/highway.h"

HWY_BEFORE_NAMESPACE();
namespace vorel {
namespace HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

// The bytes of fields, emptied into only every 15 steps, so they wait in memory and leave the
// registers to the walk. bytes[0] holds the even fields of the lower word, bytes[1] its odd ones,
// bytes[2] and [3] the same of the upper word: byte b of bytes[j] holds field
// 8 * (j / 2) + 2b + j % 2.
template <class D>
struct FieldBytes {
  HWY_ALIGN uint32_t bytes[4][hn::MaxLanes(D())] = {};
  int rounds = 0;
};

// kMaxWeight: the most one window counts for, 1 when each counts once, 2 when each counts for
// those of its two seeds inside a span.
template <class D, int kMaxWeight>
struct SeventhHistogram {
  using V = hn::Vec<D>;
  static constexpr int kFieldShift = 2, kFieldBits = 1 << kFieldShift;
  static constexpr int kFirstFieldIndex = 5, kShortField = 15;
  static constexpr int kFieldSteps = ((1 << kFieldBits) - 1) / kMaxWeight, kByteRounds = 16;
  static_assert(kShortField == kCandidateCount - kFirstFieldIndex, "short windows as index 20");
  static_assert(kByteRounds * kFieldSteps * kMaxWeight <= 255, "a byte never overflows");

  V lower, upper;
  int steps = 0;

  HWY_INLINE void Init(D d) { lower = upper = hn::Zero(d); }

  // Adds each lane's weight (0..kMaxWeight) at the field of its seventh index (6..19, or 20 for
  // a short draw).
  HWY_INLINE void Add(D d, V seventhIndex, V weight, FieldBytes<D>& bytes, Tally& tally) {
    const V place = hn::Sub(hn::ShiftLeft<kFieldShift>(seventhIndex),
                            hn::Set(d, uint32_t{kFirstFieldIndex << kFieldShift}));
#if HWY_TARGET == HWY_AVX2
    // AVX2's shifts by a count per lane give 0 for a count of 32 or more, read unsigned: place 60
    // adds nothing to the lower word and 1 << 28 to the upper one, place 16 the other way round.
    lower = hn::Add(lower, hn::Shl(weight, place));
    upper = hn::Add(upper, hn::Shl(weight, hn::Sub(place, hn::Set(d, 32u))));
#else
    const V added = hn::Shl(weight, hn::And(place, hn::Set(d, 31u)));
    const hn::RebindToSigned<D> di;  // signed compares are native on every target
    const auto inUpper =
        hn::RebindMask(d, hn::Gt(hn::BitCast(di, place), hn::Set(di, int32_t{31})));
    lower = hn::Add(lower, hn::IfThenZeroElse(inUpper, added));
    upper = hn::Add(upper, hn::IfThenElseZero(inUpper, added));
#endif
    if (++steps == kFieldSteps) EmptyFields(d, bytes, tally);
  }

  HWY_INLINE void EmptyFields(D d, FieldBytes<D>& bytes, Tally& tally) {
    const V nibbles = hn::Set(d, 0x0F0F0F0Fu);
    const V fields[4] = {
        hn::And(lower, nibbles), hn::And(hn::ShiftRight<kFieldBits>(lower), nibbles),
        hn::And(upper, nibbles), hn::And(hn::ShiftRight<kFieldBits>(upper), nibbles)};
    for (int j = 0; j < 4; ++j) {
      hn::Store(hn::Add(hn::Load(d, bytes.bytes[j]), fields[j]), d, bytes.bytes[j]);
    }
    lower = upper = hn::Zero(d);
    steps = 0;
    if (++bytes.rounds == kByteRounds) EmptyBytes(d, bytes, tally);
  }

  static HWY_NOINLINE void EmptyBytes(D d, FieldBytes<D>& bytes, Tally& tally) {
    uint64_t fields[kShortField + 1] = {};
    for (int j = 0; j < 4; ++j) {
      for (size_t lane = 0; lane < hn::Lanes(d); ++lane) {
        for (int b = 0; b < 4; ++b) {
          fields[8 * (j / 2) + 2 * b + j % 2] += bytes.bytes[j][lane] >> 8 * b & 0xFF;
        }
        bytes.bytes[j][lane] = 0;
      }
    }
    for (int k = 1; k < kShortField; ++k) tally.seventh[0][k + kFirstFieldIndex] += fields[k];
    tally.shortPicks += fields[kShortField];
    bytes.rounds = 0;
  }

  // What is still in the fields at the end of a walk.
  HWY_INLINE void Flush(D d, FieldBytes<D>& bytes, Tally& tally) {
    EmptyFields(d, bytes, tally);
    EmptyBytes(d, bytes, tally);
  }
};

}  // namespace HWY_NAMESPACE
}  // namespace vorel
HWY_AFTER_NAMESPACE();

#endif  // VOREL_TALLY_HISTOGRAM_INL_H_
