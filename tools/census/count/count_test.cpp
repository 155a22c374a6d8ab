// Ranks of picks, the tables the walks rank with, and the pick counter against a plain count.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <vector>

#include "count/pick_counter.h"
#include "count/pick_rank.h"

namespace {

TEST(PickRank, CoversEveryPickOnceInOrder) {
  const int32_t lowest[kPickSize] = {1, 2, 3, 4, 5, 6, 7};
  const int32_t highest[kPickSize] = {31, 32, 33, 34, 35, 36, 37};
  EXPECT_EQ(PickRank(lowest), 0u);
  EXPECT_EQ(PickRank(highest), kPossiblePicks - 1);
  for (uint32_t rank : {0u, 1u, 35u, 4096u, 1234567u, kPossiblePicks - 1}) {
    int32_t pick[kPickSize];
    PickFromRank(rank, pick);
    for (int i = 1; i < kPickSize; ++i) EXPECT_LT(pick[i - 1], pick[i]) << "rank " << rank;
    EXPECT_EQ(PickRank(pick), rank);
    uint64_t mask = 0;
    for (int32_t number : pick) mask |= 1ull << (number - 1);
    EXPECT_EQ(RankOfMask(mask), rank);
    EXPECT_EQ(Ranks().Rank(mask), rank);
  }
}

// Feeds the counter a stream of words and holds its counts against a plain map: the ranks lie in
// a few slices, the first and the last among them, and about a third stand for two draws.
void ExpectCountsOfStream(CounterShape shape, int words, const std::vector<uint32_t>& ranks) {
  PickCounter counter(shape);
  std::map<uint32_t, uint32_t> expected;
  std::mt19937 random(20261207);
  for (int i = 0; i < words; ++i) {
    uint32_t rank = ranks[random() % ranks.size()];
    bool twice = random() % 3 == 0;
    counter.Add(PickCounter::Word(rank, twice));
    expected[rank] += twice ? 2 : 1;
  }
  counter.ApplyAll();
  std::vector<uint32_t> counts(kPossiblePicks);
  counter.AddCountsTo(counts);
  int wrong = 0;
  for (uint32_t rank : ranks) {
    if (counts[rank] != expected[rank] && ++wrong <= 5) {
      ADD_FAILURE() << "rank " << rank << ": counted " << counts[rank] << ", drawn "
                    << expected[rank];
    }
  }
  EXPECT_EQ(wrong, 0) << "queue of " << shape.queueLength << ", " << shape.counterBits << "-bit";
  EXPECT_EQ(counter.refused, 0u);
}

std::vector<uint32_t> RanksInSomeSlices() {
  std::vector<uint32_t> ranks;
  for (uint32_t slice : {0u, 1u, 300u, PickCounter::kLastSlice}) {
    for (uint32_t place = 0; place < 12; ++place) {
      ranks.push_back(slice * (PickCounter::kPlace + 1) + place * 7);
    }
  }
  ranks.push_back(kPossiblePicks - 1);
  return ranks;
}

// A queue of one to three tails (128 to 384 entries) and counters of one to three bits: each
// slice's queue fills and is applied tens of times, and each counter wraps, in both halves, tens
// to hundreds of times.
TEST(PickCounter, CountsThroughFullQueuesAndWrapsWhenSmall) {
  for (CounterShape shape : {CounterShape{128, 1}, CounterShape{256, 2}, CounterShape{384, 3}}) {
    ExpectCountsOfStream(shape, 40000, RanksInSomeSlices());
  }
}

// The census's own shape: a few ranks often enough to fill a queue of 32768 twice and to wrap
// byte counters over a hundred times.
TEST(PickCounter, CountsThroughFullQueuesAndWrapsAsTheCensusBuildsIt) {
  ExpectCountsOfStream(CounterShape(), 150000, {7u, 12345u, 12346u, kPossiblePicks - 1});
}

// Byte counters through queues of one tail: the last slice's queue, with the places past the
// last pick dropped, keeps a number of entries that a line need not divide, and its counters wrap
// in both halves.
TEST(PickCounter, CountsWhatTheLastSliceKeepsThroughWraps) {
  PickCounter counter(CounterShape{128, 8});
  const uint32_t last[] = {kPossiblePicks - 1, kPossiblePicks - 2,
                           PickCounter::kLastSlice << PickCounter::kSliceBits};
  std::map<uint32_t, uint32_t> expected;
  uint64_t refused = 0;
  std::mt19937 random(7);
  for (int i = 0; i < 20000; ++i) {
    bool twice = random() % 3 == 0;
    if (random() % 5 == 0) {
      counter.Add(PickCounter::Word(kPossiblePicks + random() % 7, twice));
      refused += twice ? 2 : 1;
    } else {
      uint32_t rank = last[random() % 3];
      counter.Add(PickCounter::Word(rank, twice));
      expected[rank] += twice ? 2 : 1;
    }
  }
  counter.ApplyAll();
  std::vector<uint32_t> counts(kPossiblePicks);
  counter.AddCountsTo(counts);
  for (uint32_t rank : last) EXPECT_EQ(counts[rank], expected[rank]) << "rank " << rank;
  EXPECT_EQ(counter.refused, refused);
}

// A rank past the last pick names a counter that belongs to no pick: it is refused, whether it
// reaches the counter through a full queue or at the end.
TEST(PickCounter, RefusesPlacesPastTheLastPick) {
  PickCounter counter(CounterShape{32, 1});
  for (int i = 0; i < 100; ++i) {
    counter.Add(PickCounter::Word(kPossiblePicks + i % 3, i % 2 == 0));
    counter.Add(PickCounter::Word(kPossiblePicks - 1));
  }
  counter.ApplyAll();
  std::vector<uint32_t> counts(kPossiblePicks);
  counter.AddCountsTo(counts);
  EXPECT_EQ(counter.refused, 150u);  // fifty of the hundred stand for two draws
  EXPECT_EQ(counts[kPossiblePicks - 1], 100u);
  uint64_t total = 0;
  for (uint32_t count : counts) total += count;
  EXPECT_EQ(total, 100u);
}

}  // namespace
