// The fault a build of the program puts into the fast count of --verify before it is held against
// the plain one. The program puts none; a test build puts one, to see --verify find it, name it
// and end with its exit code, as a user would see a real difference.
#pragma once

#include <functional>

#include "census_result.h"

// Empty in the program itself.
std::function<void(CensusResult&)> FastCountFault();
