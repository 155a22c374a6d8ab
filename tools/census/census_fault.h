// The faults a build of the program puts in on purpose: into the fast count of --verify before it
// is held against the plain one, and into the walk --find searches with. The program puts none; a
// test build puts one of each, to see --verify find its fault, and --find refuse the seeds of its
// own, name them and end with their exit code, as a user would see a real fault.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "census_result.h"

// Empty in the program itself.
std::function<void(CensusResult&)> FastCountFault();

// A search of the vector walk's lanes, as each build's own (VectorBuild::find) searches: null in
// the program itself, which searches with its build's own.
using LaneSearch = int64_t (*)(uint64_t pick, const uint32_t* firstStates, uint64_t count,
                               std::vector<uint32_t>& seeds);
LaneSearch SearchFault();
