// The pick a finder looks for, as a person types it: seven distinct numbers from 1 to 37,
// separated by commas, in any order, with or without the leading zero, so that the die's own
// line pasted in reads as it stands.
#pragma once

#include <cstdint>
#include <string>

#include "draw.h"

struct WantedPick {
  int32_t numbers[kPickSize] = {};  // ascending, as the die shows them
  uint64_t mask = 0;                // bit v set for the number v + 1, as the walks hold a pick
};

// Reads "02,14,15,18,20,21,31", "31,2,14,15,18,20,21" or "2, 14, 15, 18, 20, 21, 31" (blanks
// around a number are allowed). On failure `why` says what is wrong, to follow the quoted value
// in a message: "has 6 numbers, not 7", "has 14 twice", ...
bool ParseWantedPick(const std::string& text, WantedPick& pick, std::string& why);

// The pick as the die shows it: 02,14,15,18,20,21,31.
std::string LineOfPick(const WantedPick& pick);
