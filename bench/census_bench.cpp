// Seeds per second for the plain draw and for the census's fast path, side by side, and the time
// of the whole census. Usage: census_bench [threads]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "census.h"

static double Time(const CensusOptions& options, uint64_t& seeds) {
  auto start = std::chrono::steady_clock::now();
  CensusResult result = RunCensus(options);
  seeds = result.seedsCovered;
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

int main(int argc, char** argv) {
  unsigned threads =
      argc > 1 ? static_cast<unsigned>(std::atoi(argv[1])) : std::thread::hardware_concurrency();
  uint64_t seeds;
  CensusOptions plain;
  plain.firstSeed = 0;
  plain.seedCount = 1u << 24;
  plain.threads = 1;
  double seconds = Time(plain, seeds);
  std::printf("plain draw, 1 thread:          %6.1f million seeds/s (%llu seeds in %.2f s)\n",
              seeds / seconds / 1e6, static_cast<unsigned long long>(seeds), seconds);

  CensusOptions fast;
  fast.threads = 1;
  fast.cycleDraws = 1u << 27;
  seconds = Time(fast, seeds);
  std::printf("fast path, 1 thread:           %6.1f million seeds/s (%llu seeds in %.2f s)\n",
              seeds / seconds / 1e6, static_cast<unsigned long long>(seeds), seconds);

  CensusOptions whole;
  whole.threads = threads;
  seconds = Time(whole, seeds);
  std::printf("whole census, %u thread%s:      %6.2f s for %llu seeds (%.1f million seeds/s)\n",
              threads, threads == 1 ? "" : "s", seconds, static_cast<unsigned long long>(seeds),
              seeds / seconds / 1e6);
  return 0;
}
