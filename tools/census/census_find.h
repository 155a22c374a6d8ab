// vorel-census --find: the seeds whose pick is the one sought, met as the census meets its seeds
// (the whole cycle walked, a span along it, or seed by seed), with the walk comparing each pick
// instead of counting it; every seed found is drawn again with the die's own draw before it is
// reported.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "census.h"
#include "find/wanted_pick.h"
#include "walk/vector_walk.h"

struct FindOptions {
  WantedPick pick;
  // The seeds searched, the workers, the instruction set, the stop and the progress, as for the
  // census; so are the cycle's positions a test may limit the walk to.
  CensusOptions census;
  // Tests: the vector walk's search replaced by one broken on purpose (census_seam.h), to show
  // the check at work; null: each build's own.
  LaneSearch vectorFindForTest = nullptr;
};

struct FindResult {
  CensusMode mode = CensusMode::kSeedBySeed;
  std::string target;  // the instruction set whose code searched; "" seed by seed
  unsigned workers = 0;
  std::vector<uint32_t> seeds;       // the seeds searched that show the pick, ascending
  std::vector<uint32_t> wrongSeeds;  // seeds found whose draw shows another pick: a fault
  bool interrupted = false;
};

FindResult RunFind(const FindOptions& options);
