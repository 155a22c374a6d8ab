// The reports read back: each must carry the figures of the count it was made from.
#include "report/census_report.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "census.h"
#include "census_scope.h"
#include "cli_text.h"
#include "count/pick_rank.h"
#include "draw.h"
#include "json_format_check.h"

namespace {

// A hundred seeds around the one whose seventh value stands at index 19.
const CensusScope kHundred = ScopeOfSeeds(1237421400u, 1237421499u);

const CensusResult& HundredSeeds() {
  static const CensusResult result = [] {
    CensusOptions options;
    options.scope = kHundred;
    options.threads = 2;
    return RunCensus(options);
  }();
  return result;
}

// The hundred seeds drawn one by one, counted here without the census: the seeds whose pick holds
// each number, and the seeds of each pick and its line by its rank.
struct PlainCount {
  uint64_t numbers[kNumberSlots] = {};
  std::map<uint32_t, uint64_t> picks;
  std::map<uint32_t, std::string> lines;
};
PlainCount PlainCountOfTheHundred() {
  PlainCount count;
  for (uint32_t seed = kHundred.firstSeed; seed < kHundred.firstSeed + kHundred.seedCount; ++seed) {
    int32_t pick[kPickSize];
    DrawFromSeed(seed, pick);
    for (int32_t number : pick) ++count.numbers[number];
    ++count.picks[PickRank(pick)];
    char line[kLineRoom];
    FormatLine(pick, line);
    count.lines[PickRank(pick)] = line;
  }
  return count;
}

TEST(CensusReport, JsonCarriesTheFigures) {
  const CensusResult& result = HundredSeeds();
  nlohmann::json json =
      nlohmann::json::parse(CensusJson(result, SummarisePicks(result), 1.5, kHundred));
  EXPECT_EQ(json["seeds_covered"], 100);
  EXPECT_EQ(json["covered"]["first_seed"], 1237421400u);
  EXPECT_EQ(json["covered"]["seed_count"], 100);
  EXPECT_EQ(json["covered"]["words"], "seeds 1237421400 to 1237421499");
  EXPECT_EQ(json["method"], "seed by seed");
  EXPECT_EQ(json["seconds"], 1.5);
  EXPECT_EQ(json["threads"], result.workers) << "the threads that really ran";
  EXPECT_EQ(json["target"], "") << "counted seed by seed";
  EXPECT_EQ(json["latest_index"], 19);
  EXPECT_EQ(json["latest_index_seeds"], std::vector<uint32_t>{1237421458u});
  EXPECT_EQ(json["seeds_by_seventh_distinct_index"]["19"], 1);
  const PlainCount plain = PlainCountOfTheHundred();
  for (int n = 1; n <= kHighestNumber; ++n) {
    EXPECT_EQ(json["number_counts"][std::to_string(n)], plain.numbers[n]) << n;
  }
  // The most frequent pick is the lowest rank of those that share the highest count; the least
  // frequent count is shared by so many picks.
  auto [most, least] =
      std::minmax_element(plain.picks.begin(), plain.picks.end(),
                          [](const auto& a, const auto& b) { return a.second > b.second; });
  uint64_t leastShared = 0;
  for (const auto& pick : plain.picks) leastShared += pick.second == least->second;
  EXPECT_EQ(json["most_frequent_pick"]["line"], plain.lines.at(most->first));
  EXPECT_EQ(json["most_frequent_pick"]["seeds"], most->second);
  EXPECT_EQ(json["picks_shown"], plain.picks.size());
  EXPECT_EQ(json["least_frequent_pick"]["seeds"], least->second);
  EXPECT_EQ(json["least_frequent_pick"]["picks_with_this_count"], leastShared);
  EXPECT_EQ(json["interrupted"], false);
}

// The keys a reader of each format may rely on, with the kind of value each holds in a count
// where every figure is defined. A span of clock time adds /covered/from, /covered/to,
// /covered/from_local and /covered/to_local, and names its zone in /zone (null over seeds).
const KeysOfFormat kKeysOfFormat = {
    {1,
     {{"/format", "number"},
      {"/seeds_covered", "number"},
      {"/covered/words", "string"},
      {"/covered/first_seed", "number"},
      {"/covered/seed_count", "number"},
      {"/zone", "null"},
      {"/method", "string"},
      {"/method_note", "string"},
      {"/seconds", "number"},
      {"/threads", "number"},
      {"/target", "string"},
      {"/fewest_distinct_candidates", "number"},
      {"/fewest_distinct_candidates_at_least", "boolean"},
      {"/fewest_distinct_candidates_seed_count", "number"},
      {"/fewest_distinct_candidates_seeds", "array"},
      {"/seeds_with_00_in_the_line", "number"},
      {"/seeds_by_seventh_distinct_index/6", "number"},
      {"/seeds_by_seventh_distinct_index/19", "number"},
      {"/latest_index", "number"},
      {"/latest_index_seed_count", "number"},
      {"/latest_index_seeds", "array"},
      {"/number_counts/1", "number"},
      {"/number_counts/37", "number"},
      {"/most_frequent_numbers", "array"},
      {"/least_frequent_numbers", "array"},
      {"/most_to_least_ratio", "number"},
      {"/possible_picks", "number"},
      {"/picks_shown", "number"},
      {"/picks_never_shown", "number"},
      {"/most_frequent_pick/line", "string"},
      {"/most_frequent_pick/seeds", "number"},
      {"/most_frequent_pick/picks_with_this_count", "number"},
      {"/least_frequent_pick/line", "string"},
      {"/least_frequent_pick/seeds", "number"},
      {"/least_frequent_pick/picks_with_this_count", "number"},
      {"/interrupted", "boolean"}}},
};

TEST(CensusReport, JsonKeepsTheKeysOfItsFormat) {
  const CensusResult& result = HundredSeeds();
  nlohmann::json json =
      nlohmann::json::parse(CensusJson(result, SummarisePicks(result), 1.5, kHundred));
  ExpectKeysOfItsFormat(json, kKeysOfFormat);
  json = nlohmann::json::parse(
      CensusJson(result, SummarisePicks(result), 1.5, ScopeOfSeconds(1796616306, 1796616405)));
  EXPECT_EQ(json["covered"]["from"], "2026-12-07T04:05:06Z");
  EXPECT_EQ(json["covered"]["to"], "2026-12-07T04:06:45Z");
}

TEST(CensusReport, TableCarriesTheFigures) {
  const CensusResult& result = HundredSeeds();
  PickSummary summary = SummarisePicks(result);
  std::string table = CensusTable(result, summary, 1.5, kHundred);
  std::vector<std::string> lines = {
      "Seeds covered: 100 (seeds 1237421400 to 1237421499; each seed drawn one by one)",
      "Time: 1.50 s on 1 thread",  // a hundred seeds make one chunk: one worker counts them
      "Fewest distinct values among the twenty candidates of any seed: 7, for 1 seed: 1237421458",
      "     19              1",
      "Latest index: 19, needed by 1 seed: 1237421458",
  };
  for (int i = kPickSize - 1; i < kCandidateCount; ++i) {
    std::string seeds = Grouped(result.seventhIndex[i]);
    lines.push_back(std::string(7 - std::to_string(i).size(), ' ') + std::to_string(i) +
                    std::string(15 - seeds.size(), ' ') + seeds);
  }
  for (const std::string& line : lines) {
    EXPECT_NE(table.find(line + "\n"), std::string::npos) << "missing: " << line << "\n" << table;
  }
}

// Seed 7 alone: seven numbers once, thirty never. The ratio of the two ends is not defined, and
// the ends are ties, so the reports say so instead of naming one number each.
TEST(CensusReport, OneSeedHasNoRatioAndTiedEnds) {
  CensusOptions options;
  options.scope = ScopeOfSeeds(7, 7);
  CensusResult result = RunCensus(options);
  PickSummary summary = SummarisePicks(result);
  const CensusScope& scope = options.scope;
  std::string table = CensusTable(result, summary, 0.01, scope);
  EXPECT_NE(table.find("Most to least frequent: 7 numbers (tied) / 30 numbers (tied) = n/a\n"),
            std::string::npos)
      << table;
  EXPECT_NE(table.find("Seeds covered: 1 (seed 7; "), std::string::npos) << table;
  nlohmann::json json = nlohmann::json::parse(CensusJson(result, summary, 0.01, scope));
  EXPECT_TRUE(json["most_to_least_ratio"].is_null());
  EXPECT_EQ(json["least_frequent_numbers"].size(), 30u);
  EXPECT_EQ(json["most_frequent_numbers"].size(), 7u);
  std::string svg = CensusChart(result, summary, scope);
  EXPECT_NE(svg.find("most to least n/a"), std::string::npos);
}

// Two picks share the highest count and two the lowest: the summary names the lower rank of each
// pair and counts the tie, and the reports tell it as a tie.
TEST(CensusReport, TiedPicksAreToldAsTies) {
  CensusResult result;
  result.pickCounts.assign(kPossiblePicks, 0);
  result.pickCounts[9] = result.pickCounts[5] = 3;
  result.pickCounts[20] = result.pickCounts[2] = 1;
  result.pickCounts[7] = 2;
  result.seedsCovered = 10;
  PickSummary summary = SummarisePicks(result);
  EXPECT_EQ(summary.picksShown, 5u);
  EXPECT_EQ(summary.mostFrequentRank, 5u);
  EXPECT_EQ(summary.mostFrequentPicks, 2u);
  EXPECT_EQ(summary.leastFrequentRank, 2u);
  EXPECT_EQ(summary.leastFrequentPicks, 2u);
  std::string table = CensusTable(result, summary, 0.01, ScopeOfSeeds(0, 9));
  for (const std::string& line :
       {std::string("Picks the die can show: 5 of the 10,295,472 possible (0.00%); never shown: "
                    "10,295,467"),
        "Most frequent picks: 2 tied at 3 seeds each, the first " + LineOfRank(5),
        "Least frequent picks shown: 2 tied at 1 seed each, the first " + LineOfRank(2)}) {
    EXPECT_NE(table.find(line + "\n"), std::string::npos) << "missing: " << line << "\n" << table;
  }
  nlohmann::json json =
      nlohmann::json::parse(CensusJson(result, summary, 0.01, ScopeOfSeeds(0, 9)));
  EXPECT_EQ(json["picks_never_shown"], kPossiblePicks - 5);
  EXPECT_EQ(json["most_frequent_pick"]["picks_with_this_count"], 2);
  EXPECT_EQ(json["least_frequent_pick"]["line"], LineOfRank(2));
}

// A count along the cycle says which instruction set the walk ran with, in both reports, and how
// it covered the seeds.
TEST(CensusReport, WalkedCountNamesItsTarget) {
  CensusResult result = HundredSeeds();
  result.mode = CensusMode::kSpanOnCycle;
  result.target = "SSE4";
  PickSummary summary = SummarisePicks(result);
  nlohmann::json json = nlohmann::json::parse(CensusJson(result, summary, 1.5, kHundred));
  EXPECT_EQ(json["target"], "SSE4");
  std::string table = CensusTable(result, summary, 1.5, kHundred);
  EXPECT_NE(table.find("\nTarget: SSE4 (the instruction set the walk ran with)\n"),
            std::string::npos)
      << table;
  EXPECT_EQ(CensusTable(HundredSeeds(), summary, 1.5, kHundred).find("Target:"), std::string::npos);
  // Fewer seeds than the whole space along the walk: each draw counted for its seeds inside.
  EXPECT_NE(table.find("each draw counted for those of its two seeds"), std::string::npos) << table;
}

TEST(CensusReport, ChartCarriesTheFigures) {
  const CensusResult& result = HundredSeeds();
  PickSummary summary = SummarisePicks(result);
  std::string svg = CensusChart(result, summary, kHundred);
  EXPECT_EQ(svg.rfind("<svg", 0), 0u);
  EXPECT_EQ(svg.find("</svg>"), svg.size() - 7);
  size_t bars = 0;
  for (size_t at = 0; (at = svg.find("<rect x=", at)) != std::string::npos; ++at) ++bars;
  EXPECT_EQ(bars, 2u * kHighestNumber);  // counts, and differences from the average
  EXPECT_NE(svg.find("100 seeds (seeds 1237421400 to 1237421499)"), std::string::npos);
  for (int n = 1; n <= kHighestNumber; ++n) {
    char title[64];
    std::snprintf(title, sizeof title, "<title>%02d: %s</title>", n,
                  ::Counted(summary.numberCounts[n], "seed", "seeds").c_str());
    EXPECT_NE(svg.find(title), std::string::npos) << title;
  }
}

}  // namespace
