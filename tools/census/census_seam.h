// The seam where a build of the program puts faults in on purpose, so that the checks it runs for
// the user are seen to catch one, end to end, as a user would see a real fault: --verify holding
// the fast count against the plain one, and --find drawing each seed its search found again. The
// program itself is built with census_seam_none.cpp, which puts none; the test build
// vorel-census-with-fault with census_seam_faults.cpp, which puts one into each.
#pragma once

#include <functional>

#include "census_result.h"
#include "walk/vector_walk.h"

// What changes the fast count of --verify before it is held against the plain one: empty in the
// program itself.
std::function<void(CensusResult&)> FastCountFault();

// The search --find walks with in place of each build's own (VectorBuild::find): null in the
// program itself.
LaneSearch SearchFault();
