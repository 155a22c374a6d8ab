// The census's command line and the three ways it reports: a table, JSON and an SVG chart.
#pragma once

#include <string>

#include "census.h"

struct CensusArgs {
  uint32_t firstSeed = 0, lastSeed = 0xFFFFFFFFu;
  unsigned threads = 0;  // 0: every core
  bool json = false, verify = false, help = false, version = false;
  std::string chartPath;
};

// Returns "" when the arguments make sense, else one line naming what is wrong.
std::string ParseCensusArgs(int argc, const char* const* argv, CensusArgs& args);

std::string CensusTable(const CensusResult& result, const PickSummary& summary, double seconds,
                        unsigned threads);
std::string CensusJson(const CensusResult& result, const PickSummary& summary, double seconds,
                       unsigned threads);
std::string CensusChart(const CensusResult& result, const PickSummary& summary);

extern const char kCensusUsage[];
