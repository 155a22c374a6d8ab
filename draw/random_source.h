// The die's only source of chance: a 32-bit linear congruential generator with 15-bit outputs,
// reseeded from the calendar second at every draw.
#pragma once

#include <cstdint>

// One generator state; all arithmetic on it wraps modulo 2^32.
struct Generator {
  uint32_t state;
};

// Every seed there is: a seed is any 32-bit value, 2^32 of them.
constexpr uint64_t kSeedSpace = 1ull << 32;

// The generator itself, defined once here for the die and for every tool that retraces it: one
// step is state * 22695477 + 1 (0x015A4E35), and a value is bits 16 to 30 of the new state.
constexpr uint32_t kGeneratorMultiplier = 22695477u;
constexpr uint32_t kGeneratorIncrement = 1u;
constexpr int kGeneratorOutputShift = 16;
constexpr uint32_t kGeneratorOutputMask = 0x7FFFu;

constexpr uint32_t GeneratorStep(uint32_t state) {
  return state * kGeneratorMultiplier + kGeneratorIncrement;
}

// The value a state shows (0..32767); bit 31 never reaches it.
constexpr int32_t GeneratorOutput(uint32_t state) {
  return static_cast<int32_t>((state >> kGeneratorOutputShift) & kGeneratorOutputMask);
}

// Sets the state to `seed` and takes one step, so the first value a draw sees is already mixed.
void Seed(Generator& generator, uint32_t seed);

// Advances the state and returns its bits 16 to 30 (0..32767); bit 31 never shows.
int32_t Next(Generator& generator);

// The process-wide generator the die draws from; it starts as after Seed(1).
extern Generator RandomSource;

// The calendar time as whole seconds since 1970-01-01 00:00:00 UTC, cut to its low 32 bits and
// read as signed. The clock is read as a 64-bit count, so the value keeps moving past
// 2038-01-19 03:14:07 UTC (it wraps to negative values instead of freezing at -1).
int32_t CalendarSeconds();

// The same cut for a given count of seconds: what CalendarSeconds returns at that moment.
int32_t CalendarSecondsAt(int64_t unixSeconds);
