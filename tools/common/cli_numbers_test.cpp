#include "cli_numbers.h"

#include <gtest/gtest.h>

namespace {

TEST(CliSeed, AcceptsDecimalAndHexAcrossTheWholeRange) {
  const struct {
    const char* text;
    uint32_t value;
  } good[] = {{"0", 0},
              {"007", 7},
              {"4294967295", 0xFFFFFFFFu},
              {"0x0", 0},
              {"0XfF", 255},
              {"0xFFFFFFFF", 0xFFFFFFFFu},
              {"0x00000000FFFFFFFF", 0xFFFFFFFFu},
              {"1237421458", 1237421458u}};
  for (const auto& c : good) {
    uint32_t seed = 12345;
    EXPECT_TRUE(ParseSeed(c.text, seed)) << c.text;
    EXPECT_EQ(seed, c.value) << c.text;
  }
  for (const char* bad : {"", "-1", "+1", "4294967296", "0x100000000", "99999999999999999999", "0x",
                          "0x-1", "0x+1", "0x0x1", "12a", "0x1g", " 1", "1 ", "1.5"}) {
    uint32_t seed = 77;
    EXPECT_FALSE(ParseSeed(bad, seed)) << "'" << bad << "'";
    EXPECT_EQ(seed, 77u) << "a failed read leaves the value alone: '" << bad << "'";
  }
}

// A count reads at any size its digits give: one beyond 64 bits is told apart from no number, so
// a program can cut it or refuse it as too large rather than call it malformed.
TEST(CliCount, TellsTooLargeFromNoNumber) {
  uint64_t count = 0;
  EXPECT_EQ(ReadCount("0", count), CountRead::kRead);
  EXPECT_EQ(count, 0u);
  EXPECT_EQ(ReadCount("0x400", count), CountRead::kRead);
  EXPECT_EQ(count, 1024u);
  EXPECT_EQ(ReadCount("18446744073709551615", count), CountRead::kRead);
  EXPECT_EQ(count, UINT64_MAX);
  EXPECT_EQ(ReadCount("0x0000000000000000000000000000001", count), CountRead::kRead);
  EXPECT_EQ(count, 1u);
  count = 5;
  for (const char* large :
       {"18446744073709551616", "99999999999999999999", "0x10000000000000000"}) {
    EXPECT_EQ(ReadCount(large, count), CountRead::kTooLarge) << large;
  }
  for (const char* bad :
       {"", "-2", "+1", "3x", "0x", "1.5", " 1", "99999999999999999999x", "0x1FFFFFFFFFFFFFFFFg"}) {
    EXPECT_EQ(ReadCount(bad, count), CountRead::kNotANumber) << "'" << bad << "'";
  }
  EXPECT_EQ(count, 5u) << "a count that does not read leaves the value alone";
}

}  // namespace
