#include "find/found_seconds.h"

#include <algorithm>

namespace {

// Every second from `from` to `to` whose seed is `seed`: the first at or after `from`, then one
// every 2^32 seconds. For the seed 5 and the span from 4294967290 on, the first is 4294967301,
// past the wrap of 2106-02-07T06:28:15Z.
void AddSecondsOfSeed(uint32_t seed, int64_t from, int64_t to, std::vector<FoundSecond>& into) {
  int64_t second = from + static_cast<uint32_t>(seed - static_cast<uint32_t>(from));
  for (; second <= to; second += kSeedPeriod) into.push_back({seed, second});
}

}  // namespace

FoundSeconds SecondsOfSeeds(std::vector<uint32_t> seeds, const CensusScope& scope, uint64_t first) {
  FoundSeconds found;
  if (scope.clockSpan) {
    for (uint32_t seed : seeds) {
      AddSecondsOfSeed(seed, scope.fromSecond, scope.toSecond, found.listed);
    }
    std::sort(found.listed.begin(), found.listed.end(),
              [](const FoundSecond& a, const FoundSecond& b) { return a.second < b.second; });
  } else {
    std::sort(seeds.begin(), seeds.end());
    for (uint32_t seed : seeds) found.listed.push_back({seed, seed});
  }
  found.total = found.listed.size();
  if (first && found.listed.size() > first) found.listed.resize(first);
  return found;
}
