// The census's command line: each bad one named in one line, and what the good ones set.
#include "census_args.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "census.h"
#include "cli_time.h"
#include "zone_for_test.h"

namespace {

TEST(CensusArgs, NamesWhatIsWrong) {
  const struct {
    std::vector<const char*> args;
    const char* message;
  } cases[] = {
      {{"--seeds", "10"},
       "vorel-census: seed range '10' is not A:B with seeds from 0 to 4294967295"},
      {{"--seeds", "5:x"},
       "vorel-census: seed range '5:x' is not A:B with seeds from 0 to 4294967295"},
      {{"--seeds", ":"}, "vorel-census: seed range ':' is not A:B with seeds from 0 to 4294967295"},
      {{"--seeds", "9:3"}, "vorel-census: seed range '9:3' is empty (A is above B)"},
      {{"--threads", "0"}, "vorel-census: thread count '0' is not a whole number from 1 up"},
      {{"--threads", "0x0"}, "vorel-census: thread count '0x0' is not a whole number from 1 up"},
      {{"--threads", "-2"}, "vorel-census: thread count '-2' is not a whole number from 1 up"},
      {{"--threads"}, "vorel-census: --threads needs a value"},
      {{"--fast"}, "vorel-census: unknown option '--fast' (see --help)"},
      {{"--seed", "5"}, "vorel-census: unknown option '--seed' (did you mean '--seeds'?)"},
      {{"--thread", "5"}, "vorel-census: unknown option '--thread' (did you mean '--threads'?)"},
      {{"--jsn"}, "vorel-census: unknown option '--jsn' (did you mean '--json'?)"},
      {{"--targets=AVX2"}, "vorel-census: unknown option '--targets' (did you mean '--target'?)"},
      {{"--help", "--bogus"}, "vorel-census: unknown option '--bogus' (see --help)"},
      {{"extra"}, "vorel-census: unexpected argument 'extra' (see --help)"},
      {{"--seeds", "1:2", "--", "--json"},
       "vorel-census: unexpected argument '--json' after -- (see --help)"},
  };
  for (const auto& c : cases) {
    std::vector<const char*> argv = c.args;
    argv.insert(argv.begin(), "vorel-census");
    CensusArgs args;
    EXPECT_EQ(ParseCensusArgs(static_cast<int>(argv.size()), argv.data(), args), c.message);
  }
  const char* good[] = {"vorel-census", "--seeds", "0x10:0x1F", "--threads", "1024", "--json"};
  CensusArgs args;
  EXPECT_EQ(ParseCensusArgs(6, good, args), "");
  EXPECT_EQ(args.scope.firstSeed, 16u);
  EXPECT_EQ(args.scope.seedCount, 16u);
  EXPECT_EQ(args.threads, 1024u);
  EXPECT_TRUE(args.json);
  EXPECT_TRUE(args.progress) << "a progress line unless --no-progress";
}

// Any thread count from 1 up reads, however large: the cores cut it later, with a note that
// repeats the count asked for. --first refuses one too large to hold.
TEST(CensusArgs, ReadsCountsOfAnySize) {
  const struct {
    const char* typed;
    unsigned threads;
    const char* asked;
  } counts[] = {
      {"1025", 1025, "1,025"},
      {"0003", 3, "3"},
      {"0x401", 1025, "0x401"},
      {"18446744073709551615", UINT_MAX, "18,446,744,073,709,551,615"},
      {"99999999999999999999", UINT_MAX, "99,999,999,999,999,999,999"},
  };
  for (const auto& c : counts) {
    const char* argv[] = {"vorel-census", "--threads", c.typed};
    CensusArgs args;
    EXPECT_EQ(ParseCensusArgs(3, argv, args), "") << c.typed;
    EXPECT_EQ(args.threads, c.threads) << c.typed;
    EXPECT_EQ(args.threadsAsked, c.asked) << c.typed;
  }
  const char* first[] = {"vorel-census", "--find", "1,2,3,4,5,6,7", "--first",
                         "18446744073709551616"};
  CensusArgs args;
  EXPECT_EQ(ParseCensusArgs(5, first, args),
            "vorel-census: --first count '18446744073709551616' is too large (at most "
            "18446744073709551615)");
  first[4] = "18446744073709551615";
  EXPECT_EQ(ParseCensusArgs(5, first, args), "");
  EXPECT_EQ(args.first, UINT64_MAX);
}

// --help and --version answer whatever else the line holds, --help first; "--" ends the options.
TEST(CensusArgs, AnswersHelpAndVersionAndEndsOptionsAtDashDash) {
  CensusArgs args;
  for (std::vector<const char*> line : {std::vector<const char*>{"--help", "--first", "3"},
                                        {"--seeds", "9:3", "-V", "-h"},
                                        {"--verify", "--json", "--help"}}) {
    line.insert(line.begin(), "vorel-census");
    EXPECT_EQ(ParseCensusArgs(static_cast<int>(line.size()), line.data(), args), "") << line[1];
    EXPECT_TRUE(args.help) << line[1];
  }
  const char* version[] = {"vorel-census", "--find", "1,2", "-V"};
  EXPECT_EQ(ParseCensusArgs(4, version, args), "");
  EXPECT_TRUE(args.version);
  EXPECT_FALSE(args.help);
  const char* ended[] = {"vorel-census", "--seeds", "1:2", "--no-progress", "--"};
  EXPECT_EQ(ParseCensusArgs(5, ended, args), "");
  EXPECT_FALSE(args.help || args.version);
  EXPECT_EQ(args.scope.seedCount, 2u);
  EXPECT_FALSE(args.progress);
}

TEST(CensusArgs, RefusesWhatCannotGoTogetherAndShowsValuesSafely) {
  ZoneForTest zone("UTC");
  const struct {
    std::vector<const char*> args;
    const char* message;
  } cases[] = {
      {{"--seeds", "1:2", "--seeds", "3:4"}, "vorel-census: --seeds given twice"},
      {{"--json", "--json"}, "vorel-census: --json given twice"},
      {{"--seeds", "1:2", "--from", "2027-01-01T00:00:00Z", "--to", "2027-01-01T00:00:00Z"},
       "vorel-census: --seeds cannot be used with --from"},
      {{"--to", "2027-01-01T00:00:00Z", "--seeds", "1:2"},
       "vorel-census: --seeds cannot be used with --to"},
      {{"--from", "2027-01-01T00:00:00Z"},
       "vorel-census: --from needs --to (or --find, which searches one cycle of 2^32 seconds from "
       "it on)"},
      {{"--to", "2027-01-01T00:00:00Z"}, "vorel-census: --to needs --from"},
      {{"--find", "1,2,3,4,5,6,7", "--to", "now"}, "vorel-census: --to needs --from"},
      {{"--from", "2027-01-02T00:00:00Z", "--to", "2027-01-01T00:00:00Z"},
       "vorel-census: time span 2027-01-02T00:00:00Z to 2027-01-01T00:00:00Z is empty (--to is "
       "before --from)"},
      {{"--from", "2027-02-29T00:00:00Z", "--to", "2027-03-01T00:00:00Z"},
       "vorel-census: time '2027-02-29T00:00:00Z' does not exist"},
      {{"--verify", "--json"},
       "vorel-census: --verify reports whether the counts agree, not the figures: it cannot be "
       "used with --json"},
      {{"--verify", "--chart", "c.svg"},
       "vorel-census: --verify reports whether the counts agree, not the figures: it cannot be "
       "used with --chart"},
      {{"--seeds", "5\n"},
       "vorel-census: seed range '5\\n' is not A:B with seeds from 0 to 4294967295"},
      {{"--\x1B[2J"}, "vorel-census: unknown option '--\\x1B[2J' (see --help)"},
  };
  for (const auto& c : cases) {
    std::vector<const char*> argv = c.args;
    argv.insert(argv.begin(), "vorel-census");
    CensusArgs args;
    EXPECT_EQ(ParseCensusArgs(static_cast<int>(argv.size()), argv.data(), args), c.message);
  }
  const char* verifySpan[] = {"vorel-census", "--verify", "--seeds", "0:9"};
  CensusArgs args;
  EXPECT_EQ(ParseCensusArgs(4, verifySpan, args), "") << "--verify checks the seeds asked for";
  EXPECT_EQ(args.scope.seedCount, 10u);
}

// The same as a std::string, for cases given as vectors.
std::string Parse(std::vector<const char*> argv, CensusArgs& args, int64_t now = 0) {
  argv.insert(argv.begin(), "vorel-census");
  return ParseCensusArgs(static_cast<int>(argv.size()), argv.data(), args, now);
}

TEST(CensusArgs, FindTakesAPickAndWhatToListOfIt) {
  ZoneForTest zone("UTC");
  CensusArgs args;
  EXPECT_EQ(Parse({"--find", "31,2,14,15,18,20,21", "--first", "3", "--json"}, args), "");
  EXPECT_TRUE(args.find);
  EXPECT_EQ(args.pick.mask, 0x401A6002u);
  EXPECT_EQ(args.first, 3u);
  EXPECT_EQ(args.scope.seedCount, kSeedSpace) << "every seed by default";
  EXPECT_FALSE(args.scope.clockSpan);
  EXPECT_EQ(Parse({"--find=02,14,15,18,20,21,31", "--seeds", "0:9", "--first=1"}, args), "");
  EXPECT_EQ(args.pick.numbers[6], 31);
  EXPECT_EQ(args.scope.seedCount, 10u);
  EXPECT_EQ(Parse({"--seeds", "0:9"}, args), "");
  EXPECT_FALSE(args.find);
  EXPECT_EQ(args.first, 0u) << "all of them";
}

// Alone, --from searches one whole cycle from there: every seed once, each at its next second.
// "now" is the second the program read as it started.
TEST(CensusArgs, FindFromAloneSearchesOneCycle) {
  ZoneForTest zone("UTC");
  CensusArgs args;
  EXPECT_EQ(Parse({"--find", "1,2,3,4,5,6,7", "--from", "now", "--first", "3"}, args, 1796616306),
            "");
  EXPECT_TRUE(args.scope.clockSpan);
  EXPECT_EQ(args.scope.fromSecond, 1796616306);
  EXPECT_EQ(args.scope.toSecond, 1796616306 + 4294967295);
  EXPECT_EQ(args.scope.seedCount, kSeedSpace);
  EXPECT_EQ(Parse({"--find", "1,2,3,4,5,6,7", "--from", "now", "--to", "2106-02-07T06:28:20Z"},
                  args, 4294967290),
            "");
  EXPECT_EQ(args.scope.fromSecond, 4294967290);
  EXPECT_EQ(args.scope.firstSeed, 4294967290u);
  EXPECT_EQ(args.scope.seedCount, 11u);
  EXPECT_EQ(Parse({"--from", "2027-01-01T00:00:00Z", "--to", "now"}, args, 1830297600), "");
  EXPECT_EQ(args.scope.toSecond, 1830297600) << "the census takes now too";
  EXPECT_EQ(Parse({"--from", "now", "--to", "2027-01-01T00:00:00Z"}, args, 1830297600),
            "vorel-census: time span 2028-01-01T00:00:00Z to 2027-01-01T00:00:00Z is empty (--to "
            "is before --from)");
  // Not past the last second read, so that every second listed reads back as --from or --at.
  EXPECT_EQ(Parse({"--find", "1,2,3,4,5,6,7", "--from", "9999-12-31T23:59:59Z"}, args), "");
  EXPECT_EQ(args.scope.toSecond, kLastSecond);
  EXPECT_EQ(args.scope.seedCount, 1u);
}

// --from 2027-01-01 --to 2027-12-31 is the year where the user is, or with --utc the UTC year.
TEST(CensusArgs, ReadsTheSpanInTheZone) {
  ZoneForTest zone("Asia/Tokyo");
  CensusArgs args;
  EXPECT_EQ(Parse({"--from", "2027-01-01", "--to", "2027-12-31"}, args), "");
  EXPECT_EQ(args.scope.fromSecond, 1798729200) << "2026-12-31T15:00:00Z";
  EXPECT_EQ(args.scope.toSecond, 1830265199) << "2027-12-31T14:59:59Z";
  EXPECT_EQ(Parse({"--from", "2027-01-01", "--to", "2027-12-31", "--utc"}, args), "");
  EXPECT_EQ(args.scope.fromSecond, 1798761600);
  EXPECT_EQ(args.scope.toSecond, 1830297599);
  EXPECT_EQ(Parse({"--from", "2027-01-02", "--to", "2027-01-01"}, args),
            "vorel-census: time span 2027-01-02T00:00:00+09:00 to 2027-01-01T23:59:59+09:00 is "
            "empty (--to is before --from)");
}

// A TZ that names no zone is refused where a time is read or a second listed, and only there.
TEST(CensusArgs, RefusesATzThatNamesNoZoneWhereItWouldBeUsed) {
  ZoneForTest zone("Asia/Tokio");
  const std::string refused = "vorel-census: " + zone.refused;
  CensusArgs args;
  EXPECT_EQ(Parse({"--from", "2027-01-01T00:00:00Z", "--to", "now"}, args), refused);
  EXPECT_EQ(Parse({"--find", "1,2,3,4,5,6,7"}, args), refused) << "it lists seconds";
  EXPECT_EQ(Parse({"--find", "1,2,3,4,5,6,7", "--utc"}, args), "");
  EXPECT_EQ(Parse({"--seeds", "0:9", "--json"}, args), "");
  // --help and -V answer without reading the times, so without the zone.
  EXPECT_EQ(Parse({"--from", "2027-01-01", "--to", "now", "--help"}, args), "");
  EXPECT_TRUE(args.help);
  EXPECT_EQ(Parse({"--find", "1,2,3,4,5,6,7", "-V"}, args), "");
  EXPECT_TRUE(args.version);
}

TEST(CensusArgs, FindNamesWhatIsWrong) {
  ZoneForTest zone("UTC");
  const struct {
    std::vector<const char*> args;
    const char* message;
  } cases[] = {
      {{"--find", "1,2,3,4,5,6"},
       "vorel-census: pick '1,2,3,4,5,6' has 6 numbers, not 7: give seven numbers from 1 to 37 "
       "separated by commas"},
      {{"--find=1,2,3,4,5,6,"},
       "vorel-census: pick '1,2,3,4,5,6,\\x1B' has '\\x1B', which is not a number"},
      {{"--find"}, "vorel-census: --find needs a value"},
      {{"--find", "1,2,3,4,5,6,7", "--find", "1,2,3,4,5,6,7"}, "vorel-census: --find given twice"},
      {{"--find", "1,2,3,4,5,6,7", "--chart", "c.svg"},
       "vorel-census: --find lists the seconds of one pick: it cannot be used with --chart"},
      {{"--verify", "--find", "1,2,3,4,5,6,7"},
       "vorel-census: --find lists the seconds of one pick: it cannot be used with --verify"},
      {{"--find", "1,2,3,4,5,6,7", "--first", "0"},
       "vorel-census: --first count '0' is not a whole number from 1 up"},
      {{"--find", "1,2,3,4,5,6,7", "--first", "three"},
       "vorel-census: --first count 'three' is not a whole number from 1 up"},
      {{"--find", "1,2,3,4,5,6,7", "--first", ""},
       "vorel-census: --first count '' is not a whole number from 1 up"},
      {{"--first", "3"}, "vorel-census: --first needs --find"},
      {{"--find", "1,2,3,4,5,6,7", "--from", "yesterday"},
       "vorel-census: time 'yesterday' is not now, a date such as 2027-01-01, or a time such as "
       "2026-12-07 13:05:06 (local), 2026-12-07T04:05:06Z or 2026-12-07T13:05:06+09:00"},
      {{"--find", "1,2,3,4,5,6,7", "--from", "now", "--seeds", "0:9"},
       "vorel-census: --seeds cannot be used with --from"},
  };
  for (const auto& c : cases) {
    CensusArgs args;
    EXPECT_EQ(Parse(c.args, args), c.message);
  }
}

// --help reads whole in an 80-column terminal, the instruction sets too, on the line after
// their heading, where the completions read them.
TEST(CensusArgs, HelpFitsSeventyNineColumns) {
  std::string help = CensusHelp();
  for (size_t start = 0, end; start < help.size(); start = end + 1) {
    end = help.find('\n', start);
    EXPECT_LE(end - start, 79u) << help.substr(start, end - start);
  }
  EXPECT_NE(
      help.find("\nInstruction sets this processor runs, best first:\n  " + TargetList() + "\n"),
      std::string::npos);
}

// --target takes the instruction sets this processor runs, by Highway's names, and nothing else.
TEST(CensusArgs, TargetIsOneThisProcessorRuns) {
  std::vector<std::string> targets = CensusTargets();
  for (const std::string& target : targets) {
    const char* argv[] = {"vorel-census", "--target", target.c_str()};
    CensusArgs args;
    EXPECT_EQ(ParseCensusArgs(3, argv, args), "");
    EXPECT_EQ(args.target, target);
  }
  std::string list;
  for (const std::string& target : targets) list += (list.empty() ? "" : ", ") + target;
  for (const char* wrong : {"NEON", "avx2", ""}) {
    const char* argv[] = {"vorel-census", "--target", wrong};
    CensusArgs args;
    EXPECT_EQ(ParseCensusArgs(3, argv, args), std::string("vorel-census: target '") + wrong +
                                                  "' is not one this processor runs (" + list +
                                                  ")");
  }
  const char* missing[] = {"vorel-census", "--target"};
  CensusArgs args;
  EXPECT_EQ(ParseCensusArgs(2, missing, args), "vorel-census: --target needs a value");
}

}  // namespace
