// The census's vector walk: stretches of the cycle side by side, one per lane of a vector, each
// lane running the eight-entry list of list_walk.h. It is written once, with Highway, and built
// for every instruction set Highway compiles for on this machine (vector_walk.cpp); each build
// runs only where the processor has its instructions, and VectorBuilds() lists those.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "count/tally.h"
#include "walk/list_walk.h"
#include "walk/seed_span.h"

// The longest walk of one call. A lane compares ages as 32-bit signed differences of entries
// that hold the step shifted up eight bits, so no two steps it compares may lie 2^23 apart; the
// oldest it compares are the stand-ins from before the warm-up.
constexpr uint64_t kMaxVectorWalk = (1u << 23) - 2 * kCandidateCount;

// One build of the walk, for one instruction set.
struct VectorBuild {
  int64_t target = 0;     // Highway's bit for the instruction set
  const char* name = "";  // and its name: "AVX3_DL", "AVX3", "AVX2", "SSE4", "SSSE3", "SCALAR"
  size_t lanes = 0;
  // Lane l walks `count` windows (at most kMaxVectorWalk) backwards from the one whose first
  // candidate is firstStates[l], into the tally; each window counts once.
  void (*walk)(Tally& tally, const uint32_t* firstStates, uint64_t count) = nullptr;
  // The same, each window counted for those of its two seeds that lie in the span (shorter than
  // the whole space); the tally then counts seeds, not draws.
  void (*walkInSpan)(Tally& tally, const uint32_t* firstStates, uint64_t count,
                     SeedSpan span) = nullptr;
  // The same lanes for `count` steps, with what each lane sees of each window rather than
  // counts, into figures[step * lanes + lane]; the weights are the span's.
  void (*walkForTest)(const uint32_t* firstStates, uint64_t count, SeedSpan span,
                      ListFigures* figures) = nullptr;
};

// The builds this processor runs, best first: the first is the one Highway chooses. Asked of
// Highway once, on the first call; RunnableBuilds() asks anew each time.
const std::vector<VectorBuild>& VectorBuilds();
std::vector<VectorBuild> RunnableBuilds();

// Every instruction set the walk is built for, best first, whether this processor runs it or
// not, by Highway's bit for it: VectorBuilds() holds those it runs.
std::vector<int64_t> BuiltTargets();
