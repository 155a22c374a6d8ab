// The vector walk's test of a span in every lane: which of the two seeds that the lane's window
// stands for, s and s + 2^31, lie in the span of seeds being counted. Included by
// vector_walk.cpp once per instruction set.
//
// A seed lies in the span when its distance from the first seed, d = seed - first (wrapping
// modulo 2^32), is below the span's count N; its twin's distance is d + 2^31, d with bit 31
// flipped. Read with bit 31 flipped, unsigned numbers compare as signed ones do, which every
// instruction set compares in one instruction: d < N unsigned is (d ^ 2^31) < (N ^ 2^31) signed,
// and (d ^ 2^31) < N unsigned is d < (N ^ 2^31) signed. So each lane keeps t = d ^ 2^31, and two
// signed compares against N ^ 2^31 give both answers: t for the seed, t ^ 2^31 = d for the twin.
//
// The lane's seed steps backwards with its state, and so does t: one step takes a seed to
// (seed - 1) * m', m' the multiplier's inverse, so d goes to (d + first - 1) * m' - first =
// d * m' + c with c = (first - 1) * m' - first, and t = d + 2^31 goes to t * m' + c as well,
// because 2^31 * m' is 2^31 again modulo 2^32 (m' is odd).
//
// Example: the span of the ten seeds from 4294967290 to 3 (N = 10), a window of the seeds 1 and
// 2147483649. d = 1 - 4294967290 = 7, t = 0x80000007, N ^ 2^31 = 0x8000000A: as signed numbers
// t < N ^ 2^31, so the seed 1 is in; d = 7 is not below 0x8000000A read signed (a negative
// number), so 2147483649 is out. The window counts once.
#if defined(VOREL_SEED_SPAN_INL_H_) == defined(HWY_TARGET_TOGGLE)
#ifdef VOREL_SEED_SPAN_INL_H_
#undef VOREL_SEED_SPAN_INL_H_
#else
#define VOREL_SEED_SPAN_INL_H_
#endif

#include "hwy/highway.h"
#include "walk/cycle.h"
#include "walk/seed_span.h"

HWY_BEFORE_NAMESPACE();
namespace vorel {
namespace HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

template <class D>
struct SpanLanes {
  using V = hn::Vec<D>;
  using M = hn::Mask<D>;
  static constexpr uint32_t kSignFlip = 1u << 31;  // unsigned numbers so flipped compare signed

  V flipped;  // t of each lane's window: its distance from the span's first seed, bit 31 flipped
  V step;     // c, the part of a step that does not depend on t
  V count;    // N ^ 2^31

  // The lanes' windows start at firstStates, whose seeds lie two steps back (see cycle.h).
  HWY_INLINE void Init(D d, const uint32_t* firstStates, SeedSpan span) {
    HWY_ALIGN uint32_t lanes[hn::MaxLanes(D())];
    for (size_t lane = 0; lane < hn::Lanes(d); ++lane) {
      lanes[lane] = (Backward(Backward(firstStates[lane])) - span.first) ^ kSignFlip;
    }
    flipped = hn::Load(d, lanes);
    step = hn::Set(d, (span.first - kGeneratorIncrement) * kInverseMultiplier - span.first);
    count = hn::Set(d, static_cast<uint32_t>(span.count) ^ kSignFlip);
  }

  // Which lanes' seed, and which lanes' twin, lie in the span (the span is shorter than 2^32).
  HWY_INLINE void Test(D d, M& seedIn, M& twinIn) const {
    const hn::RebindToSigned<D> di;
    const auto limit = hn::BitCast(di, count);
    seedIn = hn::RebindMask(d, hn::Lt(hn::BitCast(di, flipped), limit));
    // The twin lies 2^31 further on, its t the lane's t with the twin's bit flipped.
    const V twin = hn::Xor(flipped, hn::Set(d, kTwinBit));
    twinIn = hn::RebindMask(d, hn::Lt(hn::BitCast(di, twin), limit));
  }

  // How many of each lane's two seeds lie in the span, from the masks Test gives: 0, 1 or 2.
  // A mask's lane read as a number is all ones, -1, so the weight is 0 less both masks.
  static HWY_INLINE V Weight(D d, M seedIn, M twinIn) {
    return hn::Sub(hn::Zero(d), hn::Add(hn::VecFromMask(d, seedIn), hn::VecFromMask(d, twinIn)));
  }

  // On to the windows one step back.
  HWY_INLINE void StepBack(D d) {
    flipped = hn::Add(hn::Mul(flipped, hn::Set(d, kInverseMultiplier)), step);
  }
};

}  // namespace HWY_NAMESPACE
}  // namespace vorel
HWY_AFTER_NAMESPACE();

#endif  // VOREL_SEED_SPAN_INL_H_
