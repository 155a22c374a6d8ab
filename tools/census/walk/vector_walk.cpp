// The vector walk's loop, built by Highway once per instruction set: this file includes itself
// through foreach_target.h, once for each, and each pass defines the same functions in that
// instruction set's namespace (N_AVX3, N_AVX2, ...). Each lane walks its own stretch of the cycle
// backwards, one window per step:
//   candidate -> list push and pick change (list_walk-inl.h) -> rank (count/pick_rank-inl.h)
//   -> the counter's word, held back while it repeats, packed with the other lanes' and counted
//   a few steps later (count/pick_words-inl.h); the seventh index goes to the histogram
//   (count/tally_histogram-inl.h), and the rare lanes to the tally one by one.
// Counting a span, each lane also knows which of its window's two seeds lie in the span
// (seed_span-inl.h), and the window counts for those.
// Everything a pass defines stays in its namespace; what it needs from elsewhere comes from
// headers included outside those namespaces, built for any processor.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "walk/vector_walk.cpp"
#include "hwy/foreach_target.h"  // IWYU pragma: keep

// After foreach_target.h, which includes this file again for each instruction set.
#include "count/pick_rank-inl.h"
#include "count/pick_words-inl.h"
#include "count/tally.h"
#include "count/tally_histogram-inl.h"
#include "hwy/highway.h"
#include "walk/cycle.h"
#include "walk/list_walk-inl.h"
#include "walk/rare_windows.h"
#include "walk/seed_span-inl.h"
#include "walk/vector_walk.h"

HWY_BEFORE_NAMESPACE();
namespace vorel {
namespace HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

using D = hn::ScalableTag<uint32_t>;
using V = hn::Vec<D>;
using M = hn::Mask<D>;
constexpr size_t kMaxLanes = hn::MaxLanes(D());

constexpr bool ModByMultiplyIsExact() {
  for (uint32_t x = 0; x <= kGeneratorOutputMask; ++x) {
    uint32_t remainder = (x * kModMultiplier & kFractionMask) * kHighestNumber >> kFractionBits;
    if (remainder != x % kHighestNumber) return false;
  }
  return true;
}
static_assert(ModByMultiplyIsExact(), "the multiply gives every generator value's remainder");

// The lanes' states at the first candidates of their first windows, after the nineteen pushes
// that fill the windows behind them.
HWY_INLINE V Start(D d, const uint32_t* firstStates, PickList<D>& list) {
  HWY_ALIGN uint32_t states[kMaxLanes];
  for (size_t lane = 0; lane < hn::Lanes(d); ++lane) states[lane] = WarmUpState(firstStates[lane]);
  V state = hn::Load(d, states);
  list.Init(d);
  for (int warm = 0; warm < kCandidateCount - 1; ++warm) {
    list.Push(d, CandidateOf(d, state), hn::Set(d, PackEntry(warm, 0)));
    state = StepBack(d, state);
  }
  return state;
}

// Step i of the walk is the list's push number i + 19, after the warm-up's.
HWY_INLINE V StepHigh(D d, uint64_t i) {
  return hn::Set(d, PackEntry(static_cast<int64_t>(i) + kCandidateCount - 1, 0));
}

// One less than the latest seventh index so far, in entry units, so that "at or past it" is one
// signed compare.
HWY_INLINE V LatestLessOne(D d, const Tally& tally) {
  return hn::Set(d, PackEntry(tally.latest.value, 0) - 1);
}

// Lanes with fewer than eight distinct values, or a seventh index at or past the latest so
// far: rare, so they go one by one. Takes plain arrays, so that the walk's vectors need not
// leave the registers.
HWY_NOINLINE void NoteLanes(size_t lanes, const uint32_t* states, const uint32_t* distinct,
                            const uint32_t* age, const uint32_t* few, const uint32_t* late,
                            const SeedSpan* span, Tally& tally) {
  for (size_t lane = 0; lane < lanes; ++lane) {
    if (few[lane]) NoteFewDistinct(tally, states[lane], static_cast<int>(distinct[lane]), span);
    if (late[lane]) NoteLateSeventh(tally, states[lane], static_cast<int>(age[lane]), span);
  }
}

HWY_INLINE void NoteRareLanes(D d, const PickList<D>& list, const WindowAges<D>& ages, V state,
                              M few, M late, const SeedSpan* span, Tally& tally) {
  HWY_ALIGN uint32_t states[kMaxLanes], distinct[kMaxLanes], age[kMaxLanes];
  HWY_ALIGN uint32_t isFew[kMaxLanes], isLate[kMaxLanes];
  hn::Store(state, d, states);
  hn::Store(ages.Distinct(d, list), d, distinct);
  hn::Store(hn::ShiftRight<kValueBits>(ages.seventh), d, age);
  hn::Store(hn::VecFromMask(d, few), d, isFew);
  hn::Store(hn::VecFromMask(d, late), d, isLate);
  NoteLanes(hn::Lanes(d), states, distinct, age, isFew, isLate, span, tally);
}

// The walk, each window counted once (kInSpan false), or for those of its two seeds inside
// `span` (kInSpan true; the span is shorter than the whole space).
template <bool kInSpan>
HWY_INLINE void WalkLanes(Tally& tally, const uint32_t* firstStates, uint64_t count,
                          SeedSpan span) {
  const D d;
  PickRanker<D> ranker;
  ranker.Load(d);
  PickList<D> list;
  V state = Start(d, firstStates, list);
  SpanLanes<D> lanesInSpan;
  if (kInSpan) lanesInSpan.Init(d, firstStates, span);
  HeldWords<D> held;
  held.Init(d);
  WordBuffer<D> buffer;
  WordQueue queue;
  SeventhHistogram<D, kInSpan ? 2 : 1> histogram;
  histogram.Init(d);
  FieldBytes<D> fieldBytes;
  V latest = LatestLessOne(d, tally);
  for (uint64_t i = 0; i < count; ++i) {
    const V stepHigh = StepHigh(d, i);
    list.Push(d, CandidateOf(d, state), stepHigh);
    const WindowAges<D> ages(d, list, stepHigh);
    // A short window's word names the place past the last pick, which no pick's word matches.
    const V word = WordOfRank(d, hn::IfThenElse(ages.isShort, hn::Set(d, uint32_t{kPossiblePicks}),
                                                ranker.Rank(d, list.pickLow, list.pickHigh)));
    M rare =
        hn::Or(ages.fewDistinct, hn::AndNot(ages.isShort, GreaterSigned(d, ages.seventh, latest)));
    if (kInSpan) {
      M seedIn, twinIn;
      lanesInSpan.Test(d, seedIn, twinIn);
      const M inSpan = hn::Or(seedIn, twinIn);
      held.AddInSpan(d, word, ages.isShort, inSpan, hn::And(seedIn, twinIn), buffer.words, queue,
                     tally.picks);
      // All ones are -1: the weight is 0 less both masks as numbers.
      const V weight =
          hn::Sub(hn::Zero(d), hn::Add(hn::VecFromMask(d, seedIn), hn::VecFromMask(d, twinIn)));
      histogram.Add(d, ages.seventh, weight, fieldBytes, tally);
      rare = hn::And(rare, inSpan);
      lanesInSpan.StepBack(d);
    } else {
      held.Add(d, word, ages.isShort, buffer.words, queue, tally.picks);
      histogram.Add(d, ages.seventh, hn::Set(d, 1u), fieldBytes, tally);
    }
    if (HWY_UNLIKELY(!hn::AllFalse(d, rare))) {
      const M late = hn::AndNot(ages.isShort, GreaterSigned(d, ages.seventh, latest));
      NoteRareLanes(d, list, ages, state, ages.fewDistinct, late, kInSpan ? &span : nullptr, tally);
      latest = LatestLessOne(d, tally);
    }
    state = StepBack(d, state);
  }
  held.Finish(d, buffer.words, queue, tally.picks);
  histogram.Flush(d, fieldBytes, tally);
}

void Walk(Tally& tally, const uint32_t* firstStates, uint64_t count) {
  WalkLanes<false>(tally, firstStates, count, SeedSpan());
}

void WalkInSpan(Tally& tally, const uint32_t* firstStates, uint64_t count, SeedSpan span) {
  WalkLanes<true>(tally, firstStates, count, span);
}

void WalkForTest(const uint32_t* firstStates, uint64_t count, SeedSpan span, ListFigures* figures) {
  const D d;
  const size_t lanes = hn::Lanes(d);
  PickRanker<D> ranker;
  ranker.Load(d);
  PickList<D> list;
  V state = Start(d, firstStates, list);
  const bool whole = span.count >= kSeedSpace;  // every window counts for both seeds
  SpanLanes<D> lanesInSpan;
  lanesInSpan.Init(d, firstStates, span);
  HWY_ALIGN uint32_t low[kMaxLanes], high[kMaxLanes], rank[kMaxLanes], weight[kMaxLanes];
  HWY_ALIGN uint32_t age[kMaxLanes], distinct[kMaxLanes], isShort[kMaxLanes];
  for (uint64_t i = 0; i < count; ++i) {
    const V stepHigh = StepHigh(d, i);
    list.Push(d, CandidateOf(d, state), stepHigh);
    const WindowAges<D> ages(d, list, stepHigh);
    M seedIn, twinIn;
    lanesInSpan.Test(d, seedIn, twinIn);
    hn::Store(list.pickLow, d, low);
    hn::Store(list.pickHigh, d, high);
    hn::Store(ranker.Rank(d, list.pickLow, list.pickHigh), d, rank);
    hn::Store(hn::ShiftRight<kValueBits>(ages.seventh), d, age);
    hn::Store(ages.Distinct(d, list), d, distinct);
    hn::Store(hn::VecFromMask(d, ages.isShort), d, isShort);
    const V counted =
        whole
            ? hn::Set(d, 2u)
            : hn::Sub(hn::Zero(d), hn::Add(hn::VecFromMask(d, seedIn), hn::VecFromMask(d, twinIn)));
    hn::Store(counted, d, weight);
    for (size_t lane = 0; lane < lanes; ++lane) {
      ListFigures& out = figures[i * lanes + lane];
      out.pick = low[lane] | uint64_t{high[lane]} << kHighFirst;
      out.rank = isShort[lane] ? kPossiblePicks : rank[lane];
      out.seventhIndex = isShort[lane] ? -1 : static_cast<int>(age[lane]);
      out.distinct = static_cast<int>(distinct[lane]);
      out.weight = static_cast<int>(weight[lane]);
    }
    lanesInSpan.StepBack(d);
    state = StepBack(d, state);
  }
}

VectorBuild ThisBuild() {
  VectorBuild build;
  build.target = HWY_TARGET;
  build.name = hwy::TargetName(HWY_TARGET);
  build.lanes = hn::Lanes(D());
  build.walk = &Walk;
  build.walkInSpan = &WalkInSpan;
  build.walkForTest = &WalkForTest;
  return build;
}

}  // namespace HWY_NAMESPACE
}  // namespace vorel
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace vorel {

HWY_EXPORT(ThisBuild);

// The description of the build Highway's dispatch chooses now.
VectorBuild DispatchedBuild() {
  return HWY_DYNAMIC_DISPATCH(ThisBuild)();
}

}  // namespace vorel

// Each build is asked for its own description through Highway's dispatch, with every other
// instruction set turned off for the moment, so that only builds the processor runs are called.
const std::vector<VectorBuild>& VectorBuilds() {
  static const std::vector<VectorBuild> builds = [] {
    std::vector<VectorBuild> runnable;
    for (int64_t target : hwy::SupportedAndGeneratedTargets()) {
      hwy::DisableTargets(~target);
      runnable.push_back(vorel::DispatchedBuild());
    }
    hwy::DisableTargets(0);
    return runnable;
  }();
  return builds;
}

#endif  // HWY_ONCE
