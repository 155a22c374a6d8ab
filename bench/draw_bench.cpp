// How long one key press's work takes: one draw from a seed, and one formatted line.
#include <benchmark/benchmark.h>

#include "draw.h"

static void DrawOneSeed(benchmark::State& state) {
  uint32_t seed = 0x12345678u;
  int32_t pick[kPickSize];
  for (auto _ : state) {
    DrawFromSeed(seed++, pick);
    benchmark::DoNotOptimize(pick);
  }
}
BENCHMARK(DrawOneSeed);

static void FormatOneLine(benchmark::State& state) {
  const int32_t pick[kPickSize] = {2, 14, 15, 18, 20, 21, 31};
  char line[kLineRoom];
  for (auto _ : state) {
    benchmark::DoNotOptimize(FormatLine(pick, line));
    benchmark::ClobberMemory();
  }
}
BENCHMARK(FormatOneLine);

BENCHMARK_MAIN();
