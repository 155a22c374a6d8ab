// Each instruction set's seventh-index histogram (SeventhHistogram, tally_histogram-inl.h),
// counted in four-bit fields of the lanes and emptied into bytes and the tally now and then,
// against a plain array of the same draws' weights.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "count/tally_histogram_test.cpp"
#include "hwy/foreach_target.h"  // IWYU pragma: keep

// After foreach_target.h, which includes this file again for each instruction set.
#include "count/tally_histogram-inl.h"
#include "hwy/highway.h"

// Defined once, outside the passes for each instruction set: a build's lanes, and its count of
// each draw once (the whole space) or with weights up to 2 (a span).
#ifndef VOREL_TALLY_HISTOGRAM_TEST_TYPES
#define VOREL_TALLY_HISTOGRAM_TEST_TYPES
struct HistogramOfTarget {
  using Count = void (*)(const uint32_t*, const uint32_t*, size_t, Tally&);
  size_t lanes;
  Count once, inSpan;
};
#endif

HWY_BEFORE_NAMESPACE();
namespace vorel {
namespace HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;
using D = hn::ScalableTag<uint32_t>;

// Counts index[step * lanes + lane] (6 to 19, or 20 for a short draw) with its weight (0 to
// kMaxWeight) into the tally.
template <int kMaxWeight>
void CountIndexes(const uint32_t* index, const uint32_t* weight, size_t steps, Tally& tally) {
  const D d;
  FieldBytes<D> bytes;
  SeventhHistogram<D, kMaxWeight> histogram;
  histogram.Init(d);
  for (size_t at = 0; at < steps * hn::Lanes(d); at += hn::Lanes(d)) {
    histogram.Add(d, hn::LoadU(d, index + at), hn::LoadU(d, weight + at), bytes, tally);
  }
  histogram.Flush(d, bytes, tally);
}

HistogramOfTarget HistogramOfThisTarget() {
  return {hn::Lanes(D()), &CountIndexes<1>, &CountIndexes<2>};
}

}  // namespace HWY_NAMESPACE
}  // namespace vorel
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "count/each_target.h"

namespace vorel {
HWY_EXPORT(HistogramOfThisTarget);
}  // namespace vorel

namespace {

class HistogramWith : public EachTarget {};

// Enough steps for the fields to be emptied into the bytes hundreds of times and the bytes into
// the tally dozens; most draws at a few indexes, as the walk meets them, some at the ends (6, 19
// and the short ones).
TEST_P(HistogramWith, CountsLikeAPlainArray) {
  auto histogram = Dispatched([] { return HWY_DYNAMIC_DISPATCH(vorel::HistogramOfThisTarget)(); });
  std::mt19937 random(9);
  const size_t kSteps = 20000;
  for (uint32_t maxWeight : {1u, 2u}) {
    std::vector<uint32_t> index(kSteps * histogram.lanes), weight(index.size());
    uint64_t plain[kCandidateCount + 1] = {};
    for (size_t i = 0; i < index.size(); ++i) {
      const uint32_t kSome[] = {6, 9, 10, 11, 19, 20};
      index[i] = random() % 4 ? 9 + random() % 3 : kSome[random() % 6];
      weight[i] = random() % (maxWeight + 1);
      plain[index[i]] += weight[i];
    }
    Tally tally(CounterShape{32, 1});
    (maxWeight == 1 ? histogram.once : histogram.inSpan)(index.data(), weight.data(), kSteps,
                                                         tally);
    for (int i = 0; i < kCandidateCount; ++i) {
      uint64_t counted = 0;
      for (const auto& copy : tally.seventh) counted += copy[i];
      EXPECT_EQ(counted, plain[i])
          << TargetName() << ", index " << i << ", weights to " << maxWeight;
    }
    EXPECT_EQ(tally.shortPicks, plain[kCandidateCount]) << TargetName();
  }
}

INSTANTIATE_FOR_EACH_TARGET(HistogramWith);

}  // namespace
#endif  // HWY_ONCE
