// How each instruction set's vector count hands its words to the pick counter (WordQueue in
// pick_words-inl.h, AddToQueues in pick_queue-inl.h): a block at a time once they have waited,
// the rest when the buffer starts again and at the end. Held against the same words added to the
// counter one by one, through queues that fill and counters that wrap.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "count/pick_queue_test.cpp"
#include "hwy/foreach_target.h"  // IWYU pragma: keep

// After foreach_target.h, which includes this file again for each instruction set.
#include "count/pick_words-inl.h"
#include "hwy/highway.h"

HWY_BEFORE_NAMESPACE();
namespace vorel {
namespace HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;
using D = hn::ScalableTag<uint32_t>;

// The words, perStep[s] of them at step s (at most a vector's worth), as the lanes give them up.
void QueueWords(PickCounter& counter, const uint32_t* words, const uint32_t* perStep,
                size_t steps) {
  WordBuffer<D> buffer;
  WordQueue<D> queue;
  for (size_t step = 0; step < steps; ++step) {
    for (uint32_t i = 0; i < perStep[step]; ++i) buffer.words[queue.buffered++] = *words++;
    queue.Count(buffer.words, counter);
  }
  queue.Add(counter, buffer.words + queue.counted, queue.buffered - queue.counted);
}

using Queue = void (*)(PickCounter&, const uint32_t*, const uint32_t*, size_t);
Queue QueueOfThisTarget() {
  return &QueueWords;
}
size_t LanesOfThisTarget() {
  return hn::Lanes(D());
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
HWY_EXPORT(QueueOfThisTarget);
HWY_EXPORT(LanesOfThisTarget);
}  // namespace vorel

namespace {

class QueueWith : public EachTarget {};

// Steps of 0 to a vector's worth of words, some of them for two draws, a few past the last pick
// (refused), over ranks of a few slices, the first and the last among them.
TEST_P(QueueWith, CountsAsTheCounterCountsEachWord) {
  auto queueWords = Dispatched([] { return HWY_DYNAMIC_DISPATCH(vorel::QueueOfThisTarget)(); });
  const size_t lanes = Dispatched([] { return HWY_DYNAMIC_DISPATCH(vorel::LanesOfThisTarget)(); });
  const uint32_t ranks[] = {
      0, 5, 16383, 16384, 300 * 16384 + 77, kPossiblePicks - 1, kPossiblePicks + 3};
  std::mt19937 random(3);
  const size_t kSteps = 3000;
  std::vector<uint32_t> perStep(kSteps), words;
  for (uint32_t& count : perStep) {
    count = random() % (lanes + 1);
    for (uint32_t i = 0; i < count; ++i) {
      words.push_back(PickCounter::Word(ranks[random() % 7], random() % 3 == 0));
    }
  }
  for (CounterShape shape : {CounterShape{32, 1}, CounterShape{96, 3}}) {
    PickCounter queued(shape), plain(shape);
    queueWords(queued, words.data(), perStep.data(), kSteps);
    for (uint32_t word : words) plain.Add(word);
    std::vector<uint32_t> queuedCounts(kPossiblePicks), plainCounts(kPossiblePicks);
    for (PickCounter* counter : {&queued, &plain}) counter->ApplyAll();
    queued.AddCountsTo(queuedCounts);
    plain.AddCountsTo(plainCounts);
    EXPECT_TRUE(queuedCounts == plainCounts)
        << TargetName() << ", " << shape.counterBits << " bits";
    EXPECT_EQ(queued.refused, plain.refused);
    EXPECT_GT(plain.refused, 0u);
  }
}

INSTANTIATE_FOR_EACH_TARGET(QueueWith);

}  // namespace
#endif  // HWY_ONCE
