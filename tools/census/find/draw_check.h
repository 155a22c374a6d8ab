// The finder's last check before it prints: each seed found drawn again with the die's own draw,
// so that a fault in a walk never shows as a wrong line. A seed the walk missed cannot be caught
// this way; the tests hold the finder against the plain draw for that.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "find/wanted_pick.h"

// The seeds whose pick is not the one sought, in the order given: none unless a walk is at fault.
std::vector<uint32_t> SeedsDrawnOtherwise(const std::vector<uint32_t>& seeds,
                                          const WantedPick& pick);

// The line the die shows for the seed, as 02,14,15,18,20,21,31, to name what a wrong seed draws.
std::string LineOfSeed(uint32_t seed);
