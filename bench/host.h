// The processor a benchmark runs on, named the way its tables name it, so that figures from
// different machines are never mixed up.
#pragma once

#include <string>

// "vendor, model name, family F model M; Highway runs A, B, ...": the first processor's line of
// /proc/cpuinfo, and the instruction sets of the census's walk this processor runs, best first.
std::string HostDescription();
