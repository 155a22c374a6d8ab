#include "find/draw_check.h"

#include <algorithm>

#include "draw.h"

std::vector<uint32_t> SeedsDrawnOtherwise(const std::vector<uint32_t>& seeds,
                                          const WantedPick& pick) {
  std::vector<uint32_t> wrong;
  for (uint32_t seed : seeds) {
    int32_t drawn[kPickSize];
    DrawFromSeed(seed, drawn);
    if (!std::equal(drawn, drawn + kPickSize, pick.numbers)) wrong.push_back(seed);
  }
  return wrong;
}

std::string LineOfSeed(uint32_t seed) {
  int32_t drawn[kPickSize];
  DrawFromSeed(seed, drawn);
  char line[kLineRoom];
  FormatLine(drawn, line);
  return line;
}
