#include "walk/plain_draw.h"

#include "draw.h"

DrawFigures PlainDraw(uint32_t seed) {
  DrawFigures draw = {seed, {}, -1, 0};
  int32_t candidates[kCandidateCount];
  DrawCandidates(seed, candidates);
  uint64_t seen = 0;
  for (int index = 0; index < kCandidateCount; ++index) {
    uint64_t bit = 1ull << candidates[index];
    if (seen & bit) continue;
    seen |= bit;
    if (++draw.distinct == kPickSize) draw.seventhIndex = index;
  }
  PickFromCandidates(candidates, draw.pick);
  return draw;
}
