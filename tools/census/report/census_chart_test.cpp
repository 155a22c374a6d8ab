#include "report/census_chart.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "draw.h"
#include "report/number_figures.h"

namespace {

// The tick labels of the chart: the right-aligned texts left of the plots.
std::vector<std::string> TickLabels(const std::string& svg) {
  std::vector<std::string> labels;
  const std::string mark = "text-anchor=\"end\">";
  for (size_t at = svg.find(mark); at != std::string::npos; at = svg.find(mark, at + 1)) {
    size_t begin = at + mark.size();
    labels.push_back(svg.substr(begin, svg.find('<', begin) - begin));
  }
  return labels;
}

// A whole number as a person reads it: a sign if any, digits in groups of three, then a unit.
bool IsRoundLabel(std::string label) {
  for (const char* unit : {"%", " ppm"}) {
    size_t at = label.rfind(unit);
    if (at != std::string::npos && at + std::string(unit).size() == label.size()) label.resize(at);
  }
  for (const char* sign : {"+", "\u2212"}) {
    if (label.rfind(sign, 0) == 0) label.erase(0, std::string(sign).size());
  }
  size_t group = label.find(',') == std::string::npos ? label.size() : label.find(',');
  if (group == 0 || group > 3) return false;
  for (size_t i = 0; i < label.size(); ++i) {
    bool comma = i >= group && (i - group) % 4 == 0;
    if (comma ? label[i] != ',' : (label[i] < '0' || label[i] > '9')) return false;
  }
  return (label.size() - group) % 4 == 0;
}

ChartFigures FiguresOfSeeds(uint32_t first, uint32_t last, const char* covered) {
  ChartFigures figures;
  for (uint64_t seed = first; seed <= last; ++seed) {
    int32_t pick[kPickSize];
    DrawFromSeed(static_cast<uint32_t>(seed), pick);
    for (int32_t number : pick) ++figures.counts[number];
  }
  figures.seeds = last - first + 1;
  figures.covered = covered;
  return figures;
}

TEST(RoundTicks, StepsOfOneTwoOrFiveTimesAPowerOfTen) {
  const struct {
    double low, high;
    int wanted;
    bool whole;
    std::vector<double> ticks;
  } cases[] = {
      {0, 812885188, 5, true, {0, 2e8, 4e8, 6e8, 8e8, 1e9}},
      {0, 1, 5, true, {0, 1}},  // one seed: no fractions of a seed
      {0, 7, 5, true, {0, 2, 4, 6, 8}},
      {-650.3, 401.2, 6, false, {-800, -600, -400, -200, 0, 200, 400, 600}},
      {-100, 428.6, 6, false, {-100, 0, 100, 200, 300, 400, 500}},
      {-0.03, 0.012, 6, false, {-0.03, -0.02, -0.01, 0, 0.01, 0.02}},
      {0, 16, 5, false, {0, 5, 10, 15, 20}},
  };
  for (const auto& c : cases) {
    std::vector<double> ticks = RoundTicks(c.low, c.high, c.wanted, c.whole);
    ASSERT_EQ(ticks.size(), c.ticks.size()) << c.low << " to " << c.high;
    for (size_t i = 0; i < ticks.size(); ++i) {
      EXPECT_NEAR(ticks[i], c.ticks[i], 1e-9 * std::fabs(c.high - c.low)) << c.low << " " << i;
    }
  }
}

TEST(NumberChart, ReadsAsWellForOneSeedAsForThousands) {
  for (const ChartFigures& figures :
       {FiguresOfSeeds(7, 7, "seed 7"), FiguresOfSeeds(0, 3599, "seeds 0 to 3,599")}) {
    std::string svg = NumberChart(figures);
    std::string context = figures.covered;
    EXPECT_NE(svg.find("seeds whose pick holds the number"), std::string::npos) << context;
    EXPECT_NE(svg.find("difference from the average, per cent"), std::string::npos) << context;
    EXPECT_NE(svg.find(">number<"), std::string::npos) << context;
    for (const std::string& label : TickLabels(svg)) {
      EXPECT_TRUE(IsRoundLabel(label)) << context << ": tick '" << label << "'";
    }
  }
  std::string one = NumberChart(FiguresOfSeeds(7, 7, "seed 7"));
  EXPECT_NE(one.find("1 seed (seed 7)"), std::string::npos);
  EXPECT_EQ(one.find("1 seeds"), std::string::npos);
  EXPECT_NE(one.find("most to least n/a"), std::string::npos) << "30 numbers never came up";
  EXPECT_NE(one.find("least frequent 30 numbers (tied), in blue"), std::string::npos);
  std::string hour = NumberChart(FiguresOfSeeds(0, 3599, "seeds 0 to 3,599"));
  EXPECT_NE(hour.find("3,600 seeds"), std::string::npos);
}

TEST(NumberChart, TheWholeSpaceInPartsPerMillionWithGroupedCounts) {
  ChartFigures figures;
  figures.seeds = 4294967296;
  figures.covered = "every seed";
  for (int n = 1; n <= kHighestNumber; ++n) figures.counts[n] = n <= 23 ? 812880000 : 812355000;
  figures.counts[9] = 812885188;
  std::string svg = NumberChart(figures);
  std::vector<std::string> labels = TickLabels(svg);
  std::vector<std::string> expected = {"0",           "200,000,000", "400,000,000",
                                       "600,000,000", "800,000,000", "1,000,000,000"};
  ASSERT_GE(labels.size(), expected.size());
  EXPECT_EQ(std::vector<std::string>(labels.begin(), labels.begin() + 6), expected);
  EXPECT_NE(svg.find("+400 ppm"), std::string::npos);
  EXPECT_NE(svg.find("\u2212400 ppm"), std::string::npos);
  EXPECT_NE(svg.find("difference from the average, parts per million"), std::string::npos);
  EXPECT_NE(svg.find("4,294,967,296 seeds (every seed); most frequent 09, in red"),
            std::string::npos);
}

TEST(NumberExtremes, TiesAreTiesAndARatioNeedsTwoCounts) {
  uint64_t counts[kNumberSlots] = {};
  for (int n = 1; n <= kHighestNumber; ++n) counts[n] = 10;
  counts[2] = counts[30] = 12;
  counts[5] = 4;
  NumberExtremes extremes = FindNumberExtremes(counts);
  EXPECT_EQ(extremes.most, (std::vector<int>{2, 30}));
  EXPECT_EQ(extremes.least, std::vector<int>{5});
  EXPECT_TRUE(extremes.ratioDefined);
  EXPECT_DOUBLE_EQ(extremes.ratio, 3.0);
  counts[5] = 0;
  extremes = FindNumberExtremes(counts);
  EXPECT_FALSE(extremes.ratioDefined);
  EXPECT_EQ(extremes.leastCount, 0u);
}

}  // namespace
