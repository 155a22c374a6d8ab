#include "census.h"

#include <algorithm>
#include <chrono>
#include <queue>
#include <thread>

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

// The first eight distinct values of the current window in order of first appearance, with their
// positions, and the window's distinct count. Stepping back one draw puts one value in front:
// it goes first, leaves the list if it was there, and whatever then stands at position 20 falls
// out of the window. Constant work per draw instead of twenty generator steps.
struct Window {
  uint8_t value[8];
  uint8_t position[8];
  int listed = 0;
  uint8_t recent[32];  // the values pushed, by step number modulo 32
  uint8_t count[37] = {};
  int distinct = 0;
  uint64_t pushed = 0;

  void Push(uint8_t x) {
    int at = 0;
    while (at < listed && value[at] != x) ++at;
    if (at < listed) {  // seen later in the window: it moves to the front
      for (int i = at; i + 1 < listed; ++i) {
        value[i] = value[i + 1];
        position[i] = position[i + 1];
      }
      --listed;
    }
    int keep = listed < 8 ? listed : 7;
    for (int i = keep; i > 0; --i) {
      value[i] = value[i - 1];
      position[i] = static_cast<uint8_t>(position[i - 1] + 1);
    }
    value[0] = x;
    position[0] = 0;
    listed = keep + 1;
    if (position[listed - 1] >= kCandidateCount) --listed;

    if (pushed >= kCandidateCount) {
      uint8_t leaving = recent[(pushed - kCandidateCount) & 31];
      if (--count[leaving] == 0) --distinct;
    }
    recent[pushed & 31] = x;
    if (count[x]++ == 0) ++distinct;
    ++pushed;
  }

  // Colexicographic rank of the first seven values: a bitmask sorts them, and the set bits,
  // lowest first, are the pick in ascending order.
  uint32_t Rank() const {
    uint64_t mask = 0;
    for (int i = 0; i < 7; ++i) mask |= 1ull << value[i];
    uint32_t rank = 0;
    for (int place = 1; place <= 7; ++place) {
      rank += kBinomials.table[__builtin_ctzll(mask)][place];
      mask &= mask - 1;
    }
    return rank;
  }
};

// Counts per pick. 2^31 increments scattered over 10 million counters would each miss the
// cache, so they wait in one queue per slice of 16384 counters (32 KB) and are applied a queue
// at a time, while that slice stays in the cache. No count comes near 2^16 within one worker
// (the largest count over all seeds is 636).
struct PickCounter {
  static constexpr int kSliceBits = 14;
  static constexpr uint32_t kSlices = (kPossiblePicks >> kSliceBits) + 1;
  static constexpr uint32_t kQueued = 8192;
  std::vector<uint16_t> counts;
  std::vector<uint16_t> queue;
  std::vector<uint32_t> queued;

  PickCounter() : counts(kSlices << kSliceBits), queue(kSlices * kQueued), queued(kSlices) {}

  void Add(uint32_t rank) {
    uint32_t slice = rank >> kSliceBits;
    uint32_t n = queued[slice];
    queue[slice * kQueued + n] = static_cast<uint16_t>(rank);
    if (++n == kQueued) {
      Apply(slice, n);
      n = 0;
    }
    queued[slice] = n;
  }

  void Apply(uint32_t slice, uint32_t n) {
    uint16_t* base = &counts[slice << kSliceBits];
    const uint16_t* pending = &queue[slice * kQueued];
    for (uint32_t i = 0; i < n; ++i) ++base[pending[i] & ((1u << kSliceBits) - 1)];
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
  uint64_t distinct[21] = {};
  uint64_t seventh[20] = {};
  uint64_t shortPicks = 0;
  int latest = -1;
  uint64_t latestCount = 0;
  std::priority_queue<uint32_t> latestSeeds;  // the smallest seeds, largest on top
  PickCounter picks;

  void NoteLatest(int index, uint32_t seed) {
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

// Walks `count` windows backwards along the cycle, starting with the window at `firstState`.
template <class Record>
void Walk(uint32_t firstState, uint64_t count, Record&& record) {
  Window window;
  uint32_t state = Jump(firstState, kCandidateCount - 1);
  for (int warm = 0; warm < kCandidateCount - 1; ++warm) {
    window.Push(static_cast<uint8_t>(Candidate(state)));
    state = Backward(state);
  }
  for (uint64_t i = 0; i < count; ++i) {
    window.Push(static_cast<uint8_t>(Candidate(state)));
    record(state, window);
    state = Backward(state);
  }
}

void RecordWindow(Tally& tally, uint32_t state, const Window& window) {
  ++tally.distinct[window.distinct];
  if (window.listed < kPickSize) {
    ++tally.shortPicks;
    return;
  }
  int seventh = window.position[kPickSize - 1];
  ++tally.seventh[seventh];
  if (seventh >= tally.latest) tally.NoteLatest(seventh, SeedOfWindow(state));
  tally.picks.Add(window.Rank());
}

void RecordDraw(Tally& tally, const WalkedPick& draw) {
  ++tally.distinct[draw.distinct];
  if (draw.seventhIndex < 0) {
    ++tally.shortPicks;
    return;
  }
  ++tally.seventh[draw.seventhIndex];
  if (draw.seventhIndex >= tally.latest) tally.NoteLatest(draw.seventhIndex, draw.seed);
  tally.picks.Add(PickRank(draw.pick));
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

std::vector<WalkedPick> WalkCycleForTest(uint32_t lastSeed, uint32_t count) {
  std::vector<WalkedPick> picks;
  Walk(WindowOfSeed(lastSeed), count, [&](uint32_t state, const Window& window) {
    WalkedPick draw = {SeedOfWindow(state), {}, -1, window.distinct};
    int shown = window.listed < kPickSize ? window.listed : kPickSize;
    for (int i = 0; i < shown; ++i) draw.pick[kPickSize - shown + i] = window.value[i] + 1;
    std::sort(draw.pick, draw.pick + kPickSize);
    if (window.listed >= kPickSize) draw.seventhIndex = window.position[kPickSize - 1];
    picks.push_back(draw);
  });
  return picks;
}

CensusResult RunCensus(const CensusOptions& options) {
  CensusResult result;
  uint64_t first = options.firstSeed, last = options.lastSeed;
  result.walkedTheCycle = first == 0 && last == 0xFFFFFFFFu;
  uint64_t total = result.walkedTheCycle ? kCycle : last - first + 1;
  const uint64_t kChunk = result.walkedTheCycle ? 1u << 22 : 1u << 16;
  uint64_t chunks = (total + kChunk - 1) / kChunk;
  unsigned threads =
      std::max(1u, std::min<unsigned>(options.threads, static_cast<unsigned>(chunks)));

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
        Walk(Jump(0, begin + count - 1), count,
             [&](uint32_t state, const Window& window) { RecordWindow(tally, state, window); });
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
  uint64_t weight = result.walkedTheCycle ? 2 : 1;
  result.seedsCovered = done.load() * weight;
  result.pickCounts.assign(kPossiblePicks, 0);
  std::vector<uint32_t> latestSeeds;
  for (unsigned t = 0; t < threads; ++t) {
    Tally& tally = tallies[t];
    tally.picks.ApplyAll();
    for (uint32_t rank = 0; rank < kPossiblePicks; ++rank) {
      result.pickCounts[rank] += tally.picks.counts[rank];
    }
    for (int i = 0; i < 21; ++i) result.distinctCandidates[i] += tally.distinct[i] * weight;
    for (int i = 0; i < 20; ++i) result.seventhIndex[i] += tally.seventh[i] * weight;
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
