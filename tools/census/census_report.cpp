// The census's three reports: a table for people, JSON for programs, an SVG bar chart.
#include "census_report.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>

#include "draw.h"

namespace {

// The seventh distinct value stands at index 6 at the earliest.
constexpr int kFirstSeventhIndex = kPickSize - 1;

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* format, ...) {
  char buffer[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  return buffer;
}

std::string LineOfRank(uint32_t rank) {
  int32_t pick[kPickSize];
  PickFromRank(rank, pick);
  char line[kPickSize * 12];
  FormatLine(pick, line);
  return line;
}

// ": a, b, c", or "; the first: a, b, c" when more seeds share the figure than the table shows.
std::string SeedList(const std::vector<uint32_t>& seeds, uint64_t seedCount) {
  const size_t kShown = 8;
  std::string out;
  if (seeds.empty()) return out;
  size_t shown = std::min(seeds.size(), kShown);
  out += shown < seedCount ? "; the first: " : ": ";
  for (size_t i = 0; i < shown; ++i) out += Format(i ? ", %u" : "%u", seeds[i]);
  return out;
}

std::string JsonList(const std::vector<uint32_t>& seeds) {
  std::string out = "[";
  for (size_t i = 0; i < seeds.size(); ++i) out += Format(i ? ", %u" : "%u", seeds[i]);
  return out + "]";
}

// The most and least picked numbers and the ratio of their counts.
void NumberExtremes(const PickSummary& summary, int& most, int& least, double& ratio) {
  most = least = 1;
  for (int n = 2; n <= kHighestNumber; ++n) {
    if (summary.numberCounts[n] > summary.numberCounts[most]) most = n;
    if (summary.numberCounts[n] < summary.numberCounts[least]) least = n;
  }
  ratio = summary.numberCounts[least]
              ? static_cast<double>(summary.numberCounts[most]) / summary.numberCounts[least]
              : 0.0;
}

std::string HowCovered(const CensusResult& result) {
  if (result.walkedTheCycle && result.seedsCovered < kSeedSpace) {
    return "seeds that differ only in bit 31 draw alike, so the 2147483648 distinct draws were "
           "walked once along the generator's cycle and each counted for those of its two seeds "
           "inside the range";
  }
  if (result.walkedTheCycle) {
    return "seeds that differ only in bit 31 draw alike, so the 2147483648 distinct draws were "
           "walked once along the generator's cycle and each counted for both seeds";
  }
  return "each seed drawn one by one";
}

}  // namespace

std::string CensusTable(const CensusResult& result, const PickSummary& summary, double seconds,
                        unsigned threads) {
  std::string out;
  out += Format("Seeds covered: %llu (%s)\n", static_cast<unsigned long long>(result.seedsCovered),
                HowCovered(result).c_str());
  out += Format("Time: %.2f s on %u thread%s\n", seconds, threads, threads == 1 ? "" : "s");
  if (!result.target.empty()) {
    out += Format("Target: %s (the instruction set the walk ran with)\n", result.target.c_str());
  }
  out += "\n";

  if (result.fewestDistinctAtLeast) {
    out += Format("Fewest distinct values among the twenty candidates of any seed: %d or more\n",
                  result.fewestDistinct);
  } else {
    out += Format(
        "Fewest distinct values among the twenty candidates of any seed: %d, for %llu "
        "seed%s",
        result.fewestDistinct, static_cast<unsigned long long>(result.fewestDistinctSeedCount),
        result.fewestDistinctSeedCount == 1 ? "" : "s");
    out += SeedList(result.fewestDistinctSeeds, result.fewestDistinctSeedCount) + "\n";
  }
  out += Format(
      "Seeds whose candidates hold fewer than seven distinct values (a 00 in the line): %llu\n\n",
      static_cast<unsigned long long>(result.shortPicks));

  out += "Candidate index where the seventh distinct value first stands\n";
  out += "  index  seeds\n";
  for (int i = kFirstSeventhIndex; i < kCandidateCount; ++i) {
    out += Format("  %5d  %llu\n", i, static_cast<unsigned long long>(result.seventhIndex[i]));
  }
  out += Format("Latest index: %d, needed by %llu seed%s", result.latestIndex,
                static_cast<unsigned long long>(result.latestIndexSeedCount),
                result.latestIndexSeedCount == 1 ? "" : "s");
  out += SeedList(result.latestIndexSeeds, result.latestIndexSeedCount) + "\n\n";

  out += "How often each number is in the pick\n";
  out += "  number  seeds        share of seeds\n";
  for (int n = 1; n <= kHighestNumber; ++n) {
    double share = result.seedsCovered ? 100.0 * summary.numberCounts[n] / result.seedsCovered : 0;
    out += Format("  %6.2d  %-11llu  %.4f%%\n", n,
                  static_cast<unsigned long long>(summary.numberCounts[n]), share);
  }
  int most, least;
  double ratio;
  NumberExtremes(summary, most, least, ratio);
  out += Format("Most to least frequent: %02d / %02d = %.6f\n\n", most, least, ratio);

  out += Format("Picks the die can show: %u of the %u possible (%.2f%%); never shown: %u\n",
                summary.picksShown, kPossiblePicks, 100.0 * summary.picksShown / kPossiblePicks,
                kPossiblePicks - summary.picksShown);
  if (summary.picksShown) {
    out +=
        Format("Most frequent pick: %s, %llu seeds\n", LineOfRank(summary.mostFrequentRank).c_str(),
               static_cast<unsigned long long>(summary.mostFrequentCount));
    out += Format("Least frequent pick shown: %s, %llu seeds\n",
                  LineOfRank(summary.leastFrequentRank).c_str(),
                  static_cast<unsigned long long>(summary.leastFrequentCount));
  }
  return out;
}

std::string CensusJson(const CensusResult& result, const PickSummary& summary, double seconds,
                       unsigned threads) {
  auto u = [](uint64_t v) { return static_cast<unsigned long long>(v); };
  std::string out = "{\n";
  out += Format("  \"seeds_covered\": %llu,\n", u(result.seedsCovered));
  out += Format("  \"method\": \"%s\",\n", result.walkedTheCycle ? "cycle walk" : "seed by seed");
  out += Format("  \"method_note\": \"%s\",\n", HowCovered(result).c_str());
  out += Format("  \"seconds\": %.3f,\n  \"threads\": %u,\n", seconds, threads);
  out += Format("  \"target\": \"%s\",\n", result.target.c_str());
  // With "at_least", only a lower bound is known and no seeds are listed.
  out += Format("  \"fewest_distinct_candidates\": %d,\n", result.fewestDistinct);
  out += Format("  \"fewest_distinct_candidates_at_least\": %s,\n",
                result.fewestDistinctAtLeast ? "true" : "false");
  out += Format("  \"fewest_distinct_candidates_seed_count\": %llu,\n",
                u(result.fewestDistinctSeedCount));
  out += "  \"fewest_distinct_candidates_seeds\": " + JsonList(result.fewestDistinctSeeds) + ",\n";
  out += Format("  \"seeds_with_00_in_the_line\": %llu,\n", u(result.shortPicks));
  out += "  \"seeds_by_seventh_distinct_index\": {";
  for (int i = kFirstSeventhIndex; i < kCandidateCount; ++i) {
    out +=
        Format("%s\"%d\": %llu", i == kFirstSeventhIndex ? "" : ", ", i, u(result.seventhIndex[i]));
  }
  out += "},\n";
  out += Format("  \"latest_index\": %d,\n  \"latest_index_seed_count\": %llu,\n",
                result.latestIndex, u(result.latestIndexSeedCount));
  out += "  \"latest_index_seeds\": " + JsonList(result.latestIndexSeeds) + ",\n";
  out += "  \"number_counts\": {";
  for (int n = 1; n <= kHighestNumber; ++n) {
    out += Format("%s\"%d\": %llu", n == 1 ? "" : ", ", n, u(summary.numberCounts[n]));
  }
  int most, least;
  double ratio;
  NumberExtremes(summary, most, least, ratio);
  out += "},\n";
  out += Format("  \"most_to_least_ratio\": %.9f,\n", ratio);
  out += Format("  \"possible_picks\": %u,\n  \"picks_shown\": %u,\n  \"picks_never_shown\": %u,\n",
                kPossiblePicks, summary.picksShown, kPossiblePicks - summary.picksShown);
  out += Format("  \"most_frequent_pick\": {\"line\": \"%s\", \"seeds\": %llu},\n",
                LineOfRank(summary.mostFrequentRank).c_str(), u(summary.mostFrequentCount));
  out += Format("  \"least_frequent_pick\": {\"line\": \"%s\", \"seeds\": %llu},\n",
                LineOfRank(summary.leastFrequentRank).c_str(), u(summary.leastFrequentCount));
  out += Format("  \"interrupted\": %s\n}\n", result.interrupted ? "true" : "false");
  return out;
}

namespace {

// The chart's frame in pixels, and what both panels share: each number's slot and colour.
struct ChartFrame {
  static constexpr int kWidth = 900, kHeight = 745, kLeft = 100, kRight = 20;
  static constexpr int kTop = 80, kPanel = 250, kGap = 110;
  static constexpr double kPlotWidth = kWidth - kLeft - kRight;
  static constexpr double kSlot = kPlotWidth / kHighestNumber;
  int most, least;  // the numbers in red and in blue
  double ratio;

  const char* Colour(int n) const {
    return n == most ? "#c0392b" : n == least ? "#2471a3" : "#7f8c8d";
  }
  static double BarX(int n) { return kLeft + kSlot * (n - 1) + kSlot * 0.15; }
};

// Counts from zero, in millions of seeds, which show how even the die is.
std::string CountPanel(const PickSummary& summary, const ChartFrame& frame) {
  const int top = ChartFrame::kTop, panel = ChartFrame::kPanel, left = ChartFrame::kLeft;
  uint64_t highest = 1;
  for (int n = 1; n <= kHighestNumber; ++n) highest = std::max(highest, summary.numberCounts[n]);
  double step = 1;  // a round top for the axis, so the ticks read as plain numbers
  while (step * 10 < static_cast<double>(highest)) step *= 10;
  double axisTop = step * (static_cast<uint64_t>(highest / step) + 1);
  std::string svg;
  for (int tick = 0; tick <= 4; ++tick) {
    double y = top + panel - panel * tick / 4.0;
    svg += Format("<line x1=\"%d\" x2=\"%d\" y1=\"%.1f\" y2=\"%.1f\" stroke=\"#ddd\"/>\n", left,
                  ChartFrame::kWidth - ChartFrame::kRight, y, y);
    svg += Format("<text x=\"%d\" y=\"%.1f\" font-size=\"11\" text-anchor=\"end\">%.6g M</text>\n",
                  left - 6, y + 4, axisTop * tick / 4 / 1e6);
  }
  for (int n = 1; n <= kHighestNumber; ++n) {
    double barHeight = panel * static_cast<double>(summary.numberCounts[n]) / axisTop;
    double x = ChartFrame::BarX(n);
    svg += Format(
        "<rect x=\"%.1f\" y=\"%.1f\" width=\"%.1f\" height=\"%.1f\" fill=\"%s\">"
        "<title>%02d: %llu seeds</title></rect>\n",
        x, top + panel - barHeight, ChartFrame::kSlot * 0.7, barHeight, frame.Colour(n), n,
        static_cast<unsigned long long>(summary.numberCounts[n]));
    svg += Format("<text x=\"%.1f\" y=\"%d\" font-size=\"10\" text-anchor=\"middle\">%02d</text>\n",
                  x + ChartFrame::kSlot * 0.35, top + panel + 14, n);
  }
  svg += Format(
      "<text x=\"22\" y=\"%d\" font-size=\"12\" text-anchor=\"middle\" "
      "transform=\"rotate(-90 22 %d)\">seeds whose pick holds it</text>\n",
      top + panel / 2, top + panel / 2);
  return svg;
}

// Each number's difference from the average, in parts per million, which shows the slight lean
// towards 1 to 23.
std::string DifferencePanel(const PickSummary& summary, const ChartFrame& frame) {
  const int panel = ChartFrame::kPanel, left = ChartFrame::kLeft;
  const int second = ChartFrame::kTop + panel + ChartFrame::kGap, middle = second + panel / 2;
  uint64_t sum = 0;
  for (int n = 1; n <= kHighestNumber; ++n) sum += summary.numberCounts[n];
  double average = static_cast<double>(sum) / kHighestNumber;
  auto ppm = [&](int n) {
    return average > 0 ? (summary.numberCounts[n] - average) / average * 1e6 : 0;
  };
  double largest = 1;
  for (int n = 1; n <= kHighestNumber; ++n) largest = std::max(largest, std::abs(ppm(n)));
  std::string svg = Format(
      "<text x=\"%d\" y=\"%d\" font-size=\"14\" font-weight=\"bold\">Difference from "
      "the average, in parts per million</text>\n",
      left, second - 20);
  for (int tick = -2; tick <= 2; ++tick) {
    double y = middle - (panel / 2.0) * tick / 2;
    svg += Format("<line x1=\"%d\" x2=\"%d\" y1=\"%.1f\" y2=\"%.1f\" stroke=\"%s\"/>\n", left,
                  ChartFrame::kWidth - ChartFrame::kRight, y, y, tick == 0 ? "#555" : "#ddd");
    svg += Format("<text x=\"%d\" y=\"%.1f\" font-size=\"11\" text-anchor=\"end\">%+.0f</text>\n",
                  left - 6, y + 4, largest * tick / 2);
  }
  for (int n = 1; n <= kHighestNumber; ++n) {
    double barHeight = (panel / 2.0) * std::abs(ppm(n)) / largest;
    double x = ChartFrame::BarX(n);
    svg += Format(
        "<rect x=\"%.1f\" y=\"%.1f\" width=\"%.1f\" height=\"%.1f\" fill=\"%s\">"
        "<title>%02d: %+.1f ppm</title></rect>\n",
        x, ppm(n) >= 0 ? middle - barHeight : middle, ChartFrame::kSlot * 0.7, barHeight,
        frame.Colour(n), n, ppm(n));
    svg += Format("<text x=\"%.1f\" y=\"%d\" font-size=\"10\" text-anchor=\"middle\">%02d</text>\n",
                  x + ChartFrame::kSlot * 0.35, second + panel + 14, n);
  }
  return svg;
}

}  // namespace

// Two panels under a title: the counts from zero and the differences from the average.
std::string CensusChart(const CensusResult& result, const PickSummary& summary) {
  const int width = ChartFrame::kWidth, height = ChartFrame::kHeight, left = ChartFrame::kLeft;
  ChartFrame frame;
  NumberExtremes(summary, frame.most, frame.least, frame.ratio);
  std::string svg = Format(
      "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%d\" height=\"%d\" "
      "viewBox=\"0 0 %d %d\" font-family=\"sans-serif\">\n",
      width, height, width, height);
  svg += Format("<rect width=\"%d\" height=\"%d\" fill=\"white\"/>\n", width, height);
  svg += Format(
      "<text x=\"%d\" y=\"30\" font-size=\"18\" font-weight=\"bold\">How often each "
      "number is in the die's pick</text>\n",
      left);
  svg += Format(
      "<text x=\"%d\" y=\"52\" font-size=\"13\" fill=\"#444\">%llu seeds; most "
      "frequent %02d (red), least frequent %02d (blue), ratio %.6f</text>\n",
      left, static_cast<unsigned long long>(result.seedsCovered), frame.most, frame.least,
      frame.ratio);
  svg += CountPanel(summary, frame) + DifferencePanel(summary, frame);
  svg += Format("<text x=\"%.1f\" y=\"%d\" font-size=\"12\" text-anchor=\"middle\">number</text>\n",
                left + ChartFrame::kPlotWidth / 2, height - 12);
  svg += "</svg>\n";
  return svg;
}
