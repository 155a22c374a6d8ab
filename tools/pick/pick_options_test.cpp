#include "pick_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli_time.h"
#include "zone_for_test.h"

namespace {

std::string Parse(std::vector<const char*> args, PickOptions& options) {
  args.insert(args.begin(), "vorel-pick");
  return ParsePickOptions(static_cast<int>(args.size()), args.data(), options);
}

TEST(PickOptions, ReadsEachMode) {
  ZoneForTest zone("UTC");
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
  // --help, then --version, answers whatever else the line holds.
  EXPECT_EQ(Parse({"--seed", "5", "--help"}, options), "");
  EXPECT_EQ(options.mode, PickOptions::kHelp);
  EXPECT_EQ(Parse({"--help", "--seed", "1", "--at", "now"}, options), "");
  EXPECT_EQ(options.mode, PickOptions::kHelp);
  EXPECT_EQ(Parse({"-V", "--seed", "x"}, options), "");
  EXPECT_EQ(options.mode, PickOptions::kVersion);
  EXPECT_EQ(Parse({"--json", "--seed", "7"}, options), "");
  EXPECT_TRUE(options.json);
  EXPECT_FALSE(options.showCandidates);
}

// "now" is the second the program read from the clock as it started.
TEST(PickOptions, ReadsNowAsTheSecondItStarted) {
  ZoneForTest zone("UTC");
  const char* argv[] = {"vorel-pick", "--at", "now"};
  PickOptions options;
  EXPECT_EQ(ParsePickOptions(3, argv, options, 4294967296), "");
  EXPECT_EQ(options.mode, PickOptions::kAt);
  EXPECT_EQ(options.unixSeconds, 4294967296);
  const char* equals[] = {"vorel-pick", "--at=now", "--json"};
  EXPECT_EQ(ParsePickOptions(3, equals, options, 17), "");
  EXPECT_EQ(options.unixSeconds, 17);
}

TEST(PickOptions, TakesAValueAfterAnEqualsSignToo) {
  ZoneForTest zone("UTC");
  PickOptions options;
  EXPECT_EQ(Parse({"--seed=0x10"}, options), "");
  EXPECT_EQ(options.mode, PickOptions::kSeed);
  EXPECT_EQ(options.seed, 16u);
  EXPECT_EQ(Parse({"--at=2038-01-19T03:14:07Z", "--json"}, options), "");
  EXPECT_EQ(options.mode, PickOptions::kAt);
  EXPECT_EQ(options.unixSeconds, 2147483647);
}

// --help reads whole in an 80-column terminal.
TEST(PickOptions, HelpFitsSeventyNineColumns) {
  std::string help = PickHelp();
  for (size_t start = 0, end; start < help.size(); start = end + 1) {
    end = help.find('\n', start);
    EXPECT_LE(end - start, 79u) << help.substr(start, end - start);
  }
}

TEST(PickOptions, NamesTheBadValue) {
  ZoneForTest zone("UTC");
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
       "vorel-pick: time 'yesterday' is not now or a time such as 2026-12-07 13:05:06 (local), "
       "2026-12-07T04:05:06Z or 2026-12-07T13:05:06+09:00"},
      {{"--seed", "1", "--seed", "2"}, "vorel-pick: --seed given twice"},
      {{"--candidates", "--candidates"}, "vorel-pick: --candidates given twice"},
      {{"--seed=5", "--seed", "6"}, "vorel-pick: --seed given twice"},
      {{"--seed="},
       "vorel-pick: seed '' is not a number from 0 to 4294967295 (decimal or 0x-hexadecimal)"},
      {{"--at=noon"},
       "vorel-pick: time 'noon' is not now or a time such as 2026-12-07 13:05:06 (local), "
       "2026-12-07T04:05:06Z or 2026-12-07T13:05:06+09:00"},
      {{"--at", "Now"},
       "vorel-pick: time 'Now' is not now or a time such as 2026-12-07 13:05:06 (local), "
       "2026-12-07T04:05:06Z or 2026-12-07T13:05:06+09:00"},
      {{"--utc", "--utc"}, "vorel-pick: --utc given twice"},
      {{"--json=1"}, "vorel-pick: --json takes no value (given '1')"},
      {{"--colour=red"}, "vorel-pick: unknown option '--colour' (see --help)"},
      {{"--seed=1", "--at=2026-12-07T04:05:06Z"}, "vorel-pick: --seed cannot be used with --at"},
      {{"--seeds", "1"}, "vorel-pick: unknown option '--seeds' (did you mean '--seed'?)"},
      {{"--help", "--colour"}, "vorel-pick: unknown option '--colour' (see --help)"},
      {{"-"}, "vorel-pick: unexpected argument '-' (see --help)"},
      {{"--seed", "5\n"},
       "vorel-pick: seed '5\\n' is not a number from 0 to 4294967295 (decimal or 0x-hexadecimal)"},
      {{"--at", "2026-12-07T04:05:06Z", "--seed", "1"},
       "vorel-pick: --seed cannot be used with --at"},
      {{"--frobnicate"}, "vorel-pick: unknown option '--frobnicate' (see --help)"},
      {{"--seed", "1", "2"}, "vorel-pick: unexpected argument '2' (see --help)"},
  };
  for (const auto& c : cases) {
    PickOptions options;
    EXPECT_EQ(Parse(c.args, options), c.message);
  }
}

// The same instant written four ways gives one second, so one pick, shown as it was written: a
// local time in the zone, one with Z or an offset at that offset. --utc reads a local time in
// UTC instead, and shows UTC.
TEST(PickOptions, ReadsOneInstantWrittenFourWaysAsOneSecond) {
  ZoneForTest zone(kTokyo);
  const struct {
    const char* at;
    const char* shown;
    const char* zone;
  } cases[] = {
      {"2026-12-07 13:05:06", "2026-12-07T13:05:06+09:00", kTokyo},
      {"2026-12-07T13:05:06+09:00", "2026-12-07T13:05:06+09:00", "UTC+09:00"},
      {"2026-12-07T04:05:06Z", "2026-12-07T04:05:06Z", "UTC"},
      {"2026-12-07T09:50:06+05:45", "2026-12-07T09:50:06+05:45", "UTC+05:45"},
  };
  for (const auto& c : cases) {
    PickOptions options;
    EXPECT_EQ(Parse({"--json", "--at", c.at}, options), "") << c.at;
    EXPECT_EQ(options.unixSeconds, 1796616306) << c.at;
    EXPECT_EQ(ShownSecond(options.unixSeconds), c.shown) << c.at;
    EXPECT_EQ(ClockZoneName(), c.zone) << c.at;
  }
  PickOptions options;
  EXPECT_EQ(Parse({"--at", "2026-12-07 04:05:06", "--utc"}, options), "");
  EXPECT_TRUE(options.utc);
  EXPECT_EQ(options.unixSeconds, 1796616306);
  EXPECT_EQ(Parse({"--at", "2026-12-07T13:05:06+09:00", "--utc"}, options), "");
  EXPECT_EQ(ShownSecond(options.unixSeconds), "2026-12-07T04:05:06Z");
}

// A TZ that names no zone is refused where a local time is read or a second shown in the zone,
// and only there.
TEST(PickOptions, RefusesATzThatNamesNoZoneWhereItWouldBeUsed) {
  ZoneForTest zone("Asia/Tokio");
  const std::string refused = "vorel-pick: " + zone.refused;
  PickOptions options;
  EXPECT_EQ(Parse({"--at", "2026-12-07 13:05:06"}, options), refused);
  EXPECT_EQ(Parse({"--json"}, options), refused) << "the JSON shows the second";
  EXPECT_EQ(Parse({}, options), "") << "the line alone shows no second";
  EXPECT_EQ(Parse({"--seed", "5", "--json"}, options), "");
  EXPECT_EQ(Parse({"--at", "2026-12-07T04:05:06Z", "--json"}, options), "") << "shown as written";
  EXPECT_EQ(Parse({"--at", "2026-12-07 13:05:06", "--utc"}, options), "") << "--utc needs none";
  // --help and -V answer without reading the time, so without the zone.
  EXPECT_EQ(Parse({"--at", "2026-12-07 13:05:06", "--help"}, options), "");
  EXPECT_EQ(options.mode, PickOptions::kHelp);
  EXPECT_EQ(Parse({"--json", "-V"}, options), "");
  EXPECT_EQ(options.mode, PickOptions::kVersion);
}

}  // namespace
