// What the finder answers, without a walk: the pick as a person types it, the seconds each seed
// found gives in a span (its edges, a span longer than the seeds, the 2106 wrap), the check of a
// seed with the die's draw, and the table and JSON.
#include <gtest/gtest.h>

#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "census_scope.h"
#include "cli_time.h"
#include "find/draw_check.h"
#include "find/find_report.h"
#include "find/found_seconds.h"
#include "find/wanted_pick.h"
#include "json_format_check.h"
#include "zone_for_test.h"

namespace {

const int32_t kSeedZeroPick[kPickSize] = {2, 14, 15, 18, 20, 21, 31};

TEST(WantedPick, ReadsEverySpellingOfOnePick) {
  for (const char* text : {"02,14,15,18,20,21,31", "2,14,15,18,20,21,31", "31,21,20,18,15,14,2",
                           "14,02,31,15,20,18,21", "2, 14, 15, 18, 20, 21, 31",
                           " 02 ,14,15,18,20,21,31\t", "002,014,15,18,20,21,0031"}) {
    WantedPick pick;
    std::string why;
    ASSERT_TRUE(ParseWantedPick(text, pick, why)) << text << ": " << why;
    EXPECT_TRUE(std::equal(pick.numbers, pick.numbers + kPickSize, kSeedZeroPick)) << text;
    // As the walks hold it: the values 1, 13, 14, 17, 19, 20 and 30.
    EXPECT_EQ(pick.mask, 0x401A6002u) << text;
    EXPECT_EQ(LineOfPick(pick), "02,14,15,18,20,21,31") << text;
  }
  WantedPick top;
  std::string why;
  ASSERT_TRUE(ParseWantedPick("37,36,35,34,33,32,1", top, why)) << why;
  EXPECT_EQ(top.mask, 0x1F80000001u);  // the numbers from 33 up stand in the high word
}

TEST(WantedPick, NamesWhatIsWrong) {
  const struct {
    const char* text;
    const char* why;
  } bad[] = {
      {"", "is empty: give seven numbers from 1 to 37, as 02,14,15,18,20,21,31"},
      {"  ", "is empty: give seven numbers from 1 to 37, as 02,14,15,18,20,21,31"},
      {"1,2,3,4,5,6", "has 6 numbers, not 7: give seven numbers from 1 to 37 separated by commas"},
      {"1,2,3,4,5,6,7,8",
       "has 8 numbers, not 7: give seven numbers from 1 to 37 separated by "
       "commas"},
      {"7", "has 1 number, not 7: give seven numbers from 1 to 37 separated by commas"},
      {"1,2,3,4,5,6,6", "has 6 twice: the seven numbers are distinct"},
      {"01,2,3,4,5,06,6", "has 6 twice: the seven numbers are distinct"},
      {"0,1,2,3,4,5,6", "has 0, which is not a number from 1 to 37"},
      {"1,2,3,4,5,6,38", "has 38, which is not a number from 1 to 37"},
      {"1,2,3,4,5,6,100000000000000000000",
       "has 100000000000000000000, which is not a number "
       "from 1 to 37"},
      {"1,2,3,4,5,6,x", "has 'x', which is not a number"},
      {"1,2,3,4,5,6,-7", "has '-7', which is not a number"},
      {"1,2,3,4,5,6,+7", "has '+7', which is not a number"},
      {"1,2,3,4,5,6,7.0", "has '7.0', which is not a number"},
      {"1,2,3,4,5,6,", "has '', which is not a number"},
      {"1 2,3,4,5,6,7,8", "has '1 2', which is not a number"},
      {"1;2;3;4;5;6;7", "has '1;2;3;4;5;6;7', which is not a number"},
      // Saved by an editor that puts a byte-order mark first: the mark shows in the message.
      {"\xEF\xBB\xBF"
       "02,14,15,18,20,21,31",
       "has '\\xEF\\xBB\\xBF02', which is not a number"},
  };
  for (const auto& c : bad) {
    WantedPick pick;
    std::string why;
    EXPECT_FALSE(ParseWantedPick(c.text, pick, why)) << c.text;
    EXPECT_EQ(why, c.why) << c.text;
  }
}

// A scope of seeds lists each seed once, ascending, with its first second; --first keeps the
// earliest.
TEST(FoundSeconds, ListsSeedsInOrderWithTheirFirstSecond) {
  FoundSeconds found = SecondsOfSeeds({4294967295u, 1, 0, 2147483648u}, CensusScope(), 0);
  ASSERT_EQ(found.total, 4u);
  ASSERT_EQ(found.listed.size(), 4u);
  const uint32_t order[] = {0, 1, 2147483648u, 4294967295u};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(found.listed[i].seed, order[i]);
    EXPECT_EQ(found.listed[i].second, int64_t{order[i]});
  }
  found = SecondsOfSeeds({7, 3, 5}, ScopeOfSeeds(0, 99), 2);
  EXPECT_EQ(found.total, 3u);
  ASSERT_EQ(found.listed.size(), 2u);
  EXPECT_EQ(found.listed[0].seed, 3u);
  EXPECT_EQ(found.listed[1].seed, 5u);
}

// A span of seconds lists every second of it whose seed was found, both ends included, in time
// order, a seed as often as the span holds it.
TEST(FoundSeconds, ListsEverySecondOfASpanInTimeOrder) {
  const int64_t from = 1796616306;  // 2026-12-07T04:05:06Z, seed 1796616306
  CensusScope span = ScopeOfSeconds(from, from + 9);
  FoundSeconds found =
      SecondsOfSeeds({1796616315u, 1796616306u, 1796616310u, 1796616316u}, span, 0);
  ASSERT_EQ(found.total, 3u);  // 1796616316 lies one past the span's last second
  EXPECT_EQ(found.listed[0].second, from);
  EXPECT_EQ(found.listed[1].second, from + 4);
  EXPECT_EQ(found.listed[2].second, from + 9);
  EXPECT_EQ(found.listed[2].seed, 1796616315u);

  // Two whole cycles and one second more: seed 5 twice, the span's first seed three times.
  CensusScope twice = ScopeOfSeconds(from, from + 2 * kSeedPeriod);
  found = SecondsOfSeeds({5, static_cast<uint32_t>(from)}, twice, 0);
  ASSERT_EQ(found.total, 5u);
  const int64_t seconds[] = {from, kSeedPeriod + 5, from + kSeedPeriod, 2 * kSeedPeriod + 5,
                             from + 2 * kSeedPeriod};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(found.listed[i].second, seconds[i]) << i;
  found = SecondsOfSeeds({5, static_cast<uint32_t>(from)}, twice, 2);
  EXPECT_EQ(found.total, 5u);
  ASSERT_EQ(found.listed.size(), 2u);
  EXPECT_EQ(found.listed[1].second, kSeedPeriod + 5);
}

// Past 2106-02-07T06:28:15Z the seeds start again at 0: seed 0 is 2106-02-07T06:28:16Z there.
TEST(FoundSeconds, FollowsTheSeedsPast2106) {
  int64_t from, to;
  std::string why;
  ASSERT_TRUE(ReadTime("2106-02-07T06:28:10Z", TimeRole::kFrom, 0, from, why));
  ASSERT_TRUE(ReadTime("2106-02-07T06:28:20Z", TimeRole::kTo, 0, to, why));
  FoundSeconds found =
      SecondsOfSeeds({1, 0, 4294967294u, 4294967290u, 5, 6}, ScopeOfSeconds(from, to), 0);
  std::vector<std::string> shown;
  for (const FoundSecond& second : found.listed) {
    shown.push_back(UtcText(second.second) + " " + std::to_string(second.seed));
  }
  EXPECT_EQ(shown, (std::vector<std::string>{"2106-02-07T06:28:10Z 4294967290",
                                             "2106-02-07T06:28:14Z 4294967294",
                                             "2106-02-07T06:28:16Z 0", "2106-02-07T06:28:17Z 1"}));
}

// The die's draw tells a seed that shows the pick from one that does not.
TEST(DrawCheck, RefusesASeedThatDrawsAnotherPick) {
  WantedPick pick;
  std::string why;
  ASSERT_TRUE(ParseWantedPick("02,14,15,18,20,21,31", pick, why));
  EXPECT_TRUE(SeedsDrawnOtherwise({0, 1, 2147483648u, 2147483649u}, pick).empty());
  EXPECT_EQ(SeedsDrawnOtherwise({0, 2, 1, 4294967295u}, pick),
            (std::vector<uint32_t>{2, 4294967295u}));
  EXPECT_EQ(LineOfSeed(4294967295u), "06,07,09,20,27,30,32");
}

// What a report is made of: seed 0's pick among the seeds 0 to 9 (seeds 0 and 1), and in the
// ten seconds around the 2106 wrap (seeds 0 and 1 again, past the wrap).
FindReport SeedZeroReport(const CensusScope& scope, uint64_t first = 0) {
  FindReport report;
  std::string why;
  EXPECT_TRUE(ParseWantedPick("2,14,15,18,20,21,31", report.pick, why));
  report.scope = scope;
  report.first = first;
  report.found = SecondsOfSeeds({1, 0}, scope, first);
  report.mode = CensusMode::kSeedBySeed;
  report.workers = 1;
  report.seconds = 0.25;
  return report;
}

const int64_t kBeforeTheWrap = 4294967290;  // 2106-02-07T06:28:10Z

TEST(FindReport, TableListsThePickHowManyAndTheSeconds) {
  EXPECT_EQ(FindTable(SeedZeroReport(ScopeOfSeeds(0, 9))),
            "Pick: 02,14,15,18,20,21,31\n"
            "Seeds that show it: 2 (seeds 0 to 9)\n"
            "Each seed's second below is its first; it comes again every 4,294,967,296 seconds "
            "(about 136 years)\n"
            "\n"
            "         seed  second (UTC)\n"
            "            0  1970-01-01T00:00:00Z\n"
            "            1  1970-01-01T00:00:01Z\n");
  EXPECT_EQ(FindTable(SeedZeroReport(ScopeOfSeconds(kBeforeTheWrap, kBeforeTheWrap + 10), 1)),
            "Pick: 02,14,15,18,20,21,31\n"
            "Seconds that show it: 2 (the seconds from 2106-02-07T06:28:10Z to "
            "2106-02-07T06:28:20Z, seeds 4294967290 to 4); the first 1 listed\n"
            "\n"
            "second (UTC)                   seed\n"
            "2106-02-07T06:28:16Z              0\n");
  FindReport none = SeedZeroReport(ScopeOfSeeds(2, 9));
  none.found = SecondsOfSeeds({}, none.scope, 0);
  EXPECT_EQ(FindTable(none), "No seed shows 02,14,15,18,20,21,31 (seeds 2 to 9)\n");
  none.scope = ScopeOfSeconds(2, 9);
  EXPECT_EQ(FindTable(none),
            "No second shows 02,14,15,18,20,21,31 (the seconds from 1970-01-01T00:00:02Z to "
            "1970-01-01T00:00:09Z, seeds 2 to 9)\n");
}

// Large seeds read in groups of three digits.
TEST(FindReport, TableGroupsLargeSeeds) {
  FindReport report = SeedZeroReport(CensusScope());
  report.found = SecondsOfSeeds({2147483648u}, report.scope, 0);
  EXPECT_NE(FindTable(report).find("\n2,147,483,648  2038-01-19T03:14:08Z\n"), std::string::npos)
      << FindTable(report);
}

// The keys a reader of each format of the find JSON may rely on. A span of clock time adds
// /covered/from, /covered/to, /covered/from_local and /covered/to_local; without --first, /first
// is null.
const KeysOfFormat kKeysOfFormat = {
    {1,
     {{"/format", "number"},
      {"/pick", "string"},
      {"/line", "string"},
      {"/numbers", "array"},
      {"/covered/words", "string"},
      {"/covered/first_seed", "number"},
      {"/covered/seed_count", "number"},
      {"/zone", "string"},
      {"/first", "number"},
      {"/found", "number"},
      {"/found_unit", "string"},
      {"/repeats_every", "number"},
      {"/matches", "array"},
      {"/matches/0/seed", "number"},
      {"/matches/0/second", "string"},
      {"/matches/0/unix_second", "number"},
      {"/matches/0/local_second", "string"},
      {"/matches/0/utc_offset", "string"},
      {"/method", "string"},
      {"/seconds", "number"},
      {"/threads", "number"},
      {"/target", "string"}}},
};

TEST(FindReport, JsonKeepsTheKeysOfItsFormat) {
  nlohmann::json json = nlohmann::json::parse(
      FindJson(SeedZeroReport(ScopeOfSeconds(kBeforeTheWrap, kBeforeTheWrap + 10), 5)));
  ExpectKeysOfItsFormat(json, kKeysOfFormat);
  EXPECT_EQ(json["covered"]["from"], "2106-02-07T06:28:10Z");
  EXPECT_EQ(json["covered"]["to"], "2106-02-07T06:28:20Z");
}

// Each second on the zone's clocks, with its offset, and the zone named once, in the heading;
// the JSON keeps the UTC second beside it.
TEST(FindReport, ShowsTheSecondsOnTheZonesClocks) {
  ZoneForTest zone("Asia/Tokyo");
  EXPECT_EQ(FindTable(SeedZeroReport(ScopeOfSeeds(0, 9), 1)),
            "Pick: 02,14,15,18,20,21,31\n"
            "Seeds that show it: 2 (seeds 0 to 9); the first 1 listed\n"
            "Each seed's second below is its first; it comes again every 4,294,967,296 seconds "
            "(about 136 years)\n"
            "\n"
            "         seed  second (Asia/Tokyo)\n"
            "            0  1970-01-01T09:00:00+09:00\n");
  FindReport report = SeedZeroReport(ScopeOfSeconds(kBeforeTheWrap, kBeforeTheWrap + 10));
  EXPECT_EQ(FindTable(report),
            "Pick: 02,14,15,18,20,21,31\n"
            "Seconds that show it: 2 (the seconds from 2106-02-07T15:28:10+09:00 to "
            "2106-02-07T15:28:20+09:00, seeds 4294967290 to 4)\n"
            "\n"
            "second (Asia/Tokyo)                 seed\n"
            "2106-02-07T15:28:16+09:00              0\n"
            "2106-02-07T15:28:17+09:00              1\n");
  nlohmann::json json = nlohmann::json::parse(FindJson(report));
  EXPECT_EQ(json["zone"], "Asia/Tokyo");
  EXPECT_EQ(json["covered"]["from_local"], "2106-02-07T15:28:10+09:00");
  EXPECT_EQ(json["matches"][0]["second"], "2106-02-07T06:28:16Z");
  EXPECT_EQ(json["matches"][0]["local_second"], "2106-02-07T15:28:16+09:00");
  EXPECT_EQ(json["matches"][0]["utc_offset"], "+09:00");
}

TEST(FindReport, JsonCarriesWhatWasFound) {
  nlohmann::json json = nlohmann::json::parse(
      FindJson(SeedZeroReport(ScopeOfSeconds(kBeforeTheWrap, kBeforeTheWrap + 10), 5)));
  EXPECT_EQ(json["pick"], "02,14,15,18,20,21,31");
  EXPECT_EQ(json["line"], "02,14,15,18,20,21,31") << "as vorel-pick --json gives it";
  EXPECT_EQ(json["numbers"], (std::vector<int>{2, 14, 15, 18, 20, 21, 31}));
  EXPECT_EQ(json["first"], 5);
  EXPECT_EQ(json["found"], 2);
  EXPECT_EQ(json["found_unit"], "seconds");
  EXPECT_EQ(json["repeats_every"], 4294967296u);
  ASSERT_EQ(json["matches"].size(), 2u);
  EXPECT_EQ(json["matches"][0]["seed"], 0);
  EXPECT_EQ(json["matches"][0]["second"], "2106-02-07T06:28:16Z");
  EXPECT_EQ(json["matches"][0]["unix_second"], 4294967296u);
  EXPECT_EQ(json["matches"][1]["seed"], 1);
  EXPECT_EQ(json["method"], "seed by seed");
  EXPECT_EQ(json["seconds"], 0.25);
  EXPECT_EQ(json["threads"], 1);

  FindReport none = SeedZeroReport(ScopeOfSeeds(2, 9));
  none.found = SecondsOfSeeds({}, none.scope, 0);
  json = nlohmann::json::parse(FindJson(none));
  EXPECT_TRUE(json["first"].is_null());
  EXPECT_EQ(json["found"], 0);
  EXPECT_EQ(json["found_unit"], "seeds");
  EXPECT_TRUE(json["matches"].is_array());
  EXPECT_TRUE(json["matches"].empty());
}

}  // namespace
