#include "draw.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <string>
#include <vector>

#include "random_source.h"

namespace {

std::vector<int32_t> Outputs(uint32_t seed, int count) {
  Generator generator;
  Seed(generator, seed);
  std::vector<int32_t> values;
  for (int i = 0; i < count; ++i) values.push_back(Next(generator));
  return values;
}

std::vector<int32_t> Candidates(uint32_t seed) {
  int32_t candidates[kCandidateCount];
  DrawCandidates(seed, candidates);
  return std::vector<int32_t>(candidates, candidates + kCandidateCount);
}

std::string LineFor(uint32_t seed) {
  int32_t pick[kPickSize];
  DrawFromSeed(seed, pick);
  char line[7 * 12];
  FormatLine(pick, line);
  return line;
}

std::string LineOfCandidates(std::vector<int32_t> candidates) {
  int32_t pick[kPickSize];
  PickFromCandidates(candidates.data(), pick);
  char line[7 * 12];
  FormatLine(pick, line);
  return line;
}

TEST(Generator, GivesTheListedValues) {
  EXPECT_EQ(Outputs(1, 3), (std::vector<int32_t>{130, 10982, 1090}));
  // Seeding with 0 leaves the state at 1, so seed 0 runs one value ahead of seed 1.
  EXPECT_EQ(Outputs(0, 2), (std::vector<int32_t>{346, 130}));
  EXPECT_EQ(RandomSource.state, 22695478u) << "the process starts as after Seed(1)";
}

TEST(Generator, StaysIn15BitsAndIgnoresBit31OfTheSeed) {
  for (uint32_t seed = 0; seed < 0x80000000u; seed += 0x01003001u) {
    Generator low, high;
    Seed(low, seed);
    Seed(high, seed | 0x80000000u);
    for (int i = 0; i < 64; ++i) {
      int32_t value = Next(low);
      ASSERT_EQ(value, Next(high)) << "seed " << seed << " output " << i;
      ASSERT_GE(value, 0);
      ASSERT_LE(value, 32767);
    }
  }
}

TEST(Draw, WorkedExamples) {
  EXPECT_EQ(Candidates(0), (std::vector<int32_t>{14, 20, 31, 18, 2,  14, 21, 15, 9, 10,
                                                 14, 18, 20, 14, 30, 29, 11, 8,  5, 36}));
  EXPECT_EQ(LineFor(0), "02,14,15,18,20,21,31");
  std::vector<int32_t> shifted = Candidates(1);
  EXPECT_EQ(shifted.front(), 20);
  EXPECT_EQ(shifted.back(), 36);
  EXPECT_EQ(LineFor(1), "02,14,15,18,20,21,31");
}

TEST(Draw, SeventhValueFoundOnlyAtTheLastIndex) {
  EXPECT_EQ(Candidates(1237421458u), (std::vector<int32_t>{13, 14, 29, 32, 13, 14, 29, 13, 14, 3, 3,
                                                           32, 13, 11, 14, 11, 32, 32, 14, 26}));
  EXPECT_EQ(LineFor(1237421458u), "03,11,13,14,26,29,32");
}

TEST(Draw, SeedsDifferingOnlyInBit31DrawAlike) {
  EXPECT_EQ(LineFor(0xFFFFFFFFu), "06,07,09,20,27,30,32");
  EXPECT_EQ(LineFor(2147483647u), "06,07,09,20,27,30,32");
  EXPECT_EQ(LineFor(0x80000000u), LineFor(0));
  EXPECT_EQ(LineFor(0x80000001u), LineFor(1));
}

TEST(Draw, EveryPickIsSevenDistinctAscendingNumbersFrom1To37) {
  for (uint64_t seed = 0; seed <= 0xFFFFFFFFu; seed += 7919 * 13) {
    int32_t pick[kPickSize];
    DrawFromSeed(static_cast<uint32_t>(seed), pick);
    ASSERT_GE(pick[0], 1) << "seed " << seed;
    ASSERT_LE(pick[6], 37) << "seed " << seed;
    for (int slot = 1; slot < kPickSize; ++slot) {
      ASSERT_LT(pick[slot - 1], pick[slot]) << "seed " << seed << " slot " << slot;
    }
  }
}

TEST(Draw, TooFewDistinctCandidatesLeaveLeadingZeros) {
  std::vector<int32_t> three(kCandidateCount, 9);
  three[3] = 30;
  three[19] = 4;
  EXPECT_EQ(LineOfCandidates(three), "00,00,00,00,04,09,30");
  EXPECT_EQ(LineOfCandidates(std::vector<int32_t>(kCandidateCount, 37)), "00,00,00,00,00,00,37");
  // The first candidate always takes the first slot, even when it repeats later.
  std::vector<int32_t> seven = {5, 5, 1, 5, 2, 3, 4, 1, 6, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9};
  EXPECT_EQ(LineOfCandidates(seven), "01,02,03,04,05,06,09");
}

TEST(Draw, FormatsLikePrintfTwoDigitFields) {
  const int32_t samples[] = {0, 1, 9, 10, 37, 99, 100, -1, -9, -10, 12345, INT_MAX, INT_MIN};
  for (int32_t value : samples) {
    int32_t values[kPickSize] = {value, 0, 1, 2, 3, 36, value};
    char line[7 * 12];
    char expected[7 * 12];
    std::snprintf(expected, sizeof expected, "%02d,%02d,%02d,%02d,%02d,%02d,%02d", value, 0, 1, 2,
                  3, 36, value);
    int length = FormatLine(values, line);
    EXPECT_STREQ(line, expected) << "value " << value;
    EXPECT_EQ(length, static_cast<int>(std::string(expected).size()));
  }
}

TEST(Draw, KeyPressDrawsForTheCurrentSecond) {
  FormatResultLine();
  EXPECT_STREQ(ResultLine, "00,00,00,00,00,00,00") << "before any draw";
  for (int attempt = 0; attempt < 3; ++attempt) {
    int32_t before = CalendarSeconds();
    DrawNumbers();
    if (CalendarSeconds() != before) continue;  // the second turned during the draw
    FormatResultLine();
    EXPECT_EQ(std::string(ResultLine), LineFor(static_cast<uint32_t>(before)));
    EXPECT_EQ(std::string(ResultLine).size(), 20u);
    return;
  }
  FAIL() << "the clock kept turning during the draw";
}

TEST(Clock, KeepsMovingPast2038) {
  // 2038-01-19 03:14:07, :08 and :09 UTC.
  EXPECT_EQ(static_cast<uint32_t>(CalendarSecondsAt(2147483647)), 0x7FFFFFFFu);
  EXPECT_EQ(static_cast<uint32_t>(CalendarSecondsAt(2147483648)), 0x80000000u);
  EXPECT_EQ(static_cast<uint32_t>(CalendarSecondsAt(2147483649)), 0x80000001u);
  EXPECT_EQ(LineFor(static_cast<uint32_t>(CalendarSecondsAt(2147483647))), "06,07,09,20,27,30,32");
  EXPECT_EQ(LineFor(static_cast<uint32_t>(CalendarSecondsAt(2147483648))), "02,14,15,18,20,21,31");
  EXPECT_EQ(LineFor(static_cast<uint32_t>(CalendarSecondsAt(2147483649))), "02,14,15,18,20,21,31");
  // Before the mend the seed stuck at 0xFFFFFFFF; one 2^32 period later it moves on as well.
  EXPECT_EQ(CalendarSecondsAt(1), 1);
  EXPECT_EQ(static_cast<uint32_t>(CalendarSecondsAt(4294967296 + 5)), 5u);
  EXPECT_NE(CalendarSeconds(), -1);
}

}  // namespace
