// The seeds a census covers, asked for as seconds of clock time as the die takes them, and their
// names in the reports.
#include "census_scope.h"

#include <gtest/gtest.h>

#include <string>

#include "census_args.h"
#include "zone_for_test.h"

namespace {

TEST(CensusScope, ClockSecondsAreTheDiesSeeds) {
  ZoneForTest zone("UTC");
  const struct {
    const char* from;
    const char* to;
    uint32_t firstSeed;
    uint64_t seedCount;
  } cases[] = {
      // A year: 365 days of seconds, from the seed of its first second.
      {"2027-01-01T00:00:00Z", "2027-12-31T23:59:59Z", 1798761600u, 365ull * 86400},
      {"2027-01-01T00:00:00Z", "2027-01-01T00:00:00Z", 1798761600u, 1},
      // 2106-02-07T06:28:15Z is second 2^32 - 1: the next second's seed is 0 again.
      {"2106-02-07T06:28:15Z", "2106-02-07T06:28:16Z", 0xFFFFFFFFu, 2},
      {"2106-02-07T06:28:16Z", "2106-02-07T06:28:16Z", 0u, 1},
      // 2^32 seconds or more hold every seed.
      {"1970-01-01T00:00:00Z", "2106-02-07T06:28:15Z", 0u, 1ull << 32},
      {"2000-01-01T00:00:00Z", "2200-01-01T00:00:00Z", 0u, 1ull << 32},
      {"2000-01-01T00:00:00Z", "2136-02-07T06:28:14Z", 946684800u, (1ull << 32) - 1},
  };
  for (const auto& c : cases) {
    const char* argv[] = {"vorel-census", "--from", c.from, "--to", c.to};
    CensusArgs args;
    ASSERT_EQ(ParseCensusArgs(5, argv, args), "") << c.from;
    EXPECT_EQ(args.scope.firstSeed, c.firstSeed) << c.from << " to " << c.to;
    EXPECT_EQ(args.scope.seedCount, c.seedCount) << c.from << " to " << c.to;
    EXPECT_TRUE(args.scope.clockSpan);
    std::string seconds = c.from == std::string(c.to)
                              ? std::string("the second ") + c.from
                              : std::string("the seconds from ") + c.from + " to " + c.to;
    EXPECT_EQ(ScopeInWords(args.scope).rfind(seconds + ", ", 0), 0u) << ScopeInWords(args.scope);
  }
  const struct {
    CensusScope scope;
    const char* words;
  } named[] = {
      {ScopeOfSeeds(0, 0xFFFFFFFFu), "every seed"},
      {ScopeOfSeeds(7, 7), "seed 7"},
      {ScopeOfSeeds(0, 9), "seeds 0 to 9"},
      {ScopeOfSeconds(4294967295, 4294967296),
       "the seconds from 2106-02-07T06:28:15Z to 2106-02-07T06:28:16Z, seeds 4294967295 to 0"},
      {ScopeOfSeconds(1798761600, 1798761600), "the second 2027-01-01T00:00:00Z, seed 1798761600"},
      {ScopeOfSeconds(0, 1ll << 40),
       "the seconds from 1970-01-01T00:00:00Z to 36812-02-20T00:36:16Z, every seed"},
  };
  for (const auto& c : named) EXPECT_EQ(ScopeInWords(c.scope), c.words);
}

}  // namespace
