#include "report/number_figures.h"

#include "cli_text.h"
#include "draw.h"

NumberExtremes FindNumberExtremes(const uint64_t counts[kNumberSlots]) {
  NumberExtremes extremes;
  extremes.mostCount = extremes.leastCount = counts[1];
  for (int n = 2; n <= kHighestNumber; ++n) {
    if (counts[n] > extremes.mostCount) extremes.mostCount = counts[n];
    if (counts[n] < extremes.leastCount) extremes.leastCount = counts[n];
  }
  for (int n = 1; n <= kHighestNumber; ++n) {
    if (counts[n] == extremes.mostCount) extremes.most.push_back(n);
    if (counts[n] == extremes.leastCount) extremes.least.push_back(n);
  }
  extremes.ratioDefined = extremes.leastCount > 0;
  if (extremes.ratioDefined) {
    extremes.ratio = static_cast<double>(extremes.mostCount) / extremes.leastCount;
  }
  return extremes;
}

std::string NumberNames(const std::vector<int>& numbers) {
  if (numbers.size() > 4) return std::to_string(numbers.size()) + " numbers (tied)";
  std::string text;
  for (size_t i = 0; i < numbers.size(); ++i) text += Printed(i ? ", %02d" : "%02d", numbers[i]);
  return numbers.size() > 1 ? text + " (tied)" : text;
}
