// The words of each instruction set's vector count on their way to the counter
// (pick_words-inl.h): what the lanes give up, held back while their draws repeat and packed
// together, against a plain list of each lane's draws, counted once for the whole space and with
// each draw's weight for a span.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "count/pick_words_test.cpp"
#include "hwy/foreach_target.h"  // IWYU pragma: keep

// After foreach_target.h, which includes this file again for each instruction set.
#include <vector>

#include "count/pick_words-inl.h"
#include "hwy/highway.h"

// Defined once, outside the passes for each instruction set.
#ifndef VOREL_PICK_WORDS_TEST_TYPES
#define VOREL_PICK_WORDS_TEST_TYPES
// One lane's draw as the count hands it over: its word, whether it is short (its word then
// names the place past the last pick, as the walk makes it), and how many of its two seeds
// count (1 or 2; 0 outside a span).
struct LaneDraw {
  uint32_t word;
  bool isShort;
  uint32_t weight;
};

// Takes the words the lanes give up into a list, where the count would queue them.
struct ListOfWords {
  std::vector<uint32_t>* list;
  size_t buffered = 0, counted = 0;
  void Add(PickCounter&, const uint32_t* words, size_t count) {
    list->insert(list->end(), words, words + count);
  }
  void Count(const uint32_t* words, PickCounter& counter) {
    Add(counter, words + counted, buffered - counted);
    buffered = counted = 0;
  }
};

struct WordsOfTarget {
  size_t lanes;
  std::vector<uint32_t> (*giveUpWords)(const LaneDraw* draws, size_t steps, bool inSpan);
};
#endif

HWY_BEFORE_NAMESPACE();
namespace vorel {
namespace HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;
using D = hn::ScalableTag<uint32_t>;

// The words given up for `steps` steps of draws[step * lanes + lane], with the weights when
// `inSpan`, once every draw is in.
std::vector<uint32_t> GiveUpWords(const LaneDraw* draws, size_t steps, bool inSpan) {
  const D d;
  constexpr size_t kLanes = hn::MaxLanes(D());
  PickCounter counter(CounterShape{32, 1});
  std::vector<uint32_t> given;
  ListOfWords queue{&given};
  HWY_ALIGN uint32_t buffer[2 * kLanes];
  HWY_ALIGN uint32_t word[kLanes], isShort[kLanes], seedIn[kLanes], twinIn[kLanes];
  HeldWords<D> held;
  held.Init(d);
  for (const LaneDraw* step = draws; step < draws + steps * hn::Lanes(d); step += hn::Lanes(d)) {
    for (size_t lane = 0; lane < hn::Lanes(d); ++lane) {
      word[lane] = step[lane].word;
      isShort[lane] = step[lane].isShort;
      seedIn[lane] = step[lane].weight > 0;
      twinIn[lane] = step[lane].weight > 1;
    }
    auto set = [&](const uint32_t* lanes) { return hn::Eq(hn::Load(d, lanes), hn::Set(d, 1u)); };
    if (inSpan) {
      const auto in = set(seedIn), twice = set(twinIn);
      held.AddInSpan(d, hn::Load(d, word), set(isShort), in, twice, buffer, queue, counter);
    } else {
      held.Add(d, hn::Load(d, word), set(isShort), buffer, queue, counter);
    }
  }
  held.Finish(d, buffer, queue, counter);
  return given;
}

WordsOfTarget WordsOfThisTarget() {
  return {hn::Lanes(D()), &GiveUpWords};
}

}  // namespace HWY_NAMESPACE
}  // namespace vorel
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "count/each_target.h"

namespace vorel {
HWY_EXPORT(WordsOfThisTarget);
}  // namespace vorel

namespace {

class WordsWith : public EachTarget {
 protected:
  WordsOfTarget Words() const {
    return Dispatched([] { return HWY_DYNAMIC_DISPATCH(vorel::WordsOfThisTarget)(); });
  }
};

// What each lane's draws give the counter, lane by lane: a draw that counts for both its seeds
// one word marked twice; a run of draws that count once with the same word one such word per
// pair and a plain word for one left over; short draws and draws outside a span nothing, and
// they end a run.
std::vector<uint32_t> PlainWords(const std::vector<LaneDraw>& draws, size_t lanes) {
  std::vector<uint32_t> words;
  for (size_t lane = 0; lane < lanes; ++lane) {
    uint32_t runWord = 0, run = 0;
    auto endRun = [&] {
      words.insert(words.end(), run / 2, runWord | PickCounter::kTwice);
      if (run % 2) words.push_back(runWord);
      run = 0;
    };
    for (size_t at = lane; at < draws.size(); at += lanes) {
      const LaneDraw& draw = draws[at];
      if (run && (draw.isShort || draw.weight != 1 || draw.word != runWord)) endRun();
      if (draw.isShort || draw.weight == 0) continue;
      if (draw.weight == 2) {
        words.push_back(draw.word | PickCounter::kTwice);
        continue;
      }
      runWord = draw.word;
      ++run;
    }
    endRun();
  }
  std::sort(words.begin(), words.end());
  return words;
}

// A few picks, so that draws repeat in runs of every length, about one draw in twenty short;
// for a span, weights of 0, 1 and 2 among them.
TEST_P(WordsWith, HeldWordsGiveEachLanesDrawsOnce) {
  const WordsOfTarget words = Words();
  const uint32_t kShortWord = PickCounter::Word(kPossiblePicks);
  std::mt19937 random(5);
  for (bool inSpan : {false, true}) {
    std::vector<LaneDraw> draws(3000 * words.lanes);
    for (LaneDraw& draw : draws) {
      draw.isShort = random() % 20 == 0;
      draw.word = draw.isShort ? kShortWord : PickCounter::Word(random() % 3 * 20000);
      draw.weight = inSpan ? random() % 8 % 3 : 1;
    }
    std::vector<uint32_t> given = words.giveUpWords(draws.data(), 3000, inSpan);
    std::sort(given.begin(), given.end());
    EXPECT_EQ(given, PlainWords(draws, words.lanes)) << TargetName() << (inSpan ? ", a span" : "");
  }
}

INSTANTIATE_FOR_EACH_TARGET(WordsWith);

}  // namespace
#endif  // HWY_ONCE
