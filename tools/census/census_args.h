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
  std::string target;  // "": the best this processor runs
};

// Returns "" when the arguments make sense, else one line naming what is wrong.
std::string ParseCensusArgs(int argc, const char* const* argv, CensusArgs& args);

extern const char kCensusUsage[];

// CensusTargets() as one line: "AVX3_DL, AVX3, AVX2, ...".
std::string TargetList();
