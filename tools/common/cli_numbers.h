// Numbers as both command-line programs read them: seeds and counts, in decimal or 0x-hexadecimal,
// digits only (no sign, no spaces), so a value that reads at all reads the same in either program.
#pragma once

#include <cstdint>
#include <string>

// 0 to 4294967295.
bool ParseSeed(const std::string& text, uint32_t& seed);

// lowest to highest, both included.
bool ParseCount(const std::string& text, uint64_t lowest, uint64_t highest, uint64_t& count);
