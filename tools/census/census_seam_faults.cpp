// The test build's side of the fault seam. In the fast count of --verify: one seed moved from the
// first pick shown to the pick ranked next, which changes the pick counts and the number counts
// and nothing else. In the search of --find: the best build's search, each seed it finds replaced
// by that of the next window it walks (one step back along the cycle), as if a lane's state were
// noted one step late; those seeds draw other picks, which the check with the die's draw must
// catch.
#include <cstddef>

#include "census_seam.h"
#include "walk/cycle.h"
#include "walk/vector_walk.h"

std::function<void(CensusResult&)> FastCountFault() {
  return [](CensusResult& fast) {
    for (size_t rank = 0; rank + 1 < fast.pickCounts.size(); ++rank) {
      if (fast.pickCounts[rank] == 0) continue;
      --fast.pickCounts[rank];
      ++fast.pickCounts[rank + 1];
      return;
    }
  };
}

namespace {

// The driver cuts the positions for the best build's lanes when no instruction set is asked for.
int64_t SearchOneStepLate(uint64_t pick, const uint32_t* firstStates, uint64_t count,
                          std::vector<uint32_t>& seeds) {
  std::vector<uint32_t> found;
  int64_t searchedWith = VectorBuilds().front().find(pick, firstStates, count, found);
  for (uint32_t seed : found) seeds.push_back(SeedOfWindow(Backward(WindowOfSeed(seed))));
  return searchedWith;
}

}  // namespace

LaneSearch SearchFault() {
  return &SearchOneStepLate;
}
