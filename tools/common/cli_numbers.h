// Numbers as both command-line programs read them: seeds and counts, in decimal or 0x-hexadecimal,
// digits only (no sign, no spaces), so a value that reads at all reads the same in either program.
#pragma once

#include <cstdint>
#include <string>

// 0 to 4294967295.
bool ParseSeed(const std::string& text, uint32_t& seed);

// A count as typed: a whole number that fits in 64 bits, one too large for them (its digits are
// fine, so the program may cut it or refuse it as too large), or no whole number at all.
enum class CountRead { kRead, kTooLarge, kNotANumber };

// Any whole number from 0 up; `count` is set only when it reads.
CountRead ReadCount(const std::string& text, uint64_t& count);
