#include "walk_one_step_late.h"

#include "walk/cycle.h"
#include "walk/vector_walk.h"

void FindOneStepLate(uint64_t pick, const uint32_t* firstStates, uint64_t count,
                     std::vector<uint32_t>& seeds) {
  std::vector<uint32_t> found;
  VectorBuilds().front().find(pick, firstStates, count, found);
  for (uint32_t seed : found) seeds.push_back(SeedOfWindow(Backward(WindowOfSeed(seed))));
}
