// Ranks of picks: the C(37, 7) sets of seven numbers from 1 to 37, numbered 0 to 10295471 in
// colexicographic order, so that each has one counter. The number at place k (0..6, ascending)
// adds C(number - 1, k + 1), and the sum is the rank. Also the tables the walks rank with.
#pragma once

#include <cstdint>

#include "draw.h"
#include "hwy/base.h"

enum : uint32_t { kPossiblePicks = 10295472 };  // C(37, 7)

// C(n, k) for every n a value can take and every k a place can.
struct Binomials {
  uint32_t table[kHighestNumber + 1][kPickSize + 1];
  constexpr Binomials() : table() {
    for (int n = 0; n <= kHighestNumber; ++n) {
      table[n][0] = 1;
      for (int k = 1; k <= kPickSize; ++k) {
        table[n][k] = n == 0 ? 0 : table[n - 1][k - 1] + table[n - 1][k];
      }
    }
  }
};
constexpr Binomials kBinomials;
static_assert(kBinomials.table[kHighestNumber][kPickSize] == kPossiblePicks, "C(37, 7)");

// Rank of seven numbers (1..37, ascending) among all C(37, 7) picks.
uint32_t PickRank(const int32_t pick[kPickSize]);
void PickFromRank(uint32_t rank, int32_t pick[kPickSize]);

// A pick as the walks hold it: bit v set for the number v + 1.
uint32_t RankOfMask(uint64_t mask);

// Ranks from a 37-bit mask in three table lookups, for the walks that go one draw at a time.
// The mask is cut into chunks of 13, 12 and 12 bits; each chunk's table, given how many set bits
// lie below the chunk, holds the sum of the binomials of its own set bits. For example the pick
// 1,2,3,4,5,6,14 is bits 0..5 and 13: the low chunk 0x3F adds C(0,1) + ... + C(5,6) = 0, the
// middle chunk 0x1 with six bits below adds C(13, 7) = 1716, the high chunk adds nothing.
struct RankTables {
  static constexpr int kLowBits = 13, kMiddleBits = 12, kHighBits = 12;
  static_assert(kLowBits + kMiddleBits + kHighBits == kHighestNumber, "the chunks cover 1..37");
  const uint32_t* low;  // [below][chunk], below 0..7
  const uint32_t* middle;
  const uint32_t* high;

  // The mask must hold seven bits at most.
  HWY_INLINE uint32_t Rank(uint64_t mask) const {
    uint32_t m0 = mask & ((1u << kLowBits) - 1);
    uint32_t m1 = (mask >> kLowBits) & ((1u << kMiddleBits) - 1);
    uint32_t m2 = static_cast<uint32_t>(mask >> (kLowBits + kMiddleBits));
    uint32_t t0 = __builtin_popcount(m0), t1 = t0 + __builtin_popcount(m1);
    return low[m0] + middle[(t0 << kMiddleBits) | m1] + high[(t1 << kHighBits) | m2];
  }
};
const RankTables& Ranks();

// The same for a vector of picks at once, from tables small enough to live in registers. The
// mask is cut at 32: the low word holds the numbers 1 to 32, the high word 33 to 37. Counted from
// the bottom, the k-th set bit of the low word at position p adds C(p, k + 1). Counted from the
// top, the high word's numbers are the seventh, the sixth and so on whatever lies below, so the
// high word adds one entry, high[word]. For 1,2,3,4,5,33,35 the low word adds nothing
// (C(p, p + 1) = 0 for p = 0..4) and high[0b101] = C(34, 7) + C(32, 6).
//
// The walk finds a bit's position p in one of two ways, and each has its tables:
//  - byPlace: p counted as the zeros below the bit (where the processor counts bits in vectors);
//    entry p holds C(p, k + 1). A word whose bits ran out counts 32 zeros, which read entry 0,
//    C(0, k + 1) = 0.
//  - byExponent: p read from the exponent of the bit converted to float, 127 + p, whose low five
//    bits are (p + 31) mod 32; entry i holds C((i + 1) mod 32, k + 1). A word whose bits ran out
//    converts to 0.0, exponent 0, and reads entry 0 = C(1, k + 1) = 0 for k >= 1. The first bit
//    (k = 0) adds C(p, 1) = p without a table: the walk adds the exponent itself, 127 + p, and
//    highLessBias takes the 127 off again. For the pick 2,14,... the first bit is 2^1 = 2.0f,
//    exponent 128, which adds 128 - 127 = 1 = C(1, 1); the second, 2^13, has exponent 140 and
//    reads entry 140 mod 32 = 12 of lowByExponent[1], C(13, 2) = 78.
struct VectorRankTables {
  static constexpr int kHighValues = kHighestNumber - 32;
  static constexpr uint32_t kExponentBias = 127;
  static_assert(kHighValues > 0 && kHighValues <= 5, "the high word indexes a 32-entry table");
  alignas(64) uint32_t lowByPlace[kPickSize][32];
  alignas(64) uint32_t high[32];
  alignas(64) uint32_t lowByExponent[kPickSize][32];
  alignas(64) uint32_t highLessBias[32];  // high[word] - 127, wrapping
};
const VectorRankTables& VectorRanks();
