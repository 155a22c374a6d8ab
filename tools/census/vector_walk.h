// The walk of sixteen stretches of the cycle side by side, one per 32-bit lane of an AVX-512
// register, each lane running the eight-entry list of list_walk.h. Only for processors where
// CanUseVector() holds; its code is compiled with AVX-512 enabled and must not run elsewhere.
#pragma once

#include <cstdint>

#include "list_walk.h"
#include "tally.h"

constexpr int kVectorLanes = 16;

// The lanes of the build at hand, for tests that must not depend on the width.
inline int VectorLanes() {
  return kVectorLanes;
}

// The longest walk of one call. A lane compares ages as 32-bit signed differences of entries
// that hold the step shifted up eight bits, so no two steps it compares may lie 2^23 apart; the
// oldest it compares are the stand-ins from before the warm-up.
constexpr uint64_t kMaxVectorWalk = (1u << 23) - 2 * kCandidateCount;

// Lane l walks `count` windows (at most kMaxVectorWalk) backwards from the one whose first
// candidate is firstStates[l], into the tally.
void WalkVector(Tally& tally, const uint32_t firstStates[kVectorLanes], uint64_t count);

// The same lanes for `count` steps, with what each lane sees of each window rather than counts,
// into figures[step * VectorLanes() + lane]. The caller owns the memory, so that no library code
// is built here with AVX-512 instructions and then shared with the other builds.
void VectorWalkForTest(const uint32_t* firstStates, uint64_t count, ListFigures* figures);
