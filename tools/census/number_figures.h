// What the counts per number say: which numbers come up most and least, ties included, and how
// far apart the two ends are, which is not defined when the least frequent never came up.
#pragma once

#include <cstdint>
#include <vector>

struct NumberExtremes {
  std::vector<int> most, least;  // every number at the highest count, and at the lowest
  uint64_t mostCount = 0, leastCount = 0;
  bool ratioDefined = false;  // the lowest count is above zero
  double ratio = 0;           // mostCount / leastCount, when defined
};

// `counts[n]` is how many seeds' picks hold the number n, for n from 1 to 37.
NumberExtremes FindNumberExtremes(const uint64_t counts[38]);
