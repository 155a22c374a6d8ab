// The census's vector walk: stretches of the cycle side by side, one per lane of a vector, each
// lane running the eight-entry list of list_walk.h. It is written once, with Highway, and built
// for every instruction set Highway compiles for on this machine (vector_walk.cpp); each build
// runs only where the processor has its instructions, and VectorBuilds() lists those. Each build
// hands the windows it walks to the census's count, to the finder's compare with one pick, or to
// a test's readout of every lane.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "count/tally.h"
#include "walk/cycle.h"
#include "walk/list_walk.h"
#include "walk/seed_span.h"

// The longest walk of one call. A lane compares ages as 32-bit signed differences of entries
// that hold the step shifted up eight bits, so no two steps it compares may lie 2^23 apart; the
// oldest it compares are the stand-ins from before the warm-up.
constexpr uint64_t kMaxVectorWalk = (1u << 23) - 2 * kCandidateCount;

// A search of a build's lanes: lane l walks `count` windows backwards from the one whose first
// candidate is firstStates[l], each window's pick compared with `pick` (bit v set for the number
// v + 1) instead of counted; the lower seed (bit 31 clear) of each window that shows it is
// appended to `seeds`, in no particular order. Returns Highway's bit for the instruction set
// whose code searched, as that code itself records it, so that the finder names the build that
// ran.
using LaneSearch = int64_t (*)(uint64_t pick, const uint32_t* firstStates, uint64_t count,
                               std::vector<uint32_t>& seeds);

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
  LaneSearch find = nullptr;  // the same lanes searched for one pick
  // The same lanes for `count` steps, with what each lane sees of each window rather than
  // counts, into figures[step * lanes + lane]; the weights are the span's.
  void (*walkForTest)(const uint32_t* firstStates, uint64_t count, SeedSpan span,
                      ListFigures* figures) = nullptr;
  // The census's two halves apart, for the benchmarks that time them: the walk's count without the
  // counter (every window ranked, its word formed and held back as the count does, then dropped;
  // the histogram and the rare windows counted into the tally), and the counter without the walk
  // (words, as the count hands them over, into the counter's queues; ApplyAll counts the rest).
  void (*walkWithoutCounter)(Tally& tally, const uint32_t* firstStates, uint64_t count) = nullptr;
  void (*countWords)(PickCounter& counter, const uint32_t* words, uint64_t count) = nullptr;
};

// The builds this processor runs, best first: the first is the one Highway chooses. Asked of
// Highway once, on the first call; RunnableBuilds() asks anew each time.
const std::vector<VectorBuild>& VectorBuilds();
std::vector<VectorBuild> RunnableBuilds();

// The build of that name, or the best when none is or this processor lacks it.
const VectorBuild& BuildNamed(const std::string& name);

// Cycle positions begin..begin+count-1 from the state `origin`, cut for a build: a stretch per
// lane, each walked from its highest position down by walkLanes(firstStates, stretch), and what
// does not divide evenly among the lanes by walkRest(firstState, count), one draw at a time. The
// census counts the windows so met and the finder compares their picks; both cut alike.
template <class WalkLanes, class WalkRest>
void WalkPositions(const VectorBuild& build, uint32_t origin, uint64_t begin, uint64_t count,
                   WalkLanes&& walkLanes, WalkRest&& walkRest) {
  uint64_t stretch = count / build.lanes;
  if (stretch) {
    std::vector<uint32_t> firstStates(build.lanes);
    for (size_t lane = 0; lane < build.lanes; ++lane) {
      firstStates[lane] = Jump(origin, begin + stretch * (lane + 1) - 1);
    }
    walkLanes(firstStates.data(), stretch);
  }
  uint64_t walked = stretch * build.lanes;
  if (walked < count) walkRest(Jump(origin, begin + count - 1), count - walked);
}
