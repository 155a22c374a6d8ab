// Which seeds a census covers, asked for as seeds or as seconds of clock time.
#pragma once

#include <cstdint>

#include "census_result.h"

// The seeds A to B, both included (A at most B).
CensusScope ScopeOfSeeds(uint32_t first, uint32_t last);

// The seeds of every second from `from` to `to`, both included, as the die takes them: the Unix
// time modulo 2^32, so a span past 2106 wraps to seed 0 and a span of 2^32 seconds or more holds
// every seed.
CensusScope ScopeOfSeconds(int64_t from, int64_t to);
