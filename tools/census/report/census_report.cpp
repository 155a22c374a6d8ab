// The census's three reports: a table for people, JSON for programs, an SVG bar chart.
#include "report/census_report.h"

#include <algorithm>
#include <cstdio>
#include <nlohmann/json.hpp>

#include "cli_text.h"
#include "cli_zone.h"
#include "count/pick_rank.h"
#include "draw.h"
#include "report/census_chart.h"
#include "report/number_figures.h"

namespace {

// The seventh distinct value stands at index 6 at the earliest.
constexpr int kFirstSeventhIndex = kPickSize - 1;

// ": a, b, c", or "; the first: a, b, c" when more seeds share the figure than the table shows.
std::string SeedList(const std::vector<uint32_t>& seeds, uint64_t seedCount) {
  const size_t kShown = 8;
  std::string out;
  if (seeds.empty()) return out;
  size_t shown = std::min(seeds.size(), kShown);
  out += shown < seedCount ? "; the first: " : ": ";
  for (size_t i = 0; i < shown; ++i) out += (i ? ", " : "") + std::to_string(seeds[i]);
  return out;
}

std::string HowCovered(const CensusResult& result) {
  if (result.mode == CensusMode::kSeedBySeed) return "each seed drawn one by one";
  if (result.mode == CensusMode::kWholeCycle && result.seedsCovered == kSeedSpace) {
    return "seeds that differ only in bit 31 draw alike, so the 2,147,483,648 distinct draws "
           "were walked once along the generator's cycle and each counted for both seeds";
  }
  return "the generator's cycle walked once, each draw counted for those of its two seeds "
         "(they differ only in bit 31) that lie in the span";
}

// "Most frequent pick: LINE, N seeds", or how many picks share the count when it is a tie. The
// least frequent is the least among the picks that come up at all.
std::string PickLine(const char* which, const char* shown, uint32_t rank, uint64_t count,
                     uint32_t picks) {
  std::string seeds = Counted(count, "seed", "seeds");
  if (picks <= 1)
    return Printed("%s pick%s: ", which, shown) + LineOfRank(rank) + ", " + seeds + "\n";
  return Printed("%s picks%s: %s tied at %s each, the first ", which, shown, Grouped(picks).c_str(),
                 seeds.c_str()) +
         LineOfRank(rank) + "\n";
}

std::string DistinctLines(const CensusResult& result) {
  std::string out = "Fewest distinct values among the twenty candidates of any seed: ";
  if (result.fewestDistinctAtLeast) {
    out += Printed("%d or more\n", result.fewestDistinct);
  } else {
    out += Printed("%d, for ", result.fewestDistinct) +
           Counted(result.fewestDistinctSeedCount, "seed", "seeds") +
           SeedList(result.fewestDistinctSeeds, result.fewestDistinctSeedCount) + "\n";
  }
  return out + "Seeds whose candidates hold fewer than seven distinct values (a 00 in the line): " +
         Grouped(result.shortPicks) + "\n\n";
}

std::string IndexLines(const CensusResult& result) {
  std::string out = "Candidate index where the seventh distinct value first stands\n";
  out += "  index          seeds\n";
  for (int i = kFirstSeventhIndex; i < kCandidateCount; ++i) {
    out += Printed("  %5d  %13s\n", i, Grouped(result.seventhIndex[i]).c_str());
  }
  out += Printed("Latest index: %d, needed by ", result.latestIndex) +
         Counted(result.latestIndexSeedCount, "seed", "seeds");
  return out + SeedList(result.latestIndexSeeds, result.latestIndexSeedCount) + "\n\n";
}

std::string NumberLines(const CensusResult& result, const PickSummary& summary) {
  std::string out = "How often each number is in the pick\n";
  out += "  number          seeds  share of seeds\n";
  for (int n = 1; n <= kHighestNumber; ++n) {
    double share = result.seedsCovered ? 100.0 * static_cast<double>(summary.numberCounts[n]) /
                                             static_cast<double>(result.seedsCovered)
                                       : 0;
    out +=
        Printed("      %02d  %13s  %.4f%%\n", n, Grouped(summary.numberCounts[n]).c_str(), share);
  }
  NumberExtremes extremes = FindNumberExtremes(summary.numberCounts);
  std::string ratio = extremes.ratioDefined ? Printed("%.6f", extremes.ratio) : "n/a";
  return out + "Most to least frequent: " + NumberNames(extremes.most) + " / " +
         NumberNames(extremes.least) + " = " + ratio + "\n\n";
}

std::string PickLines(const PickSummary& summary) {
  std::string out =
      "Picks the die can show: " + Grouped(summary.picksShown) + " of the " +
      Grouped(kPossiblePicks) +
      Printed(" possible (%.2f%%); never shown: ", 100.0 * summary.picksShown / kPossiblePicks) +
      Grouped(kPossiblePicks - summary.picksShown) + "\n";
  if (summary.picksShown == 0) return out;
  out += PickLine("Most frequent", "", summary.mostFrequentRank, summary.mostFrequentCount,
                  summary.mostFrequentPicks);
  return out + PickLine("Least frequent", " shown", summary.leastFrequentRank,
                        summary.leastFrequentCount, summary.leastFrequentPicks);
}

}  // namespace

std::string CensusTable(const CensusResult& result, const PickSummary& summary, double seconds,
                        const CensusScope& scope) {
  std::string out = "Seeds covered: " + Grouped(result.seedsCovered) + " (" + ScopeInWords(scope) +
                    "; " + HowCovered(result) + ")\n";
  out += Printed("Time: %.2f s on ", seconds) + Counted(result.workers, "thread", "threads") + "\n";
  if (!result.target.empty()) {
    out += "Target: " + result.target + " (the instruction set the walk ran with)\n";
  }
  out += "\n";
  return out + DistinctLines(result) + IndexLines(result) + NumberLines(result, summary) +
         PickLines(summary);
}

using Json = nlohmann::ordered_json;

namespace {

Json PickJson(uint32_t rank, uint64_t count, uint32_t picks) {
  return {{"line", LineOfRank(rank)}, {"seeds", count}, {"picks_with_this_count", picks}};
}

Json FigureJson(const CensusResult& result) {
  Json json;
  // With "at_least", only a lower bound is known and no seeds are listed.
  json["fewest_distinct_candidates"] = result.fewestDistinct;
  json["fewest_distinct_candidates_at_least"] = result.fewestDistinctAtLeast;
  json["fewest_distinct_candidates_seed_count"] = result.fewestDistinctSeedCount;
  json["fewest_distinct_candidates_seeds"] = result.fewestDistinctSeeds;
  json["seeds_with_00_in_the_line"] = result.shortPicks;
  Json byIndex = Json::object();
  for (int i = kFirstSeventhIndex; i < kCandidateCount; ++i) {
    byIndex[std::to_string(i)] = result.seventhIndex[i];
  }
  json["seeds_by_seventh_distinct_index"] = byIndex;
  json["latest_index"] = result.latestIndex;
  json["latest_index_seed_count"] = result.latestIndexSeedCount;
  json["latest_index_seeds"] = result.latestIndexSeeds;
  return json;
}

}  // namespace

std::string CensusJson(const CensusResult& result, const PickSummary& summary, double seconds,
                       const CensusScope& scope) {
  Json json;
  json["format"] = kCensusJsonFormat;
  json["seeds_covered"] = result.seedsCovered;
  json["covered"] = ScopeJson(scope);
  json["zone"] = scope.clockSpan ? Json(ClockZoneNameInUtf8()) : Json(nullptr);
  json["method"] = result.mode == CensusMode::kSeedBySeed ? "seed by seed" : "cycle walk";
  json["method_note"] = HowCovered(result);
  json["seconds"] = static_cast<double>(static_cast<int64_t>(seconds * 1000 + 0.5)) / 1000;
  json["threads"] = result.workers;
  json["target"] = result.target;  // "" when counted seed by seed
  json.update(FigureJson(result));
  Json numbers = Json::object();
  for (int n = 1; n <= kHighestNumber; ++n) numbers[std::to_string(n)] = summary.numberCounts[n];
  json["number_counts"] = numbers;
  NumberExtremes extremes = FindNumberExtremes(summary.numberCounts);
  json["most_frequent_numbers"] = extremes.most;
  json["least_frequent_numbers"] = extremes.least;
  // Not defined when the least frequent number never came up.
  json["most_to_least_ratio"] = extremes.ratioDefined ? Json(extremes.ratio) : Json(nullptr);
  json["possible_picks"] = kPossiblePicks;
  json["picks_shown"] = summary.picksShown;
  json["picks_never_shown"] = kPossiblePicks - summary.picksShown;
  bool any = summary.picksShown > 0;
  json["most_frequent_pick"] =
      any ? PickJson(summary.mostFrequentRank, summary.mostFrequentCount, summary.mostFrequentPicks)
          : Json(nullptr);
  json["least_frequent_pick"] =
      any ? PickJson(summary.leastFrequentRank, summary.leastFrequentCount,
                     summary.leastFrequentPicks)
          : Json(nullptr);
  json["interrupted"] = result.interrupted;
  return json.dump(2) + "\n";
}

std::string CensusChart(const CensusResult& result, const PickSummary& summary,
                        const CensusScope& scope) {
  ChartFigures figures;
  figures.seeds = result.seedsCovered;
  std::copy(std::begin(summary.numberCounts), std::end(summary.numberCounts), figures.counts);
  figures.covered = ScopeInWords(scope);
  return NumberChart(figures);
}

std::string LineOfRank(uint32_t rank) {
  int32_t pick[kPickSize];
  PickFromRank(rank, pick);
  char line[kLineRoom];
  FormatLine(pick, line);
  return line;
}
