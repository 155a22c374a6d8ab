// Test support: the vector walk's list (list_walk.h) for one lane, in plain C++, to read the
// vector code against and to test it lane by lane. Nothing of the program calls it.
#pragma once

#include <cstdint>

#include "walk/list_walk.h"
#include "walk/seed_span.h"

struct ListLane {
  uint32_t state;  // whose candidate is pushed next
  int64_t step;    // pushes so far
  uint8_t value[kListLength];
  int64_t pushedAt[kListLength];
  uint64_t pick;
  SeedSpan span;
};

// Starts with the stand-ins (list_walk.h), then pushes the nineteen candidates behind the window
// of `firstState`.
void StartListLane(ListLane& lane, uint32_t firstState, SeedSpan span = SeedSpan());

// Pushes the next candidate and reads the window that now ends there.
ListFigures StepListLane(ListLane& lane);
