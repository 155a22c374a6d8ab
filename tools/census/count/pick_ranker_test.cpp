// The vector ranker of each instruction set (PickRanker, pick_rank-inl.h) against PickRank, lane
// by lane: picks from every part of the rank order, with numbers in each chunk the builds cut a
// pick into and in the high word (33 to 37).
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "count/pick_ranker_test.cpp"
#include "hwy/foreach_target.h"  // IWYU pragma: keep

// After foreach_target.h, which includes this file again for each instruction set.
#include "count/pick_rank-inl.h"
#include "hwy/highway.h"

HWY_BEFORE_NAMESPACE();
namespace vorel {
namespace HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

// The ranks of `count` picks (as masks: bit v set for the number v + 1), a vector of lanes at a
// time; `count` is a multiple of 16.
void RankPicks(const uint64_t* picks, size_t count, uint32_t* ranks) {
  using D = hn::ScalableTag<uint32_t>;
  constexpr size_t kLanes = hn::MaxLanes(D());
  const D d;
  PickRanker<D> ranker;
  ranker.Load(d);
  HWY_ALIGN uint32_t low[kLanes], high[kLanes];
  for (size_t at = 0; at < count; at += hn::Lanes(d)) {
    for (size_t lane = 0; lane < hn::Lanes(d); ++lane) {
      low[lane] = static_cast<uint32_t>(picks[at + lane]);
      high[lane] = static_cast<uint32_t>(picks[at + lane] >> 32);
    }
    hn::StoreU(ranker.Rank(d, hn::Load(d, low), hn::Load(d, high)), d, ranks + at);
  }
}

using RankWith = void (*)(const uint64_t*, size_t, uint32_t*);
RankWith RankerOfThisTarget() {
  return &RankPicks;
}

}  // namespace HWY_NAMESPACE
}  // namespace vorel
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
#include <gtest/gtest.h>

#include <vector>

#include "count/each_target.h"
#include "count/pick_rank.h"

namespace vorel {
HWY_EXPORT(RankerOfThisTarget);
}  // namespace vorel

namespace {

class RankerWith : public EachTarget {};

TEST_P(RankerWith, RanksLikePickRank) {
  // Every 61st rank, and the last 64: each chunk's numbers in every count they come in.
  std::vector<uint32_t> expected;
  for (uint32_t rank = 0; rank < kPossiblePicks; rank += 61) expected.push_back(rank);
  for (uint32_t rank = kPossiblePicks - 64; rank < kPossiblePicks; ++rank) expected.push_back(rank);
  while (expected.size() % 16) expected.push_back(0);
  std::vector<uint64_t> picks;
  for (uint32_t rank : expected) {
    int32_t pick[kPickSize];
    PickFromRank(rank, pick);
    uint64_t mask = 0;
    for (int32_t number : pick) mask |= uint64_t{1} << (number - 1);
    picks.push_back(mask);
  }
  auto rank = Dispatched([] { return HWY_DYNAMIC_DISPATCH(vorel::RankerOfThisTarget)(); });
  std::vector<uint32_t> ranks(picks.size());
  rank(picks.data(), picks.size(), ranks.data());
  int wrong = 0;
  for (size_t i = 0; i < ranks.size(); ++i) {
    if (ranks[i] != expected[i] && ++wrong <= 5) {
      ADD_FAILURE() << TargetName() << ": rank " << ranks[i] << " for the pick of rank "
                    << expected[i];
    }
  }
  EXPECT_EQ(wrong, 0);
}

INSTANTIATE_FOR_EACH_TARGET(RankerWith);

}  // namespace
#endif  // HWY_ONCE
