// One seed drawn the plain way, as the die draws it, with the figures the census counts: the
// census of a short span goes seed by seed with it, and every walk of the cycle is held against it.
#pragma once

#include <cstdint>

#include "count/tally.h"

DrawFigures PlainDraw(uint32_t seed);
