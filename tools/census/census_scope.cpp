#include "census_scope.h"

CensusScope ScopeOfSeeds(uint32_t first, uint32_t last) {
  CensusScope scope;
  scope.firstSeed = first;
  scope.seedCount = static_cast<uint64_t>(last) - first + 1;
  return scope;
}

CensusScope ScopeOfSeconds(int64_t from, int64_t to) {
  CensusScope scope;
  scope.clockSpan = true;
  scope.fromSecond = from;
  scope.toSecond = to;
  uint64_t seconds = static_cast<uint64_t>(to - from) + 1;
  scope.seedCount = seconds < kSeedSpace ? seconds : kSeedSpace;
  scope.firstSeed = scope.seedCount == kSeedSpace ? 0 : static_cast<uint32_t>(from);
  return scope;
}
