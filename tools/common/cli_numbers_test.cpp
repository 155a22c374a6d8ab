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

TEST(CliCount, KeepsToItsRange) {
  uint64_t count = 0;
  EXPECT_TRUE(ParseCount("1", 1, 1024, count));
  EXPECT_EQ(count, 1u);
  EXPECT_TRUE(ParseCount("0x400", 1, 1024, count));
  EXPECT_EQ(count, 1024u);
  EXPECT_TRUE(ParseCount("18446744073709551615", 0, UINT64_MAX, count));
  EXPECT_EQ(count, UINT64_MAX);
  count = 5;
  for (const char* bad : {"0", "1025", "", "-2", "3x", "18446744073709551616"}) {
    EXPECT_FALSE(ParseCount(bad, 1, 1024, count)) << "'" << bad << "'";
  }
  EXPECT_EQ(count, 5u);
}

}  // namespace
