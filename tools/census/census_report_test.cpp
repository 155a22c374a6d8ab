// The reports read back: each must carry the figures of the count it was made from.
#include "census_report.h"

#include <gtest/gtest.h>

#include <cctype>
#include <charconv>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "draw.h"

namespace {

// Just enough JSON to read the report back: the whole grammar, numbers kept as their text.
struct Json {
  enum Kind { kLiteral, kNumber, kString, kArray, kObject } kind = kLiteral;
  std::string text;  // a number's or a literal's characters, a string's contents
  std::vector<Json> items;
  std::vector<std::pair<std::string, Json>> members;

  const Json& operator[](const std::string& key) const {
    for (const auto& member : members) {
      if (member.first == key) return member.second;
    }
    static const Json missing;
    ADD_FAILURE() << "no member '" << key << "'";
    return missing;
  }
};

struct JsonReader {
  const std::string& in;
  size_t at = 0;

  void Space() {
    while (at < in.size() && (in[at] == ' ' || in[at] == '\n' || in[at] == '\t')) ++at;
  }
  bool Eat(char c) {
    Space();
    if (at >= in.size() || in[at] != c) return false;
    ++at;
    return true;
  }
  bool String(std::string& out) {
    if (!Eat('"')) return false;
    for (; at < in.size() && in[at] != '"'; ++at) {
      if (in[at] == '\\' && ++at == in.size()) return false;
      out += in[at];
    }
    return Eat('"');
  }
  bool Members(Json& value) {
    do {
      value.members.emplace_back();
      if (!String(value.members.back().first) || !Eat(':') || !Value(value.members.back().second))
        return false;
    } while (Eat(','));
    return Eat('}');
  }
  bool Value(Json& value) {
    Space();
    if (Eat('{')) {
      value.kind = Json::kObject;
      return Eat('}') || Members(value);
    }
    if (Eat('[')) {
      value.kind = Json::kArray;
      if (Eat(']')) return true;
      do {
        value.items.emplace_back();
        if (!Value(value.items.back())) return false;
      } while (Eat(','));
      return Eat(']');
    }
    if (at < in.size() && in[at] == '"') {
      value.kind = Json::kString;
      return String(value.text);
    }
    size_t start = at;
    while (at < in.size() && (std::isalnum(static_cast<unsigned char>(in[at])) || in[at] == '-' ||
                              in[at] == '+' || in[at] == '.')) {
      ++at;
    }
    value.text = in.substr(start, at - start);
    if (value.text == "true" || value.text == "false" || value.text == "null") return true;
    value.kind = Json::kNumber;
    double number;
    const char* end = value.text.data() + value.text.size();
    std::from_chars_result read = std::from_chars(value.text.data(), end, number);
    return read.ec == std::errc() && read.ptr == end;
  }
};

bool ParseJson(const std::string& text, Json& value) {
  JsonReader reader{text};
  if (!reader.Value(value)) return false;
  reader.Space();
  return reader.at == text.size();
}

std::string Number(uint64_t value) {
  return std::to_string(value);
}

std::string LineOfRank(uint32_t rank) {
  int32_t pick[kPickSize];
  PickFromRank(rank, pick);
  char line[kPickSize * 12];
  FormatLine(pick, line);
  return line;
}

// A hundred seeds around the one whose seventh value stands at index 19.
const CensusResult& Counted() {
  static const CensusResult result = [] {
    CensusOptions options;
    options.firstSeed = 1237421400u;
    options.seedCount = 100;
    options.threads = 2;
    return RunCensus(options);
  }();
  return result;
}

TEST(CensusReport, JsonCarriesTheFigures) {
  const CensusResult& result = Counted();
  PickSummary summary = SummarisePicks(result);
  Json json;
  ASSERT_TRUE(ParseJson(CensusJson(result, summary, 1.5, 2), json)) << "not JSON";
  EXPECT_EQ(json["seeds_covered"].text, "100");
  EXPECT_EQ(json["method"].text, "seed by seed");
  EXPECT_EQ(json["seconds"].text, "1.500");
  EXPECT_EQ(json["threads"].text, "2");
  EXPECT_EQ(json["target"].text, "");  // counted seed by seed
  EXPECT_EQ(json["fewest_distinct_candidates"].text, "7");
  EXPECT_EQ(json["fewest_distinct_candidates_at_least"].text, "false");
  EXPECT_EQ(json["fewest_distinct_candidates_seed_count"].text, "1");
  ASSERT_EQ(json["fewest_distinct_candidates_seeds"].items.size(), 1u);
  EXPECT_EQ(json["fewest_distinct_candidates_seeds"].items[0].text, "1237421458");
  EXPECT_EQ(json["seeds_with_00_in_the_line"].text, "0");
  const Json& byIndex = json["seeds_by_seventh_distinct_index"];
  ASSERT_EQ(byIndex.members.size(), kCandidateCount - (kPickSize - 1));
  for (const auto& [index, seeds] : byIndex.members) {
    EXPECT_EQ(seeds.text, Number(result.seventhIndex[std::stoi(index)])) << "index " << index;
  }
  EXPECT_EQ(json["latest_index"].text, "19");
  EXPECT_EQ(json["latest_index_seed_count"].text, "1");
  ASSERT_EQ(json["latest_index_seeds"].items.size(), 1u);
  EXPECT_EQ(json["latest_index_seeds"].items[0].text, "1237421458");
  const Json& numbers = json["number_counts"];
  ASSERT_EQ(numbers.members.size(), static_cast<size_t>(kHighestNumber));
  for (const auto& [number, seeds] : numbers.members) {
    EXPECT_EQ(seeds.text, Number(summary.numberCounts[std::stoi(number)])) << "number " << number;
  }
  EXPECT_EQ(json["possible_picks"].text, "10295472");
  EXPECT_EQ(json["picks_shown"].text, Number(summary.picksShown));
  EXPECT_EQ(json["picks_never_shown"].text, Number(kPossiblePicks - summary.picksShown));
  EXPECT_EQ(json["most_frequent_pick"]["line"].text, LineOfRank(summary.mostFrequentRank));
  EXPECT_EQ(json["most_frequent_pick"]["seeds"].text, Number(summary.mostFrequentCount));
  EXPECT_EQ(json["least_frequent_pick"]["line"].text, LineOfRank(summary.leastFrequentRank));
  EXPECT_EQ(json["least_frequent_pick"]["seeds"].text, Number(summary.leastFrequentCount));
  EXPECT_EQ(json["interrupted"].text, "false");
}

TEST(CensusReport, TableCarriesTheFigures) {
  const CensusResult& result = Counted();
  PickSummary summary = SummarisePicks(result);
  std::string table = CensusTable(result, summary, 1.5, 2);
  std::vector<std::string> lines = {
      "Seeds covered: 100 (each seed drawn one by one)",
      "Time: 1.50 s on 2 threads",
      "Fewest distinct values among the twenty candidates of any seed: 7, for 1 seed: 1237421458",
      "     19  1",
      "Latest index: 19, needed by 1 seed: 1237421458",
      "Most frequent pick: " + LineOfRank(summary.mostFrequentRank) + ", " +
          Number(summary.mostFrequentCount) + " seeds",
  };
  for (int i = kPickSize - 1; i < kCandidateCount; ++i) {
    lines.push_back("  " + std::string(5 - std::to_string(i).size(), ' ') + std::to_string(i) +
                    "  " + Number(result.seventhIndex[i]));
  }
  for (const std::string& line : lines) {
    EXPECT_NE(table.find(line + "\n"), std::string::npos) << "missing: " << line;
  }
}

// A count along the cycle says which instruction set the walk ran with, in both reports, and how
// it covered the seeds.
TEST(CensusReport, WalkedCountNamesItsTarget) {
  CensusResult result = Counted();
  result.walkedTheCycle = true;
  result.target = "SSE4";
  PickSummary summary = SummarisePicks(result);
  Json json;
  ASSERT_TRUE(ParseJson(CensusJson(result, summary, 1.5, 2), json)) << "not JSON";
  EXPECT_EQ(json["target"].text, "SSE4");
  std::string table = CensusTable(result, summary, 1.5, 2);
  EXPECT_NE(table.find("\nTarget: SSE4 (the instruction set the walk ran with)\n"),
            std::string::npos)
      << table;
  EXPECT_EQ(CensusTable(Counted(), summary, 1.5, 2).find("Target:"), std::string::npos);
  // Fewer seeds than the whole space along the walk: a range, each draw counted for its seeds
  // inside it.
  EXPECT_NE(table.find("each counted for those of its two seeds inside the range)"),
            std::string::npos)
      << table;
}

TEST(CensusReport, ChartCarriesTheFigures) {
  const CensusResult& result = Counted();
  PickSummary summary = SummarisePicks(result);
  std::string svg = CensusChart(result, summary);
  EXPECT_EQ(svg.rfind("<svg", 0), 0u);
  EXPECT_EQ(svg.find("</svg>"), svg.size() - 7);
  size_t bars = 0;
  for (size_t at = 0; (at = svg.find("<rect x=", at)) != std::string::npos; ++at) ++bars;
  EXPECT_EQ(bars, 2u * kHighestNumber);  // counts, and differences from the average
  for (int n = 1; n <= kHighestNumber; ++n) {
    char title[64];
    std::snprintf(title, sizeof title, "<title>%02d: %llu seeds</title>", n,
                  static_cast<unsigned long long>(summary.numberCounts[n]));
    EXPECT_NE(svg.find(title), std::string::npos) << title;
  }
}

}  // namespace
