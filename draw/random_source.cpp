#include "random_source.h"

#include <ctime>

Generator RandomSource = {GeneratorStep(1u)};

void Seed(Generator& generator, uint32_t seed) {
  generator.state = seed;
  Next(generator);
}

int32_t Next(Generator& generator) {
  generator.state = GeneratorStep(generator.state);
  return GeneratorOutput(generator.state);
}

int32_t CalendarSecondsAt(int64_t unixSeconds) {
  // Two's complement cut: the low 32 bits, so 2^31 seconds reads as INT32_MIN, not as -1.
  return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(unixSeconds)));
}

int32_t CalendarSeconds() {
#ifdef _WIN32
  // The 32-bit Windows runtime's plain time() stops at 2038; its 64-bit twin does not.
  return CalendarSecondsAt(static_cast<int64_t>(_time64(nullptr)));
#else
  static_assert(sizeof(std::time_t) == 8, "the clock must be read as a 64-bit count");
  return CalendarSecondsAt(static_cast<int64_t>(std::time(nullptr)));
#endif
}
