// Seeds per second for the plain draw and for the census's walk with each instruction set this
// processor runs, side by side; the whole census with each; and spans of seeds: nearly the whole
// space, and just above and just below the length from which a span is walked rather than drawn
// seed by seed, with the length where the two ways take equally long here. The first line names
// the processor.
// Usage: census_bench [threads] [target...]   (default: every core, every target)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "census.h"
#include "host.h"

static double Time(const CensusOptions& options, uint64_t& seeds) {
  auto start = std::chrono::steady_clock::now();
  CensusResult result = RunCensus(options);
  seeds = result.seedsCovered;
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Seeds per second drawn one by one, on `threads` threads.
static double PlainRate(unsigned threads) {
  CensusOptions plain;
  plain.scope.seedCount = 1u << 24;
  plain.threads = threads;
  uint64_t seeds;
  double seconds = Time(plain, seeds);
  std::printf("plain draw, %u thread%s:          %7.1f million seeds/s (%llu seeds in %.2f s)\n",
              threads, threads == 1 ? " " : "s", seeds / seconds / 1e6,
              static_cast<unsigned long long>(seeds), seconds);
  return seeds / seconds;
}

// The spans, with the best instruction set.
static void TimeSpans(unsigned threads, double plainRate) {
  struct {
    const char* what;
    uint64_t count;
  } spans[] = {{"all but one seed", kSeedSpace - 1},
               {"the walk's shortest span", kWalkSpanAtLeast},
               {"one seed shorter", kWalkSpanAtLeast - 1}};
  double walked = 0;
  for (const auto& span : spans) {
    CensusOptions options;
    options.scope.seedCount = span.count;
    options.threads = threads;
    uint64_t seeds;
    double seconds = Time(options, seeds);
    if (span.count == kWalkSpanAtLeast) walked = seconds;
    std::printf("span of %llu seeds (%s), %u threads: %6.2f s, %s\n",
                static_cast<unsigned long long>(span.count), span.what, threads, seconds,
                ModeOf(options) == CensusMode::kSeedBySeed ? "seed by seed" : "walked");
  }
  std::printf("seed by seed takes as long as the walk from about %.0f million seeds on\n",
              walked * plainRate / 1e6);
}

int main(int argc, char** argv) {
  unsigned threads =
      argc > 1 ? static_cast<unsigned>(std::atoi(argv[1])) : std::thread::hardware_concurrency();
  std::vector<std::string> targets(argv + std::min(argc, 2), argv + argc);
  if (targets.empty()) targets = CensusTargets();
  std::printf("host: %s\n", HostDescription().c_str());
  PlainRate(1);
  double plainRate = PlainRate(threads);
  uint64_t seeds;
  for (const std::string& target : targets) {
    CensusOptions fast;
    fast.threads = 1;
    fast.cycleDraws = 1u << 27;
    fast.target = target;
    double seconds = Time(fast, seeds);
    std::printf("walk, %-8s 1 thread:      %7.1f million seeds/s (%llu seeds in %.2f s)\n",
                target.c_str(), seeds / seconds / 1e6, static_cast<unsigned long long>(seeds),
                seconds);
  }
  for (const std::string& target : targets) {
    CensusOptions whole;
    whole.threads = threads;
    whole.target = target;
    double seconds = Time(whole, seeds);
    std::printf("whole census, %-8s %u thread%s: %6.2f s (%.1f million seeds/s)\n", target.c_str(),
                threads, threads == 1 ? "" : "s", seconds, seeds / seconds / 1e6);
  }
  TimeSpans(threads, plainRate);
  return 0;
}
