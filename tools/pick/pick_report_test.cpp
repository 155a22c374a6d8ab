#include "pick_report.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "json_format_check.h"
#include "zone_for_test.h"

namespace {

TEST(PickReport, ShowsTheSeedAndCandidatesOnRequest) {
  EXPECT_EQ(PickReport(0, false), "02,14,15,18,20,21,31\n");
  EXPECT_EQ(PickReport(1237421458u, true),
            "seed 1237421458 (0x49C18D92)\n"
            "candidates 13 14 29 32 13 14 29 13 14 03 03 32 13 11 14 11 32 32 14 26\n"
            "03,11,13,14,26,29,32\n");
}

TEST(PickJson, CarriesThePickAsNumbersAndAsTheLine) {
  // 2038-01-19T03:14:08Z is second 2^31, the first a signed 32-bit clock cannot count.
  nlohmann::json json = nlohmann::json::parse(PickJson(2147483648u, 2147483648, false));
  EXPECT_EQ(json["format"], kPickJsonFormat);
  EXPECT_EQ(json["seed"], 2147483648u);
  EXPECT_EQ(json["utc_second"], "2038-01-19T03:14:08Z");
  EXPECT_EQ(json["local_second"], "2038-01-19T03:14:08Z") << "in UTC, before a zone is opened";
  EXPECT_EQ(json["utc_offset"], "+00:00");
  EXPECT_EQ(json["zone"], "UTC");
  EXPECT_EQ(json["pick"], (std::vector<int>{2, 14, 15, 18, 20, 21, 31}));
  EXPECT_EQ(json["line"], "02,14,15,18,20,21,31");
  EXPECT_EQ(json["numbers"], json["pick"]) << "as vorel-census --find --json gives it";
  EXPECT_FALSE(json.contains("candidates")) << "only when asked for";

  json = nlohmann::json::parse(PickJson(1237421458u, std::nullopt, true));
  EXPECT_EQ(json["seed"], 1237421458u);
  for (const char* key : {"utc_second", "local_second", "utc_offset", "zone"}) {
    EXPECT_TRUE(json[key].is_null()) << key << ": a seed given is no second";
  }
  EXPECT_EQ(json["line"], "03,11,13,14,26,29,32");
  EXPECT_EQ(json["candidates"], (std::vector<int>{13, 14, 29, 32, 13, 14, 29, 13, 14, 3,
                                                  3,  32, 13, 11, 14, 11, 32, 32, 14, 26}));
}

// The keys a reader of each format may rely on, with the kind of value each holds when the
// pick comes from a second and the candidates are asked for.
const KeysOfFormat kKeysOfFormat = {
    {1,
     {{"/format", "number"},
      {"/seed", "number"},
      {"/utc_second", "string"},
      {"/local_second", "string"},
      {"/utc_offset", "string"},
      {"/zone", "string"},
      {"/pick", "array"},
      {"/line", "string"},
      {"/numbers", "array"},
      {"/candidates", "array"}}},
};

// Beside the UTC second, the same second on the zone's clocks, as vorel-pick --at reads it back.
TEST(PickJson, ShowsTheSecondInTheZoneBesideUtc) {
  ZoneForTest zone(kTokyo);
  nlohmann::json json = nlohmann::json::parse(PickJson(1796616306u, 1796616306, false));
  EXPECT_EQ(json["utc_second"], "2026-12-07T04:05:06Z");
  EXPECT_EQ(json["local_second"], "2026-12-07T13:05:06+09:00");
  EXPECT_EQ(json["utc_offset"], "+09:00");
  EXPECT_EQ(json["zone"], ClockZoneName());
}

TEST(PickJson, KeepsTheKeysOfItsFormat) {
  nlohmann::json json = nlohmann::json::parse(PickJson(5, 1796616306, true));
  ExpectKeysOfItsFormat(json, kKeysOfFormat);
}

}  // namespace
