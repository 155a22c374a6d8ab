// What vorel-census --find prints: a table for people (the pick, how many, the seconds) or JSON
// for programs (the same, and how the seeds were met).
#pragma once

#include <cstdint>
#include <string>

#include "census_result.h"
#include "census_scope.h"
#include "find/found_seconds.h"
#include "find/wanted_pick.h"

// The find JSON's format, a document of its own beside the census's: a reader can rely on every
// key of a format. Adding a key keeps the number; removing or renaming one, or changing what a
// key holds, takes the next.
constexpr int kFindJsonFormat = 1;

struct FindReport {
  WantedPick pick;
  CensusScope scope;
  uint64_t first = 0;  // --first: list only that many (0: all)
  FoundSeconds found;
  // How the seeds were met, as the census's JSON says it.
  CensusMode mode = CensusMode::kWholeCycle;
  std::string target;  // "" seed by seed
  unsigned workers = 0;
  double seconds = 0;
};

std::string FindTable(const FindReport& report);
std::string FindJson(const FindReport& report);
