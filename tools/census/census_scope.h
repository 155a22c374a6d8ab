// Which seeds a census or a search covers: asked for as seeds or as seconds of clock time, named
// in words and in JSON as the reports name them, and handed to the walk as the span it counts.
// Every part that needs to know which seeds were asked for takes this one type.
#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>

#include "random_source.h"

// seedCount seeds (1 to 2^32) from firstSeed on, wrapping past 4294967295 to 0, as the die's
// seeds do past 2106.
struct CensusScope {
  uint32_t firstSeed = 0;
  uint64_t seedCount = kSeedSpace;
  // Set when the span was asked for as clock time: the first and last second, both included.
  bool clockSpan = false;
  int64_t fromSecond = 0, toSecond = 0;
};

// The seeds A to B, both included (A at most B).
CensusScope ScopeOfSeeds(uint32_t first, uint32_t last);

// The seeds of every second from `from` to `to`, both included, as the die takes them: the Unix
// time modulo 2^32, so a span past 2106 wraps to seed 0 and a span of 2^32 seconds or more holds
// every seed.
CensusScope ScopeOfSeconds(int64_t from, int64_t to);

// The seeds covered as the reports name them: "every seed", "seed 7", "seeds 0 to 9", "the
// seconds from 2027-01-01T00:00:00+09:00 to 2027-12-31T23:59:59+09:00, seeds 1798729200 to
// 1830265199", each second in the zone opened (cli_zone.h).
std::string ScopeInWords(const CensusScope& scope);

// The same as the JSON of the census and of the finder carry it under "covered": its words, the
// first seed, how many, and for a span of clock time its first and last second, in UTC and on
// the zone's clocks.
nlohmann::ordered_json ScopeJson(const CensusScope& scope);

// The span of seeds the walk counts or searches (walk/seed_span.h): the same seeds, without the
// clock time they were asked for as.
struct SeedSpan;
SeedSpan SpanOf(const CensusScope& scope);
