#include "pick_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string Parse(std::vector<const char*> args, PickOptions& options) {
  args.insert(args.begin(), "vorel-pick");
  return ParsePickOptions(static_cast<int>(args.size()), args.data(), options);
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
       "vorel-pick: time 'yesterday' is neither now nor a UTC time of the form "
       "YYYY-MM-DDTHH:MM:SSZ"},
      {{"--seed", "1", "--seed", "2"}, "vorel-pick: --seed given twice"},
      {{"--candidates", "--candidates"}, "vorel-pick: --candidates given twice"},
      {{"--seed=5", "--seed", "6"}, "vorel-pick: --seed given twice"},
      {{"--seed="},
       "vorel-pick: seed '' is not a number from 0 to 4294967295 (decimal or 0x-hexadecimal)"},
      {{"--at=noon"},
       "vorel-pick: time 'noon' is neither now nor a UTC time of the form YYYY-MM-DDTHH:MM:SSZ"},
      {{"--at", "Now"},
       "vorel-pick: time 'Now' is neither now nor a UTC time of the form YYYY-MM-DDTHH:MM:SSZ"},
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

}  // namespace
