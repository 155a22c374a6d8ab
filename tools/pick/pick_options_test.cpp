#include "pick_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string Parse(std::vector<const char*> args, PickOptions& options) {
  args.insert(args.begin(), "vorel-pick");
  return ParsePickOptions(static_cast<int>(args.size()), args.data(), options);
}

TEST(PickTime, ReadsUtcSecondsAndRejectsDaysThatDoNotExist) {
  const struct {
    const char* text;
    int64_t seconds;
  } good[] = {{"1970-01-01T00:00:00Z", 0},
              {"2026-12-07T04:05:06Z", 1796616306},
              {"2000-02-29T23:59:59Z", 951868799},
              {"2038-01-19T03:14:08Z", 2147483648},
              {"9999-12-31T23:59:59Z", 253402300799}};
  for (const auto& c : good) {
    int64_t seconds = -1;
    std::string why;
    EXPECT_TRUE(ParseUtcSecond(c.text, seconds, why)) << c.text << ": " << why;
    EXPECT_EQ(seconds, c.seconds) << c.text;
  }
  for (const char* bad : {"2023-02-29T00:00:00Z", "2100-02-29T00:00:00Z", "2026-04-31T00:00:00Z",
                          "2026-13-01T00:00:00Z", "2026-00-10T00:00:00Z", "2026-01-00T00:00:00Z",
                          "2026-01-01T24:00:00Z", "2026-01-01T00:60:00Z", "2026-01-01T00:00:60Z"}) {
    int64_t seconds;
    std::string why;
    EXPECT_FALSE(ParseUtcSecond(bad, seconds, why)) << bad;
    EXPECT_EQ(why, "does not exist") << bad;
  }
  for (const char* bad : {"", "2026-12-07", "2026-12-07T04:05:06", "2026-12-07 04:05:06Z",
                          "2026-12-07T04:05:06+00:00", "2026-1-07T04:05:06Z",
                          "x026-12-07T04:05:06Z", "1969-12-31T23:59:59Z"}) {
    int64_t seconds;
    std::string why;
    EXPECT_FALSE(ParseUtcSecond(bad, seconds, why)) << bad;
  }
}

TEST(PickOptions, ReadsEachMode) {
  PickOptions options;
  EXPECT_EQ(Parse({}, options), "");
  EXPECT_EQ(options.mode, PickOptions::kNow);
  EXPECT_EQ(Parse({"--candidates", "--seed", "0x10"}, options), "");
  EXPECT_EQ(options.mode, PickOptions::kSeed);
  EXPECT_EQ(options.seed, 16u);
  EXPECT_TRUE(options.showCandidates);
  EXPECT_EQ(Parse({"--at", "2038-01-19T03:14:07Z"}, options), "");
  EXPECT_EQ(options.mode, PickOptions::kAt);
  EXPECT_EQ(options.unixSeconds, 2147483647);
  EXPECT_EQ(Parse({"--seed", "5", "--help"}, options), "");
  EXPECT_EQ(options.mode, PickOptions::kHelp);
  EXPECT_EQ(Parse({"--version"}, options), "");
  EXPECT_EQ(options.mode, PickOptions::kVersion);
}

TEST(PickOptions, NamesTheBadValue) {
  const struct {
    std::vector<const char*> args;
    const char* message;
  } cases[] = {
      {{"--seed"}, "vorel-pick: --seed needs a value"},
      {{"--at"}, "vorel-pick: --at needs a value"},
      {{"--seed", "-3"},
       "vorel-pick: seed '-3' is not a number from 0 to 4294967295 (decimal or 0x-hexadecimal)"},
      {{"--at", "2026-02-30T00:00:00Z"}, "vorel-pick: time '2026-02-30T00:00:00Z' does not exist"},
      {{"--at", "yesterday"},
       "vorel-pick: time 'yesterday' is not a UTC time of the form YYYY-MM-DDTHH:MM:SSZ"},
      {{"--seed", "1", "--seed", "2"}, "vorel-pick: --seed given twice"},
      {{"--seed", "1", "--at", "2026-12-07T04:05:06Z"},
       "vorel-pick: --seed and --at cannot be used together"},
      {{"--frobnicate"}, "vorel-pick: unknown option '--frobnicate' (see --help)"},
      {{"--seed", "1", "2"}, "vorel-pick: unexpected argument '2' (see --help)"},
  };
  for (const auto& c : cases) {
    PickOptions options;
    EXPECT_EQ(Parse(c.args, options), c.message);
  }
}

TEST(PickReport, ShowsTheSeedAndCandidatesOnRequest) {
  EXPECT_EQ(PickReport(0, false), "02,14,15,18,20,21,31\n");
  EXPECT_EQ(PickReport(1237421458u, true),
            "seed 1237421458 (0x49C18D92)\n"
            "candidates 13 14 29 32 13 14 29 13 14 03 03 32 13 11 14 11 32 32 14 26\n"
            "03,11,13,14,26,29,32\n");
}

}  // namespace
