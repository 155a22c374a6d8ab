// The line a census or a search redraws on a terminal while it runs: how far it is, how fast it
// goes and how long it has left.
#pragma once

#include <cstdint>
#include <string>

// The line for `done` (0..1) of `seeds` seeds after `elapsedSeconds`: a bar of thirty marks, the
// share done, the rate in millions of seeds a second (rounded, thousands grouped) and the
// seconds left at that rate. Half of every seed after 2 s reads
// "[###############...............]  50.0%  1,074 M seeds/s  2 s left ".
std::string ProgressLine(double done, double elapsedSeconds, uint64_t seeds);
