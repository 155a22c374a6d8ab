// A walk broken on purpose, for tests only: the vector walk's search, each seed it finds replaced
// by that of the next window it walks (one step back along the cycle), as if a lane's state were
// noted one step late. The seeds it gives draw other picks, which the check with the die's draw
// must catch before anything is printed. It searches with the best build, whose lanes the driver
// cuts the positions for when no instruction set is asked for.
#pragma once

#include <cstdint>
#include <vector>

void FindOneStepLate(uint64_t pick, const uint32_t* firstStates, uint64_t count,
                     std::vector<uint32_t>& seeds);
