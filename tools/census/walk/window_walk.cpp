#include "walk/window_walk.h"

#include "count/pick_rank.h"
#include "hwy/base.h"
#include "walk/cycle.h"
#include "walk/list_walk.h"
#include "walk/rare_windows.h"

namespace {

// The current window of twenty candidates, seen from the walk. Stepping back one draw puts one
// value in front; that value's old first appearance, if it is still in the window, stops being a
// first appearance. So one word of twenty bits, `firsts`, says where each distinct value first
// stands: the distinct count is its population and the seventh distinct value stands at its
// seventh set bit. The pick follows from the last one: the new value joins it unless it was in
// it already, and then the old seventh value leaves. Only a few words carry from one draw to the
// next, so the processor can work on several draws at once.
//
// For example, with the window 5 9 5 2 ... (position 0 first), firsts has bits 0, 1 and 3 set.
// Pushing 9 in front gives 9 5 9 5 2 ...: everything moves up one, bit 0 is set for the new 9,
// and the old 9, now at position 2, loses its bit: firsts = bits 0, 1, 4.
struct Window {
  uint32_t firsts = 0;  // bit j: window position j holds the first appearance of its value
  int distinct = 0;     // set bits of firsts
  int seventh = -1;     // position of the seventh distinct value; -1 when there are fewer
  uint64_t pick = 0;    // the pick as a mask of values (bit v: the number v + 1)
  // Pushes so far, from 64 so that every value starts far out of the window.
  uint64_t step = 64;
  uint64_t last[kHighestNumber] = {};  // the step at which each value was last pushed
  uint8_t recent[32];                  // the values pushed, by step modulo 32
  static_assert(kCandidateCount <= 32, "recent holds a whole window");

  HWY_INLINE void Push(uint32_t x) {
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

// Without a span each window counts once, for the lower of its two seeds; with one, for those of
// the two that lie in the span.
HWY_INLINE void RecordWindow(Tally& tally, uint32_t state, const Window& window,
                             const RankTables& ranks, const SeedSpan* span) {
  int weight = span ? span->Weight(SeedOfWindow(state)) : 1;
  if (weight == 0) return;
  tally.copy = (tally.copy + 1) % Tally::kCopies;
  if (window.distinct < kListLength && tally.fewest.Reaches(window.distinct)) {
    NoteFewDistinct(tally, state, window.distinct, span);
  }
  if (window.seventh < 0) {
    tally.shortPicks += weight;
    return;
  }
  tally.seventh[tally.copy][window.seventh] += weight;
  if (tally.latest.Reaches(window.seventh)) NoteLateSeventh(tally, state, window.seventh, span);
  tally.picks.Add(PickCounter::Word(ranks.Rank(window.pick), weight == 2));
}

// The walk itself, written once: each window goes to record(state, window), which counts it,
// compares its pick or reads it out. The warm-up pushes the nineteen candidates after the first
// window's own first one, so that the first push of the walk completes a whole window.
template <class Record>
HWY_INLINE void WalkInline(uint32_t firstState, uint64_t count, Record&& record) {
  Window window;
  uint32_t state = WarmUpState(firstState);
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

}  // namespace

void WalkWindows(Tally& tally, uint32_t firstState, uint64_t count, const SeedSpan* span) {
  const RankTables& ranks = Ranks();
  WalkInline(firstState, count, [&](uint32_t state, const Window& window) {
    RecordWindow(tally, state, window, ranks, span);
  });
}

void FindInWindows(uint64_t pick, uint32_t firstState, uint64_t count,
                   std::vector<uint32_t>& seeds) {
  WalkInline(firstState, count, [&](uint32_t state, const Window& window) {
    if (window.seventh >= 0 && window.pick == pick) seeds.push_back(SeedOfWindow(state));
  });
}

std::vector<DrawFigures> WalkDraws(uint32_t lastSeed, uint32_t count) {
  std::vector<DrawFigures> picks;
  WalkInline(WindowOfSeed(lastSeed), count, [&](uint32_t state, const Window& window) {
    DrawFigures draw = {SeedOfWindow(state), {}, -1, window.distinct};
    uint64_t mask = window.seventh < 0 ? window.PickFromPositions() : window.pick;
    int slot = kPickSize - __builtin_popcountll(mask);  // a short pick keeps zeros in front
    for (int value = 0; value < kHighestNumber; ++value) {
      if (mask >> value & 1) draw.pick[slot++] = value + 1;
    }
    draw.seventhIndex = window.seventh;
    picks.push_back(draw);
  });
  return picks;
}
