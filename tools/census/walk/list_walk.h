// The list each lane of the vector walk keeps (list_walk-inl.h): the last eight distinct values
// pushed, most recent first, with the step at which each was last pushed. Since the walk pushes
// each window's candidates from the back, the k-th entry is the window's k-th distinct value in
// order of first appearance, and its age (now minus its step) is the candidate index where it
// first stands. The pick is the first seven entries while the seventh is inside the window; the
// eighth entry only tells a window with exactly seven distinct values from one with more. The
// same algorithm for one lane in plain C++, to test the vector code lane by lane, is
// list_twin.h.
#pragma once

#include <cstdint>

#include "draw.h"

// The walks know a window's distinct values exactly only below eight: they keep the last eight
// distinct values, and seven make a pick.
constexpr int kListLength = kPickSize + 1;

// The list starts as if the stand-ins 44, 43, ..., 37 had been pushed one a step, at steps -8 to
// -1: entry r holds 37 + r, pushed at step -1 - r. They match no candidate and are outside every
// window (the first window's newest push is step 19), so a lane that has not yet seen seven
// distinct values is short. Then the warm-up pushes the nineteen candidates behind the first
// window, from step 0 on.
constexpr uint32_t kStandInValue = kHighestNumber;
constexpr int64_t kStandInStep = -1;  // the newest stand-in's, entry 0's

// What a walk sees of one window, as a lane reads it out for a test.
struct ListFigures {
  uint64_t pick;     // the first seven entries' values as a mask (bit v: the number v + 1)
  uint32_t rank;     // the pick's rank; kPossiblePicks when the window is short
  int seventhIndex;  // where the seventh distinct value first stands; -1 when fewer than seven
  int distinct;      // distinct values in the window, exact below eight; 8 means eight or more
  int weight;        // how many of the window's two seeds lie in the span walked: 0, 1 or 2
};
