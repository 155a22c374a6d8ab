// The test build's fault in the fast count of --verify: one seed moved from the first pick shown
// to the pick ranked next, which changes the pick counts and the number counts and nothing else.
#include <cstddef>

#include "census_fault.h"

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
