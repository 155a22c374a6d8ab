#include "count/pick_rank.h"

#include <cstddef>
#include <vector>

uint32_t PickRank(const int32_t pick[kPickSize]) {
  uint32_t rank = 0;
  for (int i = 0; i < kPickSize; ++i) rank += kBinomials.table[pick[i] - 1][i + 1];
  return rank;
}

void PickFromRank(uint32_t rank, int32_t pick[kPickSize]) {
  int below = kHighestNumber;
  for (int i = kPickSize - 1; i >= 0; --i) {
    int c = below - 1;
    while (kBinomials.table[c][i + 1] > rank) --c;
    rank -= kBinomials.table[c][i + 1];
    pick[i] = c + 1;
    below = c;
  }
}

uint32_t RankOfMask(uint64_t mask) {
  int32_t pick[kPickSize];
  int place = 0;
  for (int value = 0; value < kHighestNumber && place < kPickSize; ++value) {
    if (mask >> value & 1) pick[place++] = value + 1;
  }
  return place == kPickSize ? PickRank(pick) : kPossiblePicks;
}

namespace {

// One chunk's table: for each count of set bits below the chunk, each chunk value's sum.
std::vector<uint32_t> ChunkTable(int firstBit, int bits) {
  std::vector<uint32_t> table(static_cast<size_t>(kPickSize + 1) << bits);
  for (int below = 0; below <= kPickSize; ++below) {
    for (uint32_t chunk = 0; chunk < (1u << bits); ++chunk) {
      uint32_t sum = 0;
      int place = below;
      for (int bit = 0; bit < bits; ++bit) {
        if (chunk >> bit & 1)
          sum += ++place <= kPickSize ? kBinomials.table[firstBit + bit][place] : 0;
      }
      table[(static_cast<size_t>(below) << bits) | chunk] = sum;
    }
  }
  return table;
}

VectorRankTables MakeVectorRanks() {
  VectorRankTables tables;
  for (int k = 0; k < kPickSize; ++k) {
    for (int place = 0; place < 32; ++place) {
      tables.lowByPlace[k][place] = kBinomials.table[place][k + 1];
      tables.lowByExponent[k][place] = kBinomials.table[(place + 1) % 32][k + 1];
    }
  }
  for (uint32_t word = 0; word < 32; ++word) {
    uint32_t sum = 0;
    int place = kPickSize;  // counted from the top, the highest number is the seventh
    for (int bit = VectorRankTables::kHighValues - 1; bit >= 0; --bit) {
      if (word >> bit & 1) sum += kBinomials.table[32 + bit][place--];
    }
    tables.high[word] = sum;
    tables.highLessBias[word] = sum - VectorRankTables::kExponentBias;
  }
  return tables;
}

}  // namespace

const RankTables& Ranks() {
  // The tables' storage, filled once; RankTables only points into it.
  static const std::vector<uint32_t> low = ChunkTable(0, RankTables::kLowBits);
  static const std::vector<uint32_t> middle =
      ChunkTable(RankTables::kLowBits, RankTables::kMiddleBits);
  static const std::vector<uint32_t> high =
      ChunkTable(RankTables::kLowBits + RankTables::kMiddleBits, RankTables::kHighBits);
  static const RankTables tables = {low.data(), middle.data(), high.data()};
  return tables;
}

const VectorRankTables& VectorRanks() {
  static const VectorRankTables tables = MakeVectorRanks();
  return tables;
}
