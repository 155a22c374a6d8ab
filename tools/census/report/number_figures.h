// What the counts per number say: which numbers come up most and least, ties included, and how
// far apart the two ends are, which is not defined when the least frequent never came up.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "draw.h"

// Counts per number are held by the number itself, 1 to 37; slot 0 stays unused.
constexpr int kNumberSlots = kHighestNumber + 1;

struct NumberExtremes {
  std::vector<int> most, least;  // every number at the highest count, and at the lowest
  uint64_t mostCount = 0, leastCount = 0;
  bool ratioDefined = false;  // the lowest count is above zero
  double ratio = 0;           // mostCount / leastCount, when defined
};

// `counts[n]` is how many seeds' picks hold the number n, for n from 1 to 37.
NumberExtremes FindNumberExtremes(const uint64_t counts[kNumberSlots]);

// The numbers at one end as the reports name them: "09", "01, 02 (tied)", or "30 numbers
// (tied)" when a list would run on.
std::string NumberNames(const std::vector<int>& numbers);
