// The census as an SVG bar chart: how often each number is in the pick, from zero, and each
// number's difference from the average. It reads as well for one seed as for every seed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "report/number_figures.h"

// What the chart draws.
struct ChartFigures {
  uint64_t seeds = 0;                  // seeds covered
  uint64_t counts[kNumberSlots] = {};  // seeds whose pick holds the number n, for n from 1 to 37
  std::string covered;                 // which seeds, in words: "every seed", "seeds 0 to 9", ...
};

std::string NumberChart(const ChartFigures& figures);

// Round values for an axis from `low` to `high`: multiples of one step of 1, 2 or 5 times a power
// of ten, the first at or below `low`, the last at or above `high`, about `wanted` steps apart in
// all. With `whole`, the step is at least 1, for counts.
std::vector<double> RoundTicks(double low, double high, int wanted, bool whole);
