// The pick counter's words for a vector of draws: each lane's word held back while the next
// draws repeat it, the words given up packed together into a buffer, and the buffer handed to the
// counter a few steps later. Included by the vector walk once per instruction set.
//
// Worked example, one lane. A window of rank 2089011 (slice 2089011 >> 14 = 127, place
// 2089011 & 16383 = 8755) makes the word 127 << 16 | 8755, as PickCounter::Word makes it. If the
// lane held that same word from the step before, and held it once, the two make one entry "twice":
// nothing is given up this step, and the lane holds the word with the kTwice bit. Otherwise the
// held word (with its kTwice bit, if any) is given up, packed with the other lanes' in lane order,
// and the new word is held. A word from a rank never has the kTwice bit, so a held word that has
// it matches no new word and is given up at the next step.
//
// The packed store: with eight lanes and lanes 1 and 4 skipped (skip bits 0b00010010 = 18), the
// nibbles of kKeep8[18] = 0x765320 name, from the lowest, lanes 0, 2, 3, 5, 6 and 7: those go to
// places 0..5 of one lookup across the lanes, and places 6 and 7 hold don't-cares. The builds
// with a compress instruction use it; Highway's own Compress on eight and four lanes copies its
// index table onto the stack at every call with GCC 12, which costs more than the rest of a step.
#if defined(VOREL_PICK_WORDS_INL_H_) == defined(HWY_TARGET_TOGGLE)
#ifdef VOREL_PICK_WORDS_INL_H_
#undef VOREL_PICK_WORDS_INL_H_
#else
#define VOREL_PICK_WORDS_INL_H_
#endif

#include "count/pick_counter.h"
#include "count/pick_queue-inl.h"
#include "hwy/highway.h"

HWY_BEFORE_NAMESPACE();
namespace vorel {
namespace HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

// Where the lanes a packed store keeps come from, indexed by the bits of the lanes to skip.
// Eight lanes: four bits per kept lane, the first kept lane lowest. Four lanes: the bytes of the
// kept lanes in order, for a byte shuffle (the rest of the sixteen are don't-cares).
struct PackTables {
  uint32_t keep8[256] = {};
  uint8_t keep4[16][16] = {};
  constexpr PackTables() {
    for (uint32_t skip = 0; skip < 256; ++skip) {
      int kept = 0;
      for (uint32_t lane = 0; lane < 8; ++lane) {
        if (!(skip >> lane & 1)) keep8[skip] |= lane << (4 * kept++);
      }
    }
    for (uint32_t skip = 0; skip < 16; ++skip) {
      int kept = 0;
      for (uint32_t lane = 0; lane < 4; ++lane) {
        if (skip >> lane & 1) continue;
        for (uint32_t byte = 0; byte < 4; ++byte) {
          keep4[skip][4 * kept + byte] = static_cast<uint8_t>(4 * lane + byte);
        }
        ++kept;
      }
    }
  }
};
alignas(64) static constexpr PackTables kPackTables;

// Stores the lanes of v where `skip` is false at `to`, in lane order, and returns how many.
// Writes a whole vector: `to` needs room for Lanes(d) values. The AVX-512 builds, and any later
// x86 build that Highway places above them, compress in one instruction; the others choose by
// their lanes, so that a build of another width fails to compile here rather than count wrong.
template <class D>
HWY_INLINE size_t StorePacked(D d, hn::Vec<D> v, hn::Mask<D> skip, uint32_t* to) {
  constexpr size_t kLanes = hn::MaxLanes(D());
#if HWY_TARGET <= HWY_AVX3
  hn::StoreU(hn::CompressNot(v, skip), d, to);
#else
  if constexpr (kLanes == 8) {
    uint8_t bits[8];
    hn::StoreMaskBits(d, skip, bits);
    const hn::Vec<D> shifts = hn::ShiftLeft<2>(hn::Iota(d, 0));
    const hn::Vec<D> nibbles = hn::Shr(hn::Set(d, kPackTables.keep8[bits[0]]), shifts);
    const auto from = hn::IndicesFromVec(d, hn::And(nibbles, hn::Set(d, 7u)));
    hn::StoreU(hn::TableLookupLanes(v, from), d, to);
  } else if constexpr (kLanes == 4) {
    uint8_t bits[8];
    hn::StoreMaskBits(d, skip, bits);
    const hn::Repartition<uint8_t, D> d8;
    const auto from = hn::LoadU(d8, kPackTables.keep4[bits[0] & 15]);
    hn::StoreU(hn::BitCast(d, hn::TableLookupBytes(hn::BitCast(d8, v), from)), d, to);
  } else {
    static_assert(kLanes == 1, "a packed store for this many lanes is still to be written");
    hn::StoreU(v, d, to);  // one lane: it counts only when not skipped
  }
#endif
  return hn::Lanes(d) - hn::CountTrue(d, skip);
}

// Words of the pick counter go in no sooner than this many steps after the step that gave them up.
constexpr unsigned kQueueDelay = 8;
constexpr unsigned kBufferSteps = 256;  // steps between two returns to the buffer's start
static_assert(kQueueDelay < kBufferSteps, "a step's words are queued before the buffer restarts");

// Where the words on their way to the counter stand in their buffer. From step kQueueDelay on,
// the counter takes a block of kBlock words at each step, in between the walk's arithmetic, while
// that many wait; the rest goes in when the buffer returns to its start. The processor overlaps
// the counter's waits for memory with the walk, and the words were written long before they are
// read back.
//
// Worked example, sixteen lanes: they give up about 13.5 words a step (0.84 a draw: a draw that
// repeats the pick before it gives up nothing, nor does a short one), and the counter takes
// blocks of twelve. So the words waiting grow by about 1.5 a step, each word waits eight steps
// or more, and the 380 or so left after 256 steps go in one loop. A block of a fixed size is
// straight code; a loop over each step's own number of words would end at a different count each
// step, which the processor guesses wrong nearly every time, discarding the walk's work it had
// begun each time. Eight lanes take blocks of six, four lanes of three; one lane none.
//
// Kept apart from the buffer itself, whose address the counter takes, so that these stay in
// registers. kToCounter false drops the words instead: the census without its counter, which
// the benchmarks time to see what the counter costs.
template <class D, bool kToCounter = true>
struct WordQueue {
  static constexpr size_t kBlock = hn::MaxLanes(D()) * 3 / 4;
  size_t buffered = 0, counted = 0;
  unsigned steps = 0;

  HWY_INLINE void Add(PickCounter& counter, const uint32_t* words, size_t count) {
    if (kToCounter) AddToQueues(counter, words, count);
  }

  HWY_INLINE void Count(const uint32_t* words, PickCounter& counter) {
    if (kBlock && steps >= kQueueDelay && buffered - counted >= kBlock) {
      if (kToCounter) AddBlockToQueues<kBlock>(counter, words + counted);
      counted += kBlock;
    }
    if (++steps == kBufferSteps) {
      Add(counter, words + counted, buffered - counted);
      buffered = counted = 0;
      steps = 0;
    }
  }
};

// The buffer: a vector's worth of room per step, and one more for the lanes' last words.
template <class D>
struct WordBuffer {
  HWY_ALIGN uint32_t words[(kBufferSteps + 1) * hn::MaxLanes(D())];
};

// As PickCounter::Word: the slice up in the top half, the place in it below.
template <class D, class V = hn::Vec<D>>
HWY_INLINE V WordOfRank(D d, V rank) {
  const V slice =
      hn::ShiftLeft<PickCounter::kSliceShift>(hn::ShiftRight<PickCounter::kSliceBits>(rank));
  return hn::Or(slice, hn::And(rank, hn::Set(d, PickCounter::kPlace)));
}

// Each lane's last word, held back while the next draws repeat it. Kept apart from the buffer,
// whose address the counter takes, so that it stays in a register.
template <class D>
struct HeldWords {
  using V = hn::Vec<D>;
  using M = hn::Mask<D>;
  V held;
  M idle;  // lanes that hold no pick's word: before the first window, or after a short one

  HWY_INLINE void Init(D d) {
    held = hn::Set(d, PickCounter::kTwice);
    idle = hn::FirstN(d, hn::Lanes(d));
  }

  template <class Queue>
  HWY_INLINE void Add(D d, V word, M isShort, uint32_t* words, Queue& queue, PickCounter& counter) {
    const M again = hn::Eq(word, held);
    queue.buffered += StorePacked(d, held, hn::Or(again, idle), words + queue.buffered);
    held = hn::Or(word, hn::IfThenElseZero(again, hn::Set(d, PickCounter::kTwice)));
    idle = isShort;
    queue.Count(words, counter);
  }

  // The same where each window counts for those of its two seeds inside a span: `twice` where
  // both are, `inSpan` where at least one is. A window counting twice takes the kTwice bit at
  // once; one counting once joins the held word only where that counts once too; one counting
  // for none leaves its lane holding nothing.
  template <class Queue>
  HWY_INLINE void AddInSpan(D d, V word, M isShort, M inSpan, M twice, uint32_t* words,
                            Queue& queue, PickCounter& counter) {
    const M once = hn::AndNot(twice, inSpan);
    const M again = hn::AndNot(idle, hn::And(hn::Eq(word, held), once));
    queue.buffered += StorePacked(d, held, hn::Or(again, idle), words + queue.buffered);
    held = hn::Or(word, hn::IfThenElseZero(hn::Or(again, twice), hn::Set(d, PickCounter::kTwice)));
    idle = hn::Or(isShort, hn::Not(inSpan));
    queue.Count(words, counter);
  }

  // At the end: what the lanes still hold, and what still waits in the buffer.
  template <class Queue>
  HWY_INLINE void Finish(D d, uint32_t* words, Queue& queue, PickCounter& counter) {
    queue.buffered += StorePacked(d, held, idle, words + queue.buffered);
    queue.Add(counter, words + queue.counted, queue.buffered - queue.counted);
  }
};

}  // namespace HWY_NAMESPACE
}  // namespace vorel
HWY_AFTER_NAMESPACE();

#endif  // VOREL_PICK_WORDS_INL_H_
