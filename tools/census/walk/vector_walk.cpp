// The vector walk's loop, built by Highway once per instruction set: this file includes itself
// through foreach_target.h, once for each, and each pass defines the same functions in that
// instruction set's namespace (N_AVX3, N_AVX2, ...). Each lane walks its own stretch of the cycle
// backwards, one window per step (WalkLanes): candidate -> list push and pick change
// (list_walk-inl.h). Each step's windows go to what takes them; the census's count
// (WindowCount) ranks each pick (count/pick_rank-inl.h) and makes it the counter's word, held
// back while it repeats, packed with the other lanes' and counted a few steps later
// (count/pick_words-inl.h); the seventh index goes to the histogram
// (count/tally_histogram-inl.h), and the rare lanes to the tally one by one. Counting a span,
// each lane also knows which of its window's two seeds lie in the span (seed_span-inl.h), and
// the window counts for those. The finder's take (PickMatches) compares each pick with the one
// sought and notes the seeds of the rare lanes that show it.
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
  return hn::Set(d, AgeUnits(tally.latest.value) - 1);
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

// The walk itself: each lane's stretch backwards, one window per step. Each step's windows go to
// take.Step(d, list, ages, state): the lanes' picks in `list`, what their windows' distinct values
// say in `ages`, and each lane's generator state at its window's first candidate in `state`. The
// census counts them (WindowCount); the finder compares their picks (PickMatches); a test reads
// each lane's figures (LaneFigures). Each take is a type of its own, so that every build inlines
// it into the loop; another use could take the windows too, without a change to the walk.
template <class Take>
HWY_INLINE void WalkLanes(D d, const uint32_t* firstStates, uint64_t count, Take& take) {
  PickList<D> list;
  V state = Start(d, firstStates, list);
  for (uint64_t i = 0; i < count; ++i) {
    const V stepHigh = StepHigh(d, i);
    list.Push(d, CandidateOf(d, state), stepHigh);
    take.Step(d, list, WindowAges<D>(d, list, stepHigh), state);
    state = StepBack(d, state);
  }
}

// The census's count of the walk's windows: each counted once (kInSpan false), or for those of
// its two seeds inside `span` (kInSpan true; the span is shorter than the whole space). Its pick's
// rank goes to the counter as a word, its seventh index to the histogram, and the rare lanes to
// the tally one by one. What stands in memory (the tally, the span whose address the rare lanes
// take, the buffer the counter reads, the bytes the histogram empties into) is held by reference,
// so that no address of this object is taken and the rest can stay in registers. kToCounter
// false does all of it but drop the words the counter would take (for the benchmarks).
template <bool kInSpan, bool kToCounter = true>
struct WindowCount {
  Tally& tally;
  const SeedSpan& span;
  WordBuffer<D>& buffer;
  FieldBytes<D>& bytes;
  PickRanker<D> ranker;
  SpanLanes<D> lanesInSpan;
  HeldWords<D> held;
  WordQueue<D, kToCounter> queue;
  SeventhHistogram<D, kInSpan ? 2 : 1> histogram;
  V latest;

  HWY_INLINE WindowCount(D d, Tally& into, const uint32_t* firstStates, const SeedSpan& walked,
                         WordBuffer<D>& words, FieldBytes<D>& fields)
      : tally(into), span(walked), buffer(words), bytes(fields) {
    ranker.Load(d);
    if (kInSpan) lanesInSpan.Init(d, firstStates, span);
    held.Init(d);
    histogram.Init(d);
    latest = LatestLessOne(d, tally);
  }

  HWY_INLINE void Step(D d, const PickList<D>& list, const WindowAges<D>& ages, V state) {
    // A short window's word names the place past the last pick, which no pick's word matches.
    const V word = WordOfRank(d, hn::IfThenElse(ages.isShort, hn::Set(d, uint32_t{kPossiblePicks}),
                                                ranker.Rank(d, list.pickLow, list.pickHigh)));
    const M late = hn::AndNot(ages.isShort, GreaterSigned(d, ages.seventh, latest));
    M rare = hn::Or(ages.fewDistinct, late);
    if (kInSpan) {
      M seedIn, twinIn;
      lanesInSpan.Test(d, seedIn, twinIn);
      const M inSpan = hn::Or(seedIn, twinIn);
      held.AddInSpan(d, word, ages.isShort, inSpan, hn::And(seedIn, twinIn), buffer.words, queue,
                     tally.picks);
      histogram.Add(d, ages.SeventhIndex(d), SpanLanes<D>::Weight(d, seedIn, twinIn), bytes, tally);
      rare = hn::And(rare, inSpan);
      lanesInSpan.StepBack(d);
    } else {
      held.Add(d, word, ages.isShort, buffer.words, queue, tally.picks);
      histogram.Add(d, ages.SeventhIndex(d), hn::Set(d, 1u), bytes, tally);
    }
    if (HWY_UNLIKELY(!hn::AllFalse(d, rare))) {
      NoteRareLanes(d, list, ages, state, ages.fewDistinct, late, kInSpan ? &span : nullptr, tally);
      latest = LatestLessOne(d, tally);
    }
  }

  // What the lanes still hold, and what still waits in the buffer and the histogram.
  HWY_INLINE void Finish(D d) {
    held.Finish(d, buffer.words, queue, tally.picks);
    histogram.Flush(d, bytes, tally);
  }
};

template <bool kInSpan, bool kToCounter = true>
HWY_INLINE void CountLanes(Tally& tally, const uint32_t* firstStates, uint64_t count,
                           SeedSpan span) {
  const D d;
  tally.countedWith = HWY_TARGET;
  WordBuffer<D> buffer;
  FieldBytes<D> bytes;
  WindowCount<kInSpan, kToCounter> windows(d, tally, firstStates, span, buffer, bytes);
  WalkLanes(d, firstStates, count, windows);
  windows.Finish(d);
}

void Walk(Tally& tally, const uint32_t* firstStates, uint64_t count) {
  CountLanes<false>(tally, firstStates, count, SeedSpan());
}

void WalkInSpan(Tally& tally, const uint32_t* firstStates, uint64_t count, SeedSpan span) {
  CountLanes<true>(tally, firstStates, count, span);
}

void WalkWithoutCounter(Tally& tally, const uint32_t* firstStates, uint64_t count) {
  CountLanes<false, false>(tally, firstStates, count, SeedSpan());
}

void CountWords(PickCounter& counter, const uint32_t* words, uint64_t count) {
  AddToQueues(counter, words, count);
}

// The lower seed of each lane's window that shows the pick sought. Takes plain arrays, as
// NoteLanes does, so that the walk's vectors need not leave the registers.
HWY_NOINLINE void NoteMatchingLanes(size_t lanes, const uint32_t* states, const uint32_t* shows,
                                    std::vector<uint32_t>& seeds) {
  for (size_t lane = 0; lane < lanes; ++lane) {
    if (shows[lane]) seeds.push_back(SeedOfWindow(states[lane]));
  }
}

// The finder's take of the walk's windows: each lane's pick against the one sought, both as the
// list holds a pick (the values 0..31 in the low word, 32..36 in the high one), so that nothing
// is ranked: two compares and an and per step. Seed 0's pick 02,14,15,18,20,21,31 is the values
// 1, 13, 14, 17, 19, 20 and 30: the low word 0x401A6002, the high word 0. A lane shows a given
// pick in about one window of ten million, so the steps where one does are told apart by one
// test, and their lanes noted one by one.
struct PickMatches {
  std::vector<uint32_t>& seeds;
  V low, high;  // the pick sought, in every lane

  HWY_INLINE PickMatches(D d, uint64_t pick, std::vector<uint32_t>& found)
      : seeds(found),
        low(hn::Set(d, static_cast<uint32_t>(pick))),
        high(hn::Set(d, static_cast<uint32_t>(pick >> kHighFirst))) {}

  HWY_INLINE void Step(D d, const PickList<D>& list, const WindowAges<D>& ages, V state) {
    const M same = hn::And(hn::Eq(list.pickLow, low), hn::Eq(list.pickHigh, high));
    if (HWY_UNLIKELY(!hn::AllFalse(d, same))) {
      // A short window's first seven entries can be seven real values, the seventh from outside
      // the window: not the pick its seeds show.
      HWY_ALIGN uint32_t states[kMaxLanes], shows[kMaxLanes];
      hn::Store(state, d, states);
      hn::Store(hn::VecFromMask(d, hn::AndNot(ages.isShort, same)), d, shows);
      NoteMatchingLanes(hn::Lanes(d), states, shows, seeds);
    }
  }
};

int64_t Find(uint64_t pick, const uint32_t* firstStates, uint64_t count,
             std::vector<uint32_t>& seeds) {
  const D d;
  PickMatches matches(d, pick, seeds);
  WalkLanes(d, firstStates, count, matches);
  return HWY_TARGET;
}

// Each lane's figures of each window, as the one-lane twin (list_twin.h) gives them: into
// figures[step * lanes + lane], with the weights of `span`.
struct LaneFigures {
  ListFigures* out;
  const bool whole;  // every window counts for both seeds
  PickRanker<D> ranker;
  SpanLanes<D> lanesInSpan;

  HWY_INLINE LaneFigures(D d, const uint32_t* firstStates, SeedSpan span, ListFigures* figures)
      : out(figures), whole(span.count >= kSeedSpace) {
    ranker.Load(d);
    lanesInSpan.Init(d, firstStates, span);
  }

  HWY_INLINE void Step(D d, const PickList<D>& list, const WindowAges<D>& ages, V) {
    HWY_ALIGN uint32_t low[kMaxLanes], high[kMaxLanes], rank[kMaxLanes], weight[kMaxLanes];
    HWY_ALIGN uint32_t age[kMaxLanes], distinct[kMaxLanes], isShort[kMaxLanes];
    M seedIn, twinIn;
    lanesInSpan.Test(d, seedIn, twinIn);
    hn::Store(list.pickLow, d, low);
    hn::Store(list.pickHigh, d, high);
    hn::Store(ranker.Rank(d, list.pickLow, list.pickHigh), d, rank);
    hn::Store(hn::ShiftRight<kValueBits>(ages.seventh), d, age);
    hn::Store(ages.Distinct(d, list), d, distinct);
    hn::Store(hn::VecFromMask(d, ages.isShort), d, isShort);
    hn::Store(whole ? hn::Set(d, 2u) : SpanLanes<D>::Weight(d, seedIn, twinIn), d, weight);
    for (size_t lane = 0; lane < hn::Lanes(d); ++lane, ++out) {
      out->pick = low[lane] | uint64_t{high[lane]} << kHighFirst;
      out->rank = isShort[lane] ? kPossiblePicks : rank[lane];
      out->seventhIndex = isShort[lane] ? -1 : static_cast<int>(age[lane]);
      out->distinct = static_cast<int>(distinct[lane]);
      out->weight = static_cast<int>(weight[lane]);
    }
    lanesInSpan.StepBack(d);
  }
};

void WalkForTest(const uint32_t* firstStates, uint64_t count, SeedSpan span, ListFigures* figures) {
  const D d;
  LaneFigures lanes(d, firstStates, span, figures);
  WalkLanes(d, firstStates, count, lanes);
}

VectorBuild ThisBuild() {
  VectorBuild build;
  build.target = HWY_TARGET;
  build.name = hwy::TargetName(HWY_TARGET);
  build.lanes = hn::Lanes(D());
  build.walk = &Walk;
  build.walkInSpan = &WalkInSpan;
  build.find = &Find;
  build.walkForTest = &WalkForTest;
  build.walkWithoutCounter = &WalkWithoutCounter;
  build.countWords = &CountWords;
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

// Each build is asked for its own description through Highway's dispatch, with Highway told for
// the moment that the processor runs that instruction set alone, so that only builds the
// processor runs are called. Instruction sets a caller turned off stay off.
std::vector<VectorBuild> RunnableBuilds() {
  std::vector<VectorBuild> runnable;
  for (int64_t target : hwy::SupportedAndGeneratedTargets()) {
    hwy::SetSupportedTargetsForTest(target);
    runnable.push_back(vorel::DispatchedBuild());
  }
  hwy::SetSupportedTargetsForTest(0);
  return runnable;
}

const std::vector<VectorBuild>& VectorBuilds() {
  static const std::vector<VectorBuild> builds = RunnableBuilds();
  return builds;
}

const VectorBuild& BuildNamed(const std::string& name) {
  for (const VectorBuild& build : VectorBuilds()) {
    if (name == build.name) return build;
  }
  return VectorBuilds().front();
}

#endif  // HWY_ONCE
