// The census's command line: what each option sets, and one line naming anything wrong.
#pragma once

#include <cstdint>
#include <string>

// More threads than this is a typing error, not a machine.
constexpr unsigned kMostThreads = 1024;

struct CensusArgs {
  uint32_t firstSeed = 0, lastSeed = 0xFFFFFFFFu;
  unsigned threads = 0;  // 0: every core
  bool json = false, verify = false, help = false, version = false;
  std::string chartPath;
};

// Returns "" when the arguments make sense, else one line naming what is wrong.
std::string ParseCensusArgs(int argc, const char* const* argv, CensusArgs& args);

extern const char kCensusUsage[];
